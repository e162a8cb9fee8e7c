// The dial's commit and overlay timers through Win32's SetTimer and a real message loop. The
// wheel device is the simulated one (the Windows Runtime's is not reachable here); windows and
// timers are Win32's, so WM_TIMER reaches the dial's timer procedure as it does in the editor.
// Their intervals are pinned by the simulated tests; here only their delivery.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "bindings/platform/services.h"
#include "bindings/sample_host/recorder.h"
#include "bindings/sim/fault.h"
#include "bindings/vorta/document.h"
#include "bindings/vorta/tool.h"
#include "bindings/wheel/sim_wheel.h"
#include "dial/dial.h"
#include "tests/windows/win32_host.h"

namespace Quarn::WinRT::testing {
namespace {

using detail::Dial;
using Kernel::MakeCounted;

// Win32's windowing, with the ids of the timers killed.
class KillTimerSpy final : public ForwardingWindowing {
public:
    bool KillTimer(HWND w, UINT_PTR id) override {
        kills.push_back(id);
        return ForwardingWindowing::KillTimer(w, id);
    }
    std::vector<UINT_PTR> kills;
};

TEST(DialTimersTest, TheMessageLoopDeliversTheCommitAndOverlayTimers) {
    sim::FaultInjector faults;
    sim::SimWheel wheel{faults};
    KillTimerSpy spy;
    platform::ServiceSet services = platform::DefaultServices();
    services.wheel = &wheel;
    services.windowing = &spy;
    const platform::ScopedServices installed{services};
    sample::HostRecorder host;
    int commits = 0;
    host.SetListener([&](const sample::HostEvent& event) {
        commits += event.kind == sample::HostEvent::Kind::ValueWritten && !event.flag;
    });
    const HostWindow window{RECT{100, 50, 1380, 850}};
    NoViewCallbacks callbacks;
    const auto document = MakeCounted<DocumentController>();
    auto tool = MakeCounted<Tool>(7, "Brush", document);
    tool->AddDialReflected(MakeCounted<Kernel::ReflectedRangeT<double>>(Kernel::FourCC("size"),
                                                                        "Size", 50.0, 0.0, 100.0));
    document->AddTool(tool);
    const auto dial = Dial::Create(window.Handle(), &callbacks);
    dial->SetCurrentWindow(window.Handle());
    dial->Update(tool, false);
    wheel.InvokeMenuItem(0);
    commits = 0;

    wheel.Rotate(18.0);
    const auto killed = [&](UINT_PTR id) {
        return std::count(spy.kills.begin(), spy.kills.end(), id) > 0;
    };
    // The commit timer writes the value without the flag; the overlay timer kills itself.
    EXPECT_TRUE(PumpUntil([&] { return commits > 0 && killed(Dial::kOverlayTimerId); }, 5000));
    EXPECT_EQ(commits, 1);
    EXPECT_TRUE(killed(Dial::kCommitTimerId)) << "the commit timer kills itself when it fires";
}

}  // namespace
}  // namespace Quarn::WinRT::testing
