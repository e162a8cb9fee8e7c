// The dial's commit and overlay timers through Win32's SetTimer and a real message loop. The
// wheel device is the simulated one (the Windows Runtime's is not reachable here); windows and
// timers are Win32's, so WM_TIMER reaches the dial's timer procedure as it does in the editor.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bindings/platform/services.h"
#include "bindings/platform/win_backends.h"
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
using Kernel::Counted;
using Kernel::MakeCounted;

// Win32's windowing, with every KillTimer noted (timer id and tick) on the way through.
class KillTimerSpy final : public platform::Windowing {
public:
    struct Kill {
        UINT_PTR id;
        ULONGLONG tick;
    };

    RECT GetWindowRect(HWND w) override { return m_real.GetWindowRect(w); }
    bool GetClientRect(HWND w, RECT* r) override { return m_real.GetClientRect(w, r); }
    bool ScreenToClient(HWND w, POINT* p) override { return m_real.ScreenToClient(w, p); }
    ATOM RegisterWindowClass(const platform::WindowClass& c) override {
        return m_real.RegisterWindowClass(c);
    }
    HCURSOR LoadStandardCursor(LPCWSTR id) override { return m_real.LoadStandardCursor(id); }
    HWND CreateWindowFrom(const platform::WindowCreation& c) override {
        return m_real.CreateWindowFrom(c);
    }
    bool DestroyWindow(HWND w) override { return m_real.DestroyWindow(w); }
    bool IsWindow(HWND w) override { return m_real.IsWindow(w); }
    LRESULT DefaultWindowProc(HWND w, UINT m, WPARAM wp, LPARAM lp) override {
        return m_real.DefaultWindowProc(w, m, wp, lp);
    }
    LONG_PTR SetWindowData(HWND w, int i, LONG_PTR v) override {
        return m_real.SetWindowData(w, i, v);
    }
    LONG_PTR GetWindowData(HWND w, int i) override { return m_real.GetWindowData(w, i); }
    bool ShowWindow(HWND w, int c) override { return m_real.ShowWindow(w, c); }
    bool SetWindowPos(HWND w, HWND a, int x, int y, int cx, int cy, UINT f) override {
        return m_real.SetWindowPos(w, a, x, y, cx, cy, f);
    }
    bool GetMenuFontFace(std::u16string* f) override { return m_real.GetMenuFontFace(f); }
    UINT_PTR SetTimer(HWND w, UINT_PTR id, UINT ms, TIMERPROC p) override {
        return m_real.SetTimer(w, id, ms, p);
    }
    bool KillTimer(HWND w, UINT_PTR id) override {
        kills.push_back(Kill{id, GetTickCount64()});
        return m_real.KillTimer(w, id);
    }

    std::vector<Kill> kills;

private:
    platform::Windowing& m_real = platform::Win32Windowing();
};

class NoViewCallbacks final : public IDialCallbacks {
public:
    bool ComputeDialCentres(const Kernel::PointT<double>&, Kernel::PointT<double>&,
                            Kernel::PointT<double>&) override {
        return false;
    }
};

struct Write {
    std::string value;
    bool flag;
    ULONGLONG tick;
};

platform::ServiceSet WithWheelAndSpy(platform::WheelPlatform& wheel, platform::Windowing& spy) {
    platform::ServiceSet services = platform::DefaultServices();
    services.wheel = &wheel;
    services.windowing = &spy;
    return services;
}

class DialTimersTest : public ::testing::Test {
protected:
    DialTimersTest() {
        host.SetListener([this](const sample::HostEvent& event) {
            if (event.kind == sample::HostEvent::Kind::ValueWritten) {
                writes.push_back(Write{event.text, event.flag, GetTickCount64()});
            }
        });
        auto tool = MakeCounted<Tool>(7, "Brush", document);
        tool->AddDialReflected(MakeCounted<Kernel::ReflectedRangeT<double>>(
            Kernel::FourCC("size"), "Size", 50.0, 0.0, 100.0));
        document->AddTool(tool);
        dial->SetCurrentWindow(window.Handle());
        dial->Update(tool, false);
        wheel.InvokeMenuItem(0);
        writes.clear();
    }

    // Rotates by 18 degrees (a tenth of the range) and returns the tick it happened at.
    ULONGLONG Rotate() {
        wheel.Rotate(18.0);
        return GetTickCount64();
    }

    std::vector<Write> CommitsAfter(ULONGLONG tick) const {
        std::vector<Write> commits;
        for (const Write& w : writes) {
            if (!w.flag && w.tick >= tick) {
                commits.push_back(w);
            }
        }
        return commits;
    }

    std::vector<ULONGLONG> KillsOf(UINT_PTR id) const {
        std::vector<ULONGLONG> ticks;
        for (const auto& kill : spy.kills) {
            if (kill.id == id) {
                ticks.push_back(kill.tick);
            }
        }
        return ticks;
    }

    sim::FaultInjector faults;
    sim::SimWheel wheel{faults};
    KillTimerSpy spy;
    platform::ScopedServices services{WithWheelAndSpy(wheel, spy)};
    sample::HostRecorder host;
    std::vector<Write> writes;
    HostWindow window{RECT{100, 50, 1380, 850}};
    NoViewCallbacks callbacks;
    Counted<DocumentController> document = MakeCounted<DocumentController>();
    Counted<Dial> dial = Dial::Create(window.Handle(), &callbacks);
};

// Timers fire from the message loop, never early; Wine keeps them within a few milliseconds,
// and a loaded machine may add more, so only a late bound of a second is asserted.
constexpr ULONGLONG kLate = 1000;

TEST_F(DialTimersTest, CommitTimerWritesOnce250msAfterTheLastRotation) {
    const ULONGLONG first = Rotate();
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_TRUE(writes[0].flag) << "a rotation writes with the flag set";

    // A second rotation 150 ms later restarts the timer: one commit, 250 ms after it.
    PumpFor(150);
    ASSERT_TRUE(CommitsAfter(first).empty()) << "committed before the interval";
    const ULONGLONG second = Rotate();
    ASSERT_TRUE(PumpUntil([&] { return !CommitsAfter(second).empty(); }, 3000));
    const auto commits = CommitsAfter(first);
    ASSERT_EQ(commits.size(), 1u);
    EXPECT_EQ(commits[0].value, writes[1].value) << "the pending value, written again";
    EXPECT_GE(commits[0].tick - second, 250u - 16u);  // the tick counter's own resolution
    EXPECT_LT(commits[0].tick - second, 250u + kLate);

    // The timer killed itself when it fired: nothing more comes.
    PumpFor(400);
    EXPECT_EQ(CommitsAfter(first).size(), 1u);
    EXPECT_EQ(KillsOf(Dial::kCommitTimerId).size(), 1u);
}

TEST_F(DialTimersTest, OverlayTimerEnds2000msAfterTheLastRotation) {
    Rotate();
    PumpFor(1000);
    const ULONGLONG last = Rotate();  // restarts the 2000 ms
    ASSERT_TRUE(PumpUntil([&] { return !KillsOf(Dial::kOverlayTimerId).empty(); }, 5000));
    const auto kills = KillsOf(Dial::kOverlayTimerId);
    EXPECT_GE(kills[0] - last, 2000u - 16u);
    EXPECT_LT(kills[0] - last, 2000u + kLate);
    PumpFor(300);
    EXPECT_EQ(KillsOf(Dial::kOverlayTimerId).size(), 1u) << "fires once, then is killed";
}

}  // namespace
}  // namespace Quarn::WinRT::testing
