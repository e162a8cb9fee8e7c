// Sequences of device events, host calls, key states, waits and platform failures against the
// dial on the simulated platform, decoded from the input; DialInvariants and the fuzzer's own
// checks run after every step.
//
// The host is the bundled example's, built once and copied for each input (HostModelCopy) so
// that no state carries from one input to the next; the input may then rebuild a tool's item list
// from the example's items and from new ranged items with awkward ranges, sensitivities and curves.
//
// Frames: one input in kThreadedShare runs the overlay's real render thread, as the library
// does, and checks what it presents; the others draw their frames on the fuzzing thread with a
// renderer that starts no thread (DrawFrame, the render loop's own frame), which costs no thread
// per input. Which one is fixed by the input's bytes, so a reproducer replays the same way;
// QUARN_FUZZ_RENDER_THREAD=always or =never sets it for every input (to replay a corpus either
// way, or to measure each).

#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <limits>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "bindings/corvanta/attributes.h"
#include "bindings/kernel/notification.h"
#include "bindings/sample_host/recorder.h"
#include "bindings/sim/sim_platform.h"
#include "bindings/vorta/attributes.h"
#include "bindings/vorta/notifications.h"
#include "bindings/window/window.h"
#include "dial/dial.h"
#include "fuzz/dial_invariants.h"
#include "fuzz/example_host.h"
#include "fuzz/host_model_copy.h"
#include "overlay/dial_overlay.h"
#include "overlay/dial_overlay_renderer.h"
#include "overlay/dial_overlay_window.h"
#include "tools/sim/host_description.h"
#include "tools/sim/json_reader.h"

namespace {

using namespace Quarn::WinRT;
using Kernel::Counted;
using Kernel::MakeCounted;

constexpr int kMaxSteps = 96;
constexpr std::uint32_t kThreadedShare = 8;  // one input in 8 runs the render thread
constexpr double kInf = std::numeric_limits<double>::infinity();

// The numbers the device and the host may hand the dial, the awkward ones first.
constexpr std::array kNastyDoubles = {
    0.0,
    -0.0,
    std::numeric_limits<double>::quiet_NaN(),
    kInf,
    -kInf,
    std::numeric_limits<double>::denorm_min(),
    -std::numeric_limits<double>::denorm_min(),
    std::numeric_limits<double>::min(),
    std::numeric_limits<double>::max(),
    -std::numeric_limits<double>::max(),
    1e300,
    -1e300,
    1e15,
    0.1,
    -0.1,
    1.0,
    -1.0,
    6.0,
    10.0,
    -10.0,
    180.0,
    360.0,
    -360.0,
    1e-300,
};

double NastyDouble(FuzzedDataProvider& in) {
    if (in.ConsumeBool()) {
        return kNastyDoubles[in.ConsumeIntegralInRange<std::size_t>(0, kNastyDoubles.size() - 1)];
    }
    return in.ConsumeFloatingPoint<double>();
}

// A finite number for a host's range, of any size the host could hold.
double FiniteDouble(FuzzedDataProvider& in) {
    const double value = NastyDouble(in);
    return std::isfinite(value) ? value : 0.0;
}

float NastyFloat(FuzzedDataProvider& in) {
    return static_cast<float>(NastyDouble(in));
}

platform::Rect NastyRect(FuzzedDataProvider& in) {
    return {NastyFloat(in), NastyFloat(in), NastyFloat(in), NastyFloat(in)};
}

// The editor's centre mapping, which the input may make refuse or answer with nonsense.
class FuzzCallbacks final : public IDialCallbacks {
public:
    enum class Mode { InView, OutsideView, NotFinite, Echo };

