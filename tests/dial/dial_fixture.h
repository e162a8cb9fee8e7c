#pragma once
// A dial on the simulated platform with a recording host, and builders for the host's items.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "bindings/corvanta/attributes.h"
#include "bindings/corvanta/group.h"
#include "bindings/corvanta/view_rotation.h"
#include "bindings/kernel/reflected.h"
#include "bindings/sample_host/recorder.h"
#include "bindings/sim/sim_platform.h"
#include "bindings/vorta/attributes.h"
#include "bindings/vorta/document.h"
#include "bindings/vorta/tool.h"
#include "dial/dial.h"

namespace Quarn::WinRT::testing {

using detail::Dial;
using Kernel::Counted;
using Kernel::FourCC;
using Kernel::MakeCounted;
using Kernel::Reflected;

class MappingCallbacks final : public IDialCallbacks {
public:
    bool ComputeDialCentres(const Kernel::PointT<double>& screen, Kernel::PointT<double>& logical,
                            Kernel::PointT<double>& view) override {
        ++calls;
        lastScreen = screen;
        if (!inView) {
            return false;
        }
        logical = {screen.x / 2.0, screen.y / 2.0};
        view = {screen.x - 100.0, screen.y - 50.0};
        if (answer) {
            logical = view = *answer;
        }
        return true;
    }
    bool inView = true;
    std::optional<Kernel::PointT<double>> answer;  // both centres, instead of the mapping
    int calls = 0;
    Kernel::PointT<double> lastScreen;
};

inline Counted<Kernel::ReflectedRangeT<double>> DoubleItem(const char (&id)[5], const char* name,
                                                           double value, double minimum,
                                                           double maximum) {
    return MakeCounted<Kernel::ReflectedRangeT<double>>(FourCC(id), name, value, minimum, maximum);
}

inline Counted<Kernel::ReflectedRangeT<int>> IntItem(const char (&id)[5], const char* name,
                                                     int value, int minimum, int maximum) {
    return MakeCounted<Kernel::ReflectedRangeT<int>>(FourCC(id), name, value, minimum, maximum);
}

template <class Attribute, class... Args>
Counted<Reflected> With(Counted<Reflected> item, Args&&... args) {
    item->AppendAttribute(MakeCounted<Attribute>(std::forward<Args>(args)...));
    return item;
}

inline Counted<Corvanta::ReflectedGroup> Group(const char (&id)[5], const char* name,
                                               std::vector<Counted<Reflected>> elements) {
    return MakeCounted<Corvanta::ReflectedGroup>(FourCC(id), name, std::move(elements));
}

inline Counted<Reflected> RotateItem(const char (&id)[5] = "rot ", const char* name = "Rotate") {
    return MakeCounted<Corvanta::ViewRotationReflected>(FourCC(id), name);
}

class DialTest : public ::testing::Test {
protected:
    DialTest() {
        document->GetHistory()->Push("Stroke");
        document->GetHistory()->Push("Fill");
        document->GetHistory()->Push("Erase");
    }

    Counted<Tool> MakeTool(std::vector<Counted<Reflected>> items, ToolID id = 7,
                           const char* name = "Brush") {
        auto tool = MakeCounted<Tool>(id, name, document);
        for (auto& item : items) {
            tool->AddDialReflected(std::move(item));
        }
        document->AddTool(tool);
        return tool;
    }

    void Attach() {
        dial->SetCurrentWindow(window);
        ASSERT_NE(platform.Wheel().ActiveController(), nullptr);
    }

    // Attached, showing a tool of `items` with `current` chosen, and nothing recorded yet.
    Counted<Tool> Use(std::vector<Counted<Reflected>> items, const std::string& current = {}) {
        Attach();
        auto tool = MakeTool(std::move(items));
        dial->Update(tool, false);
        if (!current.empty()) {
            Choose(current);
        }
        host.Clear();
        return tool;
    }

    Counted<Reflected> HistoryItem() {
        return MakeCounted<Kernel::ReflectedBinding<Counted<DocumentHistory>>>(
            FourCC("hist"), "History", document->GetHistory());
    }

    sim::SimController& Controller() { return *platform.Wheel().ActiveController(); }
    sim::SimMenu& Menu() { return Controller().GetSimMenu(); }

    std::vector<std::string> MenuTexts() {
        std::vector<std::string> texts;
        for (const auto& entry : Menu().Entries()) {
            std::string text;
            Kernel::AppendUtf8(text, entry->DisplayText());
            texts.push_back(text);
        }
        return texts;
    }

    std::string SelectedText() {
        auto selected = Menu().GetSelectedMenuItem();
        std::string text;
        if (selected) {
            Kernel::AppendUtf8(text, selected->DisplayText());
        }
        return text;
    }

    // Invokes the menu entry showing `text`; fails the test when there is none.
    void Choose(const std::string& text) {
        const auto texts = MenuTexts();
        for (std::size_t i = 0; i < texts.size(); ++i) {
            if (texts[i] == text) {
                platform.Wheel().InvokeMenuItem(i);
                return;
            }
        }
        ADD_FAILURE() << "no menu entry " << text;
    }

    template <class N>
    std::vector<Counted<N>> NotificationsOf() {
        std::vector<Counted<N>> found;
        for (const auto& n : host.Notifications()) {
            if (auto* typed = dynamic_cast<N*>(n.Get())) {
                found.emplace_back(typed);
            }
        }
        return found;
    }

    sim::SimPlatform platform;
    sample::HostRecorder host;
    HWND window = platform.Windows().CreateHostWindow(RECT{100, 50, 1380, 850});
    MappingCallbacks callbacks;
    Counted<DocumentController> document = MakeCounted<DocumentController>();
    Counted<Dial> dial = Dial::Create(window, &callbacks);
};

}  // namespace Quarn::WinRT::testing
