// Win32's timers as the dial uses them: SetTimer with a timer procedure on the host window,
// WM_TIMER dispatched by a real message loop, KillTimer ending it. What the dial's commit and
// overlay timers mean is pinned by the simulated tests.
#include <gtest/gtest.h>

#include "bindings/platform/win_backends.h"
#include "tests/windows/win32_host.h"

namespace Quarn::WinRT::testing {
namespace {

constexpr UINT_PTR kTimerId = 7;
int s_fired = 0;  // test thread only

void CALLBACK OnTimer(HWND, UINT message, UINT_PTR id, DWORD) {
    s_fired += message == WM_TIMER && id == kTimerId;
}

TEST(Win32TimersTest, TheMessageLoopDeliversUntilKilled) {
    const HostWindow window{RECT{100, 50, 900, 650}};
    platform::Windowing& windowing = platform::Win32Windowing();
    s_fired = 0;
    ASSERT_NE(windowing.SetTimer(window.Handle(), kTimerId, 10, &OnTimer), 0u);
    EXPECT_TRUE(PumpUntil([] { return s_fired > 0; }, 5000));
    EXPECT_TRUE(windowing.KillTimer(window.Handle(), kTimerId));
    s_fired = 0;
    PumpUntil([] { return false; }, 50);
    EXPECT_EQ(s_fired, 0);
    EXPECT_FALSE(windowing.KillTimer(window.Handle(), kTimerId)) << "killed already";
}

}  // namespace
}  // namespace Quarn::WinRT::testing