    bool ComputeDialCentres(const Kernel::PointT<double>& screen, Kernel::PointT<double>& logical,
                            Kernel::PointT<double>& view) override {
        switch (mode) {
            case Mode::InView:
                logical = view = {screen.x - 100.0, screen.y - 50.0};
                return true;
            case Mode::OutsideView:
                return false;
            case Mode::NotFinite:
                logical = {std::numeric_limits<double>::quiet_NaN(), 0.0};
                view = {kInf, -kInf};
                return true;
            case Mode::Echo:
                logical = view = screen;
                return true;
        }
        return false;
    }
    Mode mode = Mode::InView;
};

// A notification class the dial does not know.
class UnknownNotification final : public Kernel::Notification {};

using Quarn::WinRT::fuzz::ExampleHost;

// A ranged item with a range, value and attributes from the input.
Counted<Kernel::Reflected> NewRangedItem(FuzzedDataProvider& in, std::uint32_t id) {
    double a = FiniteDouble(in);
    double b = FiniteDouble(in);
    if (a > b) {
        std::swap(a, b);
    }
    const double t = in.ConsumeProbability<double>();
    double value = a + (b - a) * t;
    value = std::isfinite(value) ? std::clamp(value, a, b) : a;
    Counted<Kernel::Reflected> item;
    const Kernel::LocalisedString name(Kernel::String8("Item " + Kernel::FourCCToString(id)));
    switch (in.ConsumeIntegralInRange(0, 3)) {
        case 0:
            item = MakeCounted<Kernel::ReflectedRangeT<double>>(id, name, value, a, b);
            break;
        case 1: {
            // Only numbers a float holds, so that the item's own range is finite.
            const auto fit = [](double x) {
                return static_cast<float>(std::clamp(x, -3e38, 3e38));
            };
            item =
                MakeCounted<Kernel::ReflectedRangeT<float>>(id, name, fit(value), fit(a), fit(b));
            break;
        }
        case 2: {
            const auto fit = [](double x) {
                return static_cast<int>(std::clamp(x, -2147483648.0, 2147483647.0));
            };
            item = MakeCounted<Kernel::ReflectedRangeT<int>>(id, name, fit(value), fit(a), fit(b));
            break;
        }
        default: {
            auto unit = MakeCounted<Kernel::ReflectedUnitRange>(id, name, Kernel::UnitTypes::Pixels,
                                                                value, a, b);
            unit->AppendAttribute(MakeCounted<Kernel::ValueTypeAttribute>(
                Kernel::UserUnitKind::Length, false, Kernel::UnitTypes::None));
            item = unit;
            break;
        }
    }
    if (in.ConsumeBool()) {
        item->AppendAttribute(MakeCounted<SensitivityAttribute>(NastyDouble(in)));
    }
    if (in.ConsumeBool()) {
        item->AppendAttribute(MakeCounted<Corvanta::NonLinearRangeAttribute>(NastyDouble(in)));
    }
    if (in.ConsumeBool()) {
        item->AppendAttribute(MakeCounted<Corvanta::DialNorthValueAttribute>(NastyDouble(in)));
    }
    return item;
}

class Harness {
public:
    Harness(FuzzedDataProvider& in, bool renderThread) : m_in(in) {
        if (!renderThread) {
            // Without a graphics backend the overlay window starts no renderer.
            platform::ServiceSet services = m_platform.Services();
            services.graphics = nullptr;
            m_withoutRenderer.emplace(services);
            m_stepped = true;
        }
        static const sim::HostModel example = [] {
            const nlohmann::json document = sim::ReadJson(ExampleHost(), "paint.json");
            return sim::BuildHostModel(document, "paint.json");
        }();
        m_model = fuzz::HostModelCopy::Of(example);
        // The example's icons from memory and nothing from the disk: the menu build finds the
        // same files wherever the fuzzer runs, without a system call per icon.
        m_platform.Files().SetUseDisk(false);
        for (const auto& [path, bytes] : fuzz::ExampleIcons()) {
            m_platform.Files().AddFile(path, bytes);
        }
        for (const auto& tool : m_model.tools) {
            for (const auto& item : tool->GetDialReflecteds()) {
                m_pool.push_back(item);
            }
        }
        m_host.SetListener([this](const sample::HostEvent& event) {
            if (m_trace) {
                std::fprintf(stderr, "  host: kind %d, %s%s\n", static_cast<int>(event.kind),
                             event.text.c_str(), event.flag ? ", flag true" : "");
            }
            m_invariants.OnHostEvent(event, m_dial.Get(), m_inTimers);
        });
        m_windows.push_back(m_platform.Windows().CreateHostWindow(m_model.window, "Editor"));
        m_dial = detail::Dial::Create(m_windows[0], &m_callbacks);
    }

    ~Harness() {
        m_dial.Reset();
        m_host.SetListener({});
    }

