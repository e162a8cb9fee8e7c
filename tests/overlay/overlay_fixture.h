#pragma once
// An overlay window over a simulated host window, with the test overlay installed as the group
// kind so that any group item shows it.

#include <gtest/gtest.h>

#include "bindings/corvanta/group.h"
#include "bindings/kernel/reflected.h"
#include "bindings/sim/sim_platform.h"
#include "bindings/vorta/document.h"
#include "bindings/vorta/tool.h"
#include "overlay/create_overlay.h"
#include "overlay/dial_overlay_renderer.h"
#include "overlay/dial_overlay_window.h"
#include "tests/overlay/test_overlay.h"

namespace Quarn::WinRT::testing {

using Kernel::Counted;
using Kernel::MakeCounted;

// The last test overlay the factory made; host thread only.
inline TestOverlay* s_lastOverlay = nullptr;

inline std::unique_ptr<detail::DialOverlay> MakeTestOverlay(Counted<Tool>,
                                                            std::vector<Counted<Kernel::Reflected>>,
                                                            Counted<Kernel::Reflected>) {
    auto made = std::make_unique<TestOverlay>();
    s_lastOverlay = made.get();
    return made;
}

class OverlayTest : public ::testing::Test {
protected:
    static constexpr RECT kHostRect{100, 50, 900, 650};

    Counted<Kernel::Reflected> Group(std::uint32_t id = 1) {
        auto element =
            MakeCounted<Kernel::ReflectedRangeT<double>>(id * 10, "Size", 5.0, 0.0, 10.0);
        return MakeCounted<Corvanta::ReflectedGroup>(
            id, "Brush", std::vector<Counted<Kernel::Reflected>>{element});
    }
    Counted<Kernel::Reflected> PlainItem() {
        return MakeCounted<Kernel::ReflectedRangeT<double>>(99, "Flow", 1.0, 0.0, 2.0);
    }

    // Makes the test overlay current, placed around a 40×40 contact and shown.
    TestOverlay& ShowTestOverlay(float x = 400, float y = 300) {
        window->SetItem(tool, Group(), nullptr);
        window->Place(x, y, 40, 40);
        window->Show();
        return *s_lastOverlay;
    }

    std::optional<sim::SimFrame> Frame() {
        return platform.Graphics().RunFrame(window->GetHandle());
    }

    sim::SimPlatform platform;
    detail::ScopedOverlayKinds kinds{detail::OverlayKinds{nullptr, &MakeTestOverlay}};
    HWND host = platform.Windows().CreateHostWindow(kHostRect);
    Counted<DocumentController> document = MakeCounted<DocumentController>();
    Counted<Tool> tool = MakeCounted<Tool>(7, "Brush", document);
    std::unique_ptr<detail::DialOverlayWindow> window =
        std::make_unique<detail::DialOverlayWindow>(host);
};

}  // namespace Quarn::WinRT::testing
