// The overlay window as a real Win32 window under Wine: its class, styles, owner and rectangle.
// Its layered and transparent styles are what let real input pass to the host; what its window
// procedure answers is the simulated overlay tests'.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "bindings/corvanta/group.h"
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

TEST(OverlayWindowTest, IsALayeredTransparentPopupOwnedByTheHostOverItsRectangle) {
    HostWindow host(RECT{100, 50, 1380, 850});
    detail::DialOverlayWindow window(host.Handle());
    const HWND overlay = window.GetHandle();
    ASSERT_TRUE(IsWindow(overlay));

    EXPECT_EQ(ClassNameOf(overlay), L"DialOverlayWindow");
    EXPECT_EQ(GetWindow(overlay, GW_OWNER), host.Handle());
    EXPECT_EQ(GetAncestor(overlay, GA_PARENT), GetDesktopWindow()) << "a popup, not a child";
    RECT overlayRect{};
    RECT hostRect{};
    GetWindowRect(overlay, &overlayRect);
    GetWindowRect(host.Handle(), &hostRect);
    EXPECT_TRUE(EqualRect(&overlayRect, &hostRect));

    const auto exStyle = static_cast<DWORD>(GetWindowLongPtrW(overlay, GWL_EXSTYLE));
    constexpr DWORD kExStyle = WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_NOREDIRECTIONBITMAP;
    EXPECT_EQ(exStyle & kExStyle, kExStyle);
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(overlay, GWL_STYLE));
    EXPECT_EQ(style & (WS_POPUP | WS_CHILD | WS_CAPTION | WS_THICKFRAME | WS_SYSMENU),
              DWORD{WS_POPUP});
    EXPECT_TRUE(IsWindowVisible(overlay)) << "shown (SW_SHOWNA) at creation";
    EXPECT_NE(GetActiveWindow(), overlay) << "shown without activation";
    EXPECT_EQ(GetClassLongPtrW(overlay, GCL_STYLE), CS_VREDRAW | CS_HREDRAW | CS_NOCLOSE);
    EXPECT_EQ(reinterpret_cast<HCURSOR>(GetClassLongPtrW(overlay, GCLP_HCURSOR)),
              LoadCursorW(nullptr, IDC_ARROW));

    // A second dial's window uses the class the first registered (RegisterClassEx refuses it).
    detail::DialOverlayWindow second(host.Handle());
    EXPECT_EQ(ClassNameOf(second.GetHandle()), L"DialOverlayWindow");
}

TestOverlay* s_lastOverlay = nullptr;  // host thread only

// A host window on a monitor left of and above the primary one: every coordinate is negative,
// through SetWindowPos and ScreenToClient (the decoding of the points is the simulated tests').
TEST(OverlayWindowTest, PlacedAndHitTestedWithNegativeCoordinates) {
    const detail::ScopedOverlayKinds kinds{detail::OverlayKinds{
        nullptr,
        [](Counted<Tool>, std::vector<Counted<Kernel::Reflected>>,
           Counted<Kernel::Reflected>) -> std::unique_ptr<detail::DialOverlay> {
            auto made = std::make_unique<TestOverlay>();
            s_lastOverlay = made.get();
            return made;
        }}};
    HostWindow host(RECT{-1500, -400, -700, 200});
    detail::DialOverlayWindow window(host.Handle());
    const auto size = MakeCounted<Kernel::ReflectedRangeT<double>>(10, "Size", 5.0, 0.0, 10.0);
    window.SetItem(MakeCounted<Tool>(7, "Brush", MakeCounted<DocumentController>()),
                   MakeCounted<Corvanta::ReflectedGroup>(
                       1, "Brush", std::vector<Counted<Kernel::Reflected>>{size}),
                   nullptr);
    ASSERT_NE(s_lastOverlay, nullptr);

    // A 40 by 40 contact at (-1300, -200): the window goes 100 pixels around it.
    window.Place(-1300, -200, 40, 40);
    RECT placed{};
    GetWindowRect(window.GetHandle(), &placed);
    const RECT expected{-1400, -300, -1160, -60};
    EXPECT_TRUE(EqualRect(&placed, &expected));
    SendMessageW(window.GetHandle(), WM_NCHITTEST, 0, platform::LParamFromPoint(-1450, -180));
    ASSERT_FALSE(s_lastOverlay->hitTests.empty());
    EXPECT_EQ(s_lastOverlay->hitTests.back().x, -50);
    EXPECT_EQ(s_lastOverlay->hitTests.back().y, 120);
}

}  // namespace
}  // namespace Quarn::WinRT::testing