    void Run() {
        for (int step = 0; step < kMaxSteps && m_in.remaining_bytes() > 0; ++step) {
            const int firedBefore = m_platform.Faults().FiredCount();
            Step();
            m_invariants.CheckLog(m_platform.Faults().FiredCount() - firedBefore);
            if (m_dial) {
                fuzz::DialInvariants::CheckFreeze(*m_dial);
                CheckTimers();
            }
        }
    }

private:
    void Step() {
        const int operation = m_in.ConsumeIntegralInRange(0, 26);
        if (m_trace) {
            std::fprintf(stderr, "step: operation %d\n", operation);
        }
        switch (operation) {
            case 0:
            case 1:
                m_platform.Wheel().Rotate(NastyDouble(m_in));
                break;
            case 2:
                m_platform.Wheel().Click();
                break;
            case 3:
                m_platform.Wheel().ContactStart(NastyRect(m_in));
                break;
            case 4:
                m_platform.Wheel().ContactMove(NastyRect(m_in));
                break;
            case 5:
                m_platform.Wheel().ContactEnd();
                break;
            case 6:
                if (m_in.ConsumeBool()) {
                    m_platform.Wheel().Acquire(NastyRect(m_in));
                } else {
                    m_platform.Wheel().Acquire(std::nullopt);
                }
                break;
            case 7:
                m_platform.Wheel().Lose();
                break;
            case 8:
            case 9:
                if (m_dial) {
                    const std::size_t pick =
                        m_in.ConsumeIntegralInRange<std::size_t>(0, m_model.tools.size());
                    m_dial->Update(
                        pick < m_model.tools.size() ? m_model.tools[pick] : Counted<Tool>(),
                        m_in.ConsumeBool());
                }
                break;
            case 10:
                SetWindow();
                break;
            case 11:
                if (m_dial) {
                    static const std::array<const char*, 3> kFolders = {
                        QUARN_SOURCE_DIR "/examples/resources", "", "/nonexistent/folder"};
                    m_dial->SetResourcesDirectory(
                        Kernel::String8(kFolders[m_in.ConsumeIntegralInRange<std::size_t>(
                            0, kFolders.size() - 1)]));
                }
                break;
            case 12:
            case 13:
                Notify();
                break;
            case 14:
                m_platform.Keys().SetKeyDown(m_in.ConsumeBool() ? VK_CONTROL : VK_SHIFT,
                                             m_in.ConsumeBool());
                break;
            case 15:
            case 16:
                Wait();
                break;
            case 17:
                if (SimControllerMenuSize() > 0) {
                    m_platform.Wheel().InvokeMenuItem(
                        m_in.ConsumeIntegralInRange<std::size_t>(0, SimControllerMenuSize()));
                }
                break;
            case 18:
                SelectMenuItem();
                break;
            case 19:
                Fail();
                break;
            case 20:
                m_platform.Faults().ClearAll();
                break;
            case 21:
                Document();
                break;
            case 22:
                RebuildTool();
                break;
            case 23:
                m_callbacks.mode =
                    static_cast<FuzzCallbacks::Mode>(m_in.ConsumeIntegralInRange(0, 3));
                break;
            case 24:
                Lifecycle();
                break;
            case 25:
                Press();
                break;
            case 26:
                CheckFrame();
                break;
        }
    }

    std::size_t SimControllerMenuSize() {
        sim::SimController* controller = m_platform.Wheel().ActiveController();
        return controller ? controller->GetSimMenu().Entries().size() : 0;
    }

    void SetWindow() {
        if (!m_dial) {
            return;
        }
        if (m_in.ConsumeBool() && m_windows.size() < 8) {
            m_windows.push_back(m_platform.Windows().CreateHostWindow(
                RECT{m_in.ConsumeIntegral<std::int16_t>(), m_in.ConsumeIntegral<std::int16_t>(),
                     m_in.ConsumeIntegral<std::int16_t>(), m_in.ConsumeIntegral<std::int16_t>()},
                "Other"));
        }
        const HWND window =
            m_windows[m_in.ConsumeIntegralInRange<std::size_t>(0, m_windows.size() - 1)];
        const HWND before = m_dial->GetWindow();
        try {
            m_dial->SetCurrentWindow(window);
            m_attached.insert(m_dial->GetWindow());
        } catch (const platform::PlatformError&) {
            // The supported check's own failure reaches the caller, as the editor would see it.
        }
        // A failed KillTimer leaves the commit timer on the window the dial left, until it fires
        // there once: then the dial kills it.
        const sim::SimTimer* left =
            m_platform.Windows().FindTimer(before, detail::Dial::kCommitTimerId);
        if (left && m_dial->GetWindow() != before) {
            m_leftCommitTimers[before] = left->dueMs;
        }
        // The device's events go to the window the dial now listens on.
        m_platform.Wheel().SetForegroundWindow(m_dial->GetWindow());
    }

