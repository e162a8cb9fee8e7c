// A group overlay on a dial: badges clicked through the overlay window and the button stepping
// through the elements reach the dial.
#include "bindings/corvanta/group.h"
#include "items/item_lookup.h"
#include "overlay/dial_overlay_window.h"
#include "overlay/group_dial_overlay.h"
#include "tests/dial/dial_fixture.h"

namespace Quarn::WinRT::testing {
namespace {

class GroupInputTest : public DialTest {
protected:
    void SetUp() override {
        Attach();
        group = MakeCounted<Corvanta::ReflectedGroup>(
            FourCC("colr"), "Colour", std::vector<Counted<Reflected>>{hue, saturation, lightness});
        tool = MakeTool({group, DoubleItem("opac", "Opacity", 1, 0, 1)});
        dial->Update(tool, false);
        Choose("Colour");
        // The puck on the screen, its centre at (400, 300) in the editor's window, which sits
        // at (100, 50): the overlay window is the contact grown by 400, so the puck's centre is
        // (460, 460) in it and at (500, 350) on the screen.
        platform.Wheel().ContactStart(platform::Rect{340, 240, 120, 120});
        // Shown, as a turn would: a hidden ring takes no clicks.
        dial->GetOverlayWindow().Show();
    }

    std::uint32_t Current() {
        const auto item = dial->GetCurrentItem();
        return item ? item->GetIdentifier() : 0;
    }
    std::uint32_t Stored() {
        const auto attribute = detail::FindAttribute<Corvanta::CurrentElementAttribute>(*group);
        return attribute ? attribute->elementId : 0;
    }
    // A point of the overlay window's client area on the screen.
    static POINT Screen(int x, int y) { return POINT{x + 40, y - 110}; }

    Counted<Reflected> hue = DoubleItem("hue ", "Hue", 90, 0, 360);
    Counted<Reflected> saturation = DoubleItem("satu", "Saturation", 0.5, 0, 1);
    Counted<Reflected> lightness = DoubleItem("ligh", "Lightness", 0.5, 0, 1);
    Counted<Corvanta::ReflectedGroup> group;
    Counted<Tool> tool;
};

TEST_F(GroupInputTest, AClickOnABadgeMakesItsElementCurrentWithoutActivatingTheOverlay) {
    ASSERT_EQ(Current(), FourCC("hue "));
    // Saturation's badge is the second: (629.6, 339.6) in the window.
    const HWND clicked = platform.Windows().Click(Screen(630, 340));
    EXPECT_EQ(clicked, dial->GetOverlayWindow().GetHandle());
    EXPECT_EQ(Current(), FourCC("satu"));
    EXPECT_EQ(Stored(), FourCC("satu"));
    EXPECT_EQ(platform.Windows().ActiveWindow(), window);
}

TEST_F(GroupInputTest, AReleaseWhoseSelectionTheDeviceRefusesIsLoggedAndGoesNoFurther) {
    const HWND overlay = dial->GetOverlayWindow().GetHandle();
    platform.Faults().Fail("RadialController.UseAutomaticHapticFeedback.put", E_FAIL, "Busy.");
    platform.Windows().Send(overlay, WM_LBUTTONDOWN, 0, platform::LParamFromPoint(668, 460));
    EXPECT_EQ(
        platform.Windows().Send(overlay, WM_LBUTTONUP, 0, platform::LParamFromPoint(668, 460)), 0);
    EXPECT_EQ(
        host.LogLines(),
        std::vector<std::string>{"Dial error: Failed to handle an overlay window message. Busy."});
    // The next release selects again.
    platform.Windows().Send(overlay, WM_LBUTTONDOWN, 0, platform::LParamFromPoint(668, 460));
    platform.Windows().Send(overlay, WM_LBUTTONUP, 0, platform::LParamFromPoint(668, 460));
    EXPECT_EQ(Current(), FourCC("ligh"));
}

TEST_F(GroupInputTest, TheButtonStepsThroughTheElementsAndWraps) {
    for (std::uint32_t next : {FourCC("satu"), FourCC("ligh"), FourCC("hue ")}) {
        platform.Wheel().Click();
        EXPECT_EQ(Current(), next);
        EXPECT_EQ(Stored(), next);
        const auto* overlay =
            dynamic_cast<const detail::GroupDialOverlay*>(dial->GetOverlayWindow().GetOverlay());
        ASSERT_NE(overlay, nullptr);
        EXPECT_EQ(overlay->GetCurrent()->GetIdentifier(), next);
    }
}

}  // namespace
}  // namespace Quarn::WinRT::testing
