// The overlay window as a real Win32 window under Wine: its class, styles, owner and rectangle.
// Its layered and transparent styles are what let real input pass to the host; what its window
// procedure answers is the simulated overlay tests'.
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
    wchar_t title[8] = {};
    GetWindowTextW(overlay, title, 8);
    EXPECT_STREQ(title, L"Dial");
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

    // A second dial's window uses the class the first registered (RegisterClassEx refuses it).
    detail::DialOverlayWindow second(host.Handle());
    EXPECT_EQ(ClassNameOf(second.GetHandle()), L"DialOverlayWindow");
    EXPECT_NE(second.GetHandle(), overlay);
}

// A host window on a monitor left of and above the primary one: every coordinate is negative,
// through SetWindowPos and ScreenToClient (the decoding of the points is the simulated tests').
TEST_F(OverlayWindowTest, PlacedAndHitTestedWithNegativeCoordinates) {
    HostWindow host(RECT{-1500, -400, -700, 200});
    detail::DialOverlayWindow window(host.Handle());
    const HWND overlay = window.GetHandle();
    window.SetItem(tool, Group(), nullptr);
    ASSERT_NE(s_lastOverlay, nullptr);
    const TestOverlay& recorded = *s_lastOverlay;

    // A 40 by 40 contact at (-1300, -200): the window goes 100 pixels around it.
    window.Place(-1300, -200, 40, 40);
    EXPECT_TRUE(WindowRectOf(overlay) == (RECT{-1400, -300, -1160, -60}));
    SendMessageW(overlay, WM_NCHITTEST, 0, platform::LParamFromPoint(-1450, -180));
    ASSERT_FALSE(recorded.hitTests.empty());
    EXPECT_EQ(recorded.hitTests.back().x, -50);
    EXPECT_EQ(recorded.hitTests.back().y, 120);
}

}  // namespace
}  // namespace Quarn::WinRT::testing