    void Notify() {
        if (!m_dial) {
            return;
        }
        const Counted<DocumentController>& document = m_model.document;
        Counted<Kernel::Reflectable> owner;
        const std::size_t pick = m_in.ConsumeIntegralInRange<std::size_t>(0, m_model.tools.size());
        if (pick < m_model.tools.size()) {
            owner = m_model.tools[pick];
        }
        Counted<Kernel::Notification> notification;
        switch (m_in.ConsumeIntegralInRange(0, 10)) {
            case 0:
                notification = MakeCounted<NewSelectionNotification>(document, false, false);
                break;
            case 1:
                notification = MakeCounted<NewSelectionNotification>(document, false, true);
                break;
            case 2:
                notification = MakeCounted<DocumentHistoryChangedNotification>(document, false);
                break;
            case 3:
                notification = MakeCounted<Kernel::InvalidateReflectedsNotification>(owner);
                break;
            case 4: {
                std::uint32_t id = m_in.ConsumeIntegral<std::uint32_t>();
                if (m_in.ConsumeBool() && !m_pool.empty()) {
                    id = m_pool[m_in.ConsumeIntegralInRange<std::size_t>(0, m_pool.size() - 1)]
                             ->GetIdentifier();
                }
                notification = MakeCounted<Kernel::InvalidateReflectedNotification>(owner, id);
                break;
            }
            case 5:
                notification = MakeCounted<Kernel::UpdateReflectedsNotification>();
                break;
            case 6:
                notification = MakeCounted<Kernel::UpdateReflectedNotification>();
                break;
            case 7:
                notification =
                    MakeCounted<AdjustmentNodeParametersChangedNotification>(document, false);
                break;
            case 8:
                notification = MakeCounted<UnknownNotification>();
                break;
            case 9:
                break;  // an empty reference
            default:
                notification = MakeCounted<Kernel::InvalidateReflectedsNotification>(
                    Counted<Kernel::Reflectable>());
                break;
        }
        m_dial->OnNotify(std::move(notification));
    }

