// The overlay window as a real Win32 window under Wine: its class, styles, owner and rectangle,
// and the messages its window procedure answers.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "bindings/corvanta/group.h"
#include "bindings/platform/win_backends.h"
#include "bindings/vorta/document.h"
#include "bindings/vorta/tool.h"
#include "overlay/create_overlay.h"
#include "overlay/dial_overlay_window.h"
#include "tests/overlay/test_overlay.h"
#include "tests/windows/win32_host.h"

namespace Quarn::WinRT::testing {
namespace {

using Kernel::Counted;
using Kernel::MakeCounted;

TestOverlay* s_lastOverlay = nullptr;  // host thread only

std::unique_ptr<detail::DialOverlay> MakeTestOverlay(Counted<Tool>,
                                                     std::vector<Counted<Kernel::Reflected>>,
                                                     Counted<Kernel::Reflected>) {
    auto made = std::make_unique<TestOverlay>();
    s_lastOverlay = made.get();
    return made;
}

Counted<Kernel::Reflected> Group() {
    auto element = MakeCounted<Kernel::ReflectedRangeT<double>>(10, "Size", 5.0, 0.0, 10.0);
    return MakeCounted<Corvanta::ReflectedGroup>(1, "Brush",
                                                 std::vector<Counted<Kernel::Reflected>>{element});
}

bool operator==(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

RECT WindowRectOf(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

class OverlayWindowTest : public ::testing::Test {
protected:
    detail::ScopedOverlayKinds kinds{detail::OverlayKinds{nullptr, &MakeTestOverlay}};
    Counted<DocumentController> document = MakeCounted<DocumentController>();
    Counted<Tool> tool = MakeCounted<Tool>(7, "Brush", document);
};

TEST_F(OverlayWindowTest, IsALayeredTransparentPopupOwnedByTheHostOverItsRectangle) {
    const RECT hostRect{100, 50, 1380, 850};
    HostWindow host(hostRect);
    detail::DialOverlayWindow window(host.Handle());
    const HWND overlay = window.GetHandle();
    ASSERT_TRUE(IsWindow(overlay));

    EXPECT_EQ(ClassNameOf(overlay), L"DialOverlayWindow");
    EXPECT_EQ(TitleOf(overlay), L"Dial");
    EXPECT_EQ(GetWindow(overlay, GW_OWNER), host.Handle());
    EXPECT_EQ(GetAncestor(overlay, GA_PARENT), GetDesktopWindow()) << "a popup, not a child";
    EXPECT_TRUE(WindowRectOf(overlay) == WindowRectOf(host.Handle()));

    const auto exStyle = static_cast<DWORD>(GetWindowLongPtrW(overlay, GWL_EXSTYLE));
    EXPECT_EQ(exStyle & WS_EX_LAYERED, DWORD{WS_EX_LAYERED});
    EXPECT_EQ(exStyle & WS_EX_TRANSPARENT, DWORD{WS_EX_TRANSPARENT});
    EXPECT_EQ(exStyle & WS_EX_NOREDIRECTIONBITMAP, DWORD{WS_EX_NOREDIRECTIONBITMAP});
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(overlay, GWL_STYLE));
    EXPECT_EQ(style & WS_POPUP, DWORD{WS_POPUP});
    EXPECT_EQ(style & (WS_CHILD | WS_CAPTION | WS_THICKFRAME | WS_SYSMENU), DWORD{0});
    EXPECT_TRUE(IsWindowVisible(overlay)) << "shown (SW_SHOWNA) at creation";
    EXPECT_NE(GetActiveWindow(), overlay) << "shown without activation";

    EXPECT_EQ(GetClassLongPtrW(overlay, GCL_STYLE), CS_VREDRAW | CS_HREDRAW | CS_NOCLOSE);
    EXPECT_EQ(reinterpret_cast<HCURSOR>(GetClassLongPtrW(overlay, GCLP_HCURSOR)),
              LoadCursorW(nullptr, IDC_ARROW));

    // Without an overlay every point is transparent, and a click never activates.
    for (const POINT screen : {POINT{500, 350}, POINT{-20, -30}}) {
        EXPECT_EQ(
            SendMessageW(overlay, WM_NCHITTEST, 0, platform::LParamFromPoint(screen.x, screen.y)),
            HTTRANSPARENT);
    }
    EXPECT_EQ(SendMessageW(overlay, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(host.Handle()),
                           MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN)),
              MA_NOACTIVATE);

    // A second dial's window uses the class the first registered.
    detail::DialOverlayWindow second(host.Handle());
    EXPECT_EQ(ClassNameOf(second.GetHandle()), L"DialOverlayWindow");
    EXPECT_NE(second.GetHandle(), overlay);
}

// A host window on a monitor left of and above the primary one: every coordinate is negative.
TEST_F(OverlayWindowTest, PointsReachTheOverlayWithTheirSign) {
    HostWindow host(RECT{-1500, -400, -700, 200});
    detail::DialOverlayWindow window(host.Handle());
    const HWND overlay = window.GetHandle();
    window.SetItem(tool, Group(), nullptr);
    ASSERT_NE(s_lastOverlay, nullptr);
    TestOverlay& recorded = *s_lastOverlay;

    // A 40 by 40 contact at (-1300, -200): the window goes 100 pixels around it.
    window.Place(-1300, -200, 40, 40);
    EXPECT_TRUE(WindowRectOf(overlay) == (RECT{-1400, -300, -1160, -60}));
    // Activation is answered the same with an overlay.
    EXPECT_EQ(SendMessageW(overlay, WM_MOUSEACTIVATE, 0, 0), MA_NOACTIVATE);

    struct Case {
        const char* name;
        UINT message;
        POINT sent;  // screen point for the hit test, client point for the buttons
        LRESULT result;
        POINT received;
    };
    const Case cases[] = {
        {"hit test on the puck", WM_NCHITTEST, {-1280, -180}, HTCLIENT, {120, 120}},
        {"hit test in a corner", WM_NCHITTEST, {-1395, -295}, HTTRANSPARENT, {5, 5}},
        {"hit test left of the window", WM_NCHITTEST, {-1450, -180}, HTTRANSPARENT, {-50, 120}},
        {"button down above the window", WM_LBUTTONDOWN, {-5, -7}, 0, {-5, -7}},
        {"button up left of the window", WM_LBUTTONUP, {-300, 12}, 0, {-300, 12}},
    };
    for (const Case& c : cases) {
        const LRESULT result =
            SendMessageW(overlay, c.message, 0, platform::LParamFromPoint(c.sent.x, c.sent.y));
        EXPECT_EQ(result, c.result) << c.name;
        const std::vector<POINT>& log = c.message == WM_NCHITTEST     ? recorded.hitTests
                                        : c.message == WM_LBUTTONDOWN ? recorded.downs
                                                                      : recorded.ups;
        ASSERT_FALSE(log.empty()) << c.name;
        EXPECT_EQ(log.back().x, c.received.x) << c.name;
        EXPECT_EQ(log.back().y, c.received.y) << c.name;
    }
}

// Real mouse input never hit-tests a window that is both layered and transparent: Wine, like
// Windows, gives the click to the window below without asking the overlay, even where the
// overlay would claim the point.
TEST_F(OverlayWindowTest, RealMouseInputPassesThroughToTheHost) {
    HostWindow host(RECT{100, 50, 900, 650});
    detail::DialOverlayWindow window(host.Handle());
    window.SetItem(tool, Group(), nullptr);
    ASSERT_NE(s_lastOverlay, nullptr);
    TestOverlay& recorded = *s_lastOverlay;
    window.Place(400, 300, 40, 40);
    window.Show();
    SetWindowPos(window.GetHandle(), HWND_TOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    PumpFor(100);

    // The puck's centre, which the overlay claims when asked.
    SetCursorPos(420, 320);
    INPUT clicks[2] = {};
    clicks[0].type = clicks[1].type = INPUT_MOUSE;
    clicks[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    clicks[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    ASSERT_EQ(SendInput(2, clicks, sizeof(INPUT)), 2u);
    PumpFor(300);

    EXPECT_TRUE(recorded.hitTests.empty()) << recorded.hitTests.size() << " hit tests";
    EXPECT_TRUE(recorded.downs.empty());
    EXPECT_EQ(WindowFromPoint(POINT{420, 320}), host.Handle());
}

}  // namespace
}  // namespace Quarn::WinRT::testing