    void Wait() {
        static constexpr std::array<std::int64_t, 12> kWaits = {0,   1,   39,   40,   41,   249,
                                                                250, 251, 1999, 2000, 2001, 16};
        const std::int64_t ms =
            m_in.ConsumeBool()
                ? kWaits[m_in.ConsumeIntegralInRange<std::size_t>(0, kWaits.size() - 1)]
                : m_in.ConsumeIntegralInRange<std::int64_t>(0, 10'000);
        m_inTimers = true;
        m_platform.Advance(ms);
        m_inTimers = false;
    }

    void SelectMenuItem() {
        if (!m_dial) {
            return;
        }
        Counted<Kernel::Reflected> element;
        const std::size_t pick =
            m_in.ConsumeIntegralInRange<std::size_t>(0, m_model.itemsById.size());
        if (pick < m_model.itemsById.size()) {
            element =
                std::next(m_model.itemsById.begin(), static_cast<std::ptrdiff_t>(pick))->second;
        } else if (m_in.ConsumeBool()) {
            element = NewRangedItem(m_in, m_in.ConsumeIntegral<std::uint32_t>());
        }
        if (element) {  // the group overlay never passes an empty element
            try {
                m_dial->SelectMenuItem(element);
            } catch (const platform::PlatformError&) {
                // Configuring the device for the new current item failed; that failure goes
                // to SelectMenuItem's caller, the group overlay.
            }
        }
    }

    void Fail() {
        const auto operations = sim::SimPlatform::FaultableOperations();
        const std::string_view operation =
            operations[m_in.ConsumeIntegralInRange<std::size_t>(0, operations.size() - 1)];
        static constexpr std::array<HRESULT, 4> kCodes = {E_FAIL, E_NOTIMPL, E_ACCESSDENIED,
                                                          REGDB_E_CLASSNOTREG};
        const HRESULT code = kCodes[m_in.ConsumeIntegralInRange<std::size_t>(0, kCodes.size() - 1)];
        // Unique, so that a logged line names the one failure it came from; sometimes empty.
        std::string message =
            m_in.ConsumeBool() ? "injected failure " + std::to_string(++m_injections) : "";
        m_invariants.Injected(message);
        const sim::FaultMode mode =
            m_in.ConsumeBool() ? sim::FaultMode::Always : sim::FaultMode::Once;
        if (m_trace) {
            std::fprintf(stderr, "  fail %s %.*s\n",
                         mode == sim::FaultMode::Always ? "always" : "once",
                         static_cast<int>(operation.size()), operation.data());
        }
        m_platform.Faults().Fail(operation, code, message, mode);
    }

    void Document() {
        const auto history = m_model.document->GetHistory();
        switch (m_in.ConsumeIntegralInRange(0, 3)) {
            case 0:
                history->Push(Kernel::LocalisedString(Kernel::String8("Step")));
                break;
            case 1:
                history->Undo();
                break;
            case 2:
                history->Redo();
                break;
            default: {
                const std::size_t pick =
                    m_in.ConsumeIntegralInRange<std::size_t>(0, m_model.selections.size());
                m_model.document->SetSelection(
                    pick < m_model.selections.size()
                        ? std::next(m_model.selections.begin(), static_cast<std::ptrdiff_t>(pick))
                              ->second
                        : Selection());
                break;
            }
        }
    }

    // The host changes what a tool offers: its items become a list drawn from the example's
    // items (repeats allowed) and new ranged items; the host then says the tool's items are stale.
    void RebuildTool() {
        const Counted<Tool>& tool =
            m_model.tools[m_in.ConsumeIntegralInRange<std::size_t>(0, m_model.tools.size() - 1)];
        tool->ClearDialReflecteds();
        const int count = m_in.ConsumeIntegralInRange(0, 6);
        for (int i = 0; i < count; ++i) {
            if (m_in.ConsumeBool() && !m_pool.empty()) {
                tool->AddDialReflected(
                    m_pool[m_in.ConsumeIntegralInRange<std::size_t>(0, m_pool.size() - 1)]);
            } else {
                tool->AddDialReflected(NewRangedItem(m_in, Kernel::FourCC("new0") + i));
            }
        }
        if (m_dial) {
            m_dial->OnNotify(MakeCounted<Kernel::InvalidateReflectedsNotification>(tool));
        }
    }

    // The render thread draws what the overlay window holds now, and only while it is shown:
    // with no overlay (after an Update that left the menu without the application's entries,
    // say), a frame stays transparent rather than show the overlay it had before.
    void CheckFrame() {
        if (!m_dial) {
            return;
        }
        const detail::DialOverlayWindow& window = m_dial->GetOverlayWindow();
        if (m_stepped) {
            DrawSteppedFrame(window);
            return;
        }
        const detail::DialOverlayRenderer* renderer = window.GetRenderer();
        const auto frame =
            m_platform.Graphics().RunFrame(window.GetHandle(), std::chrono::seconds(5));
        if (!frame || !renderer) {
            return;
        }
        const detail::DialOverlay* current = window.GetOverlay();
        const detail::DialOverlay* expected = current && current->IsVisible() ? current : nullptr;
        if (renderer->LastDrawnOverlay() != expected) {
            fuzz::Violation("the render thread drew another overlay than the window shows");
        }
        if (!expected && !frame->IsFullyTransparent()) {
            fuzz::Violation("a frame shows an overlay while the window shows none");
        }
    }

    // A frame on the fuzzing thread, between the host's calls as the render thread draws one
    // between frames: the renderer is made for each overlay window as the window makes its own at
    // the first SetItem, but Prepare starts no thread, and DrawFrame presents at once (nobody
    // paces it). The window hands out its overlay read-only; the renderer holds it for this frame
    // alone, without owning it, since the window keeps it alive meanwhile.
    void DrawSteppedFrame(const detail::DialOverlayWindow& window) {
        if (!window.GetHandle()) {
            return;
        }
        if (window.GetHandle() != m_steppedWindow) {
            m_steppedWindow = window.GetHandle();
            m_steppedRenderer = std::make_unique<detail::DialOverlayRenderer>(m_platform.Graphics(),
                                                                              m_platform.Windows());
            m_steppedRenderer->Prepare(m_steppedWindow);
        }
        auto* overlay = const_cast<detail::DialOverlay*>(window.GetOverlay());
        m_steppedRenderer->SetOverlay(
            std::shared_ptr<detail::DialOverlay>(std::shared_ptr<detail::DialOverlay>(), overlay));
        m_steppedRenderer->DrawFrame(0);
        m_steppedRenderer->SetOverlay(nullptr);
    }

    // The user presses the mouse on the overlay window (on a badge of a group's ring, say) and
    // lets go, as the window procedure receives it.
    void Press() {
        if (!m_dial) {
            return;
        }
        const HWND overlay = m_dial->GetOverlayWindow().GetHandle();
        const int x = m_in.ConsumeIntegralInRange(-64, 446);
        const int y = m_in.ConsumeIntegralInRange(-64, 446);
        m_platform.Windows().Send(overlay, WM_LBUTTONDOWN, 0, platform::LParamFromPoint(x, y));
        m_platform.Windows().Send(overlay, WM_LBUTTONUP, 0, platform::LParamFromPoint(x, y));
    }

    // The editor drops its dial, and may make a new one; timers of the old dial keep firing.
    void Lifecycle() {
        m_dial.Reset();
        if (detail::Dial::CurrentDial() != nullptr) {
            fuzz::Violation("a destroyed dial is still the one the timers reach");
        }
        m_attached.clear();
        m_leftCommitTimers.clear();
        m_invariants.ForgetRotation();
        m_inTimers = true;
        m_platform.Advance(m_in.ConsumeIntegralInRange<std::int64_t>(0, 3000));
        m_inTimers = false;
        if (m_in.ConsumeBool()) {
            m_dial = detail::Dial::Create(m_windows[0], &m_callbacks);
        }
    }

    // Timers belong to a live dial: the commit timer runs only on the window the dial is
    // attached to (a move to another window kills it on the old one); the overlay timer of an
    // old window may keep running, which the dial knows to ignore.
    void CheckTimers() {
        for (const sim::SimTimer& timer : m_platform.Windows().Timers()) {
            if (timer.id != detail::Dial::kCommitTimerId &&
                timer.id != detail::Dial::kOverlayTimerId) {
                fuzz::Violation("a timer the dial does not use: " + std::to_string(timer.id));
            }
            if (timer.id == detail::Dial::kCommitTimerId && m_attached.contains(timer.window) &&
                timer.window != m_dial->GetWindow()) {
                const auto left = m_leftCommitTimers.find(timer.window);
                if (left == m_leftCommitTimers.end() || left->second != timer.dueMs) {
                    fuzz::Violation("the commit timer runs on a window the dial has left");
                }
            }
        }
        if (detail::Dial::CurrentDial() != m_dial.Get()) {
            fuzz::Violation("the timers reach a dial other than the live one");
        }
    }

    FuzzedDataProvider& m_in;
    sim::SimPlatform m_platform;
    // Installed over the platform's services (and removed before them) for stepped frames.
    std::optional<platform::ScopedServices> m_withoutRenderer;
    bool m_stepped = false;
    HWND m_steppedWindow = nullptr;  // the window m_steppedRenderer was made for
    std::unique_ptr<detail::DialOverlayRenderer> m_steppedRenderer;
    sample::HostRecorder m_host{sample::HostRecorder::Retention::ListenOnly};
    fuzz::DialInvariants m_invariants;
    sim::HostModel m_model;
    std::vector<Counted<Kernel::Reflected>> m_pool;
    std::vector<HWND> m_windows;
    std::set<HWND> m_attached;
    // Commit timers a failed KillTimer left on a window the dial has left, with their due time.
    std::map<HWND, std::int64_t> m_leftCommitTimers;
    FuzzCallbacks m_callbacks;
    Counted<detail::Dial> m_dial;
    bool m_inTimers = false;
    // QUARN_FUZZ_TRACE=1 prints each step and what the host saw, to read a reproducer by.
    const bool m_trace = std::getenv("QUARN_FUZZ_TRACE") != nullptr;
    int m_injections = 0;
};

// Whether this input runs the render thread: from its bytes (FNV-1a), unless the environment
// says always or never.
bool UsesRenderThread(const std::uint8_t* data, std::size_t size) {
    static const std::string setting = [] {
        const char* value = std::getenv("QUARN_FUZZ_RENDER_THREAD");
        return std::string(value ? value : "");
    }();
    if (setting == "always" || setting == "never") {
        return setting == "always";
    }
    std::uint32_t hash = 2166136261u;
    for (std::size_t i = 0; i < size; ++i) {
        hash = (hash ^ data[i]) * 16777619u;
    }
    return hash % kThreadedShare == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    Harness harness(in, UsesRenderThread(data, size));
    harness.Run();
    return 0;
}
