// The button, control and screen contact, and the two timers in virtual time.
#include <limits>

#include "dial/notifications_sent.h"
#include "overlay/dial_overlay_window.h"
#include "tests/dial/dial_fixture.h"

namespace Quarn::WinRT::testing {
namespace {

using PositionBinding = Kernel::ReflectedBinding<Kernel::PointT<double>>;

class EventsTest : public DialTest {
protected:
    void SetUp() override {
        Attach();
        button = MakeCounted<Kernel::ReflectedBinding<bool>>(FourCC("btn "), "Toggle", false);
        button->AppendAttribute(MakeCounted<Corvanta::DialButtonAttribute>());
        position =
            MakeCounted<PositionBinding>(FourCC("pos "), "Position", Kernel::PointT<double>{});
        position->AppendAttribute(MakeCounted<Corvanta::DialPositionAttribute>());
        dial->Update(
            MakeTool({DoubleItem("size", "Size", 50, 0, 100), button, position, RotateItem()}),
            false);
        host.Clear();
    }
    Counted<Kernel::ReflectedBinding<bool>> button;
    Counted<PositionBinding> position;
};

// Without a current item the button only arms the overlay timer; on the view rotation item it
// recommends a reset and leaves the button item alone.
TEST_F(EventsTest, ButtonWithoutAnItemOnlyShowsTheOverlayAndOnTheViewRotationResetsIt) {
    platform.Wheel().Click();
    EXPECT_NE(platform.Windows().FindTimer(window, Dial::kOverlayTimerId), nullptr);
    Choose("Rotate");
    platform.Wheel().Click();
    const auto resets = NotificationsOf<Corvanta::RecommendResetViewRotationNotification>();
    ASSERT_EQ(resets.size(), 1u);
    EXPECT_FALSE(resets[0]->RequiredForPreviewing());
    EXPECT_FALSE(button->GetValue());
    EXPECT_TRUE(host.ValueWrites().empty());
}

TEST_F(EventsTest, ContactStatesFollowTheHostsMapping) {
    // Continued without a start is a contact like any other; one without size is a point.
    platform.Wheel().ContactMove(platform::Rect{-30, -30, 60, 60});  // partly off the window
    EXPECT_EQ(dial->GetDialContact(), Dial::ContactInView);
    EXPECT_EQ(callbacks.lastScreen, (Kernel::PointT<double>{100.0, 50.0}));
    platform.Wheel().ContactMove(platform::Rect{10, 20, 0, 0});
    EXPECT_EQ(callbacks.lastScreen, (Kernel::PointT<double>{110.0, 70.0}));
    EXPECT_EQ(position->GetValue(), (Kernel::PointT<double>{55.0, 35.0}));

    platform.Wheel().ContactStart(platform::Rect{200, 100, 60, 60});
    platform.Wheel().Lose();  // losing control keeps the state
    EXPECT_EQ(dial->GetDialContact(), Dial::ContactInView);
    EXPECT_EQ(callbacks.lastScreen, (Kernel::PointT<double>{330.0, 180.0}));
    EXPECT_EQ(position->GetValue(), (Kernel::PointT<double>{165.0, 90.0}));
    // The overlay sits around the contact in screen pixels, and no timer hides it meanwhile.
    EXPECT_EQ(dial->GetOverlayWindow().GetCentre().x, 330.0f);
    EXPECT_EQ(platform.Windows().FindTimer(window, Dial::kOverlayTimerId), nullptr);

    callbacks.inView = false;
    host.Clear();
    platform.Wheel().ContactMove(platform::Rect{400, 300, 60, 60});
    EXPECT_EQ(dial->GetDialContact(), Dial::ContactOutsideView);
    EXPECT_TRUE(host.ValueWrites().empty());  // outside the view the position is not fed

    const int callsBefore = callbacks.calls;
    platform.Wheel().Acquire(platform::Rect{10, 10, 60, 60});
    EXPECT_EQ(dial->GetDialContact(), Dial::ContactOutsideView);  // known state kept
    EXPECT_EQ(callbacks.calls, callsBefore);

    platform.Wheel().ContactEnd();
    EXPECT_EQ(dial->GetDialContact(), Dial::NoContact);
    ASSERT_NE(platform.Windows().FindTimer(window, Dial::kOverlayTimerId), nullptr);
    // Lifted: the default 382-pixel box around the last centre (40, 40 in the window).
    EXPECT_EQ(dial->GetOverlayWindow().GetCentre().x, 140.0f);
    EXPECT_EQ(dial->GetOverlayWindow().GetCentre().y, 90.0f);
    platform.Advance(2000);
    EXPECT_EQ(platform.Windows().FindTimer(window, Dial::kOverlayTimerId), nullptr);
    platform.Wheel().ContactStart(platform::Rect{200, 100, 60, 60});
    platform.Wheel().Acquire(std::nullopt);  // acquired without a contact
    EXPECT_EQ(dial->GetDialContact(), Dial::NoContact);
}

// A puck whose bounds have no place on a screen is on the screen but outside the view: the
// host is not asked to map it, the position keeps its value, and the overlay stays at the
// default box around its last centre, shown until the puck is lifted.
TEST_F(EventsTest, ContactsThatCannotBeLocatedAreOutsideTheViewAndLeaveTheOverlay) {
    constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
    constexpr float kInfinity = std::numeric_limits<float>::infinity();
    const platform::Rect cases[] = {
        {kNaN, 10, 60, 60},       {10, 10, kInfinity, 60},
        {10, -kInfinity, 60, 60}, {3e38f, 10, 3e38f, 60},  // the far corner is beyond a float
        {10, 3e38f, 60, 3e38f},   {10, 10, 60, kNaN},
    };
    platform.Wheel().ContactStart(platform::Rect{200, 100, 60, 60});
    const Kernel::PointT<double> knownPosition = position->GetValue();
    platform.Wheel().ContactEnd();
    const auto centre = dial->GetOverlayWindow().GetCentre();
    const int calls = callbacks.calls;
    host.Clear();
    for (const platform::Rect& bounds : cases) {
        for (const bool started : {true, false}) {
            if (started) {
                platform.Wheel().ContactStart(bounds);
            } else {
                platform.Wheel().ContactMove(bounds);
            }
            EXPECT_EQ(dial->GetDialContact(), Dial::ContactOutsideView) << bounds.x;
            EXPECT_EQ(dial->GetOverlayWindow().GetCentre().x, centre.x);
            EXPECT_EQ(dial->GetOverlayWindow().GetCentre().y, centre.y);
            EXPECT_EQ(platform.Windows().FindTimer(window, Dial::kOverlayTimerId), nullptr);
        }
        platform.Wheel().ContactEnd();
    }
    EXPECT_EQ(callbacks.calls, calls);
    EXPECT_TRUE(host.ValueWrites().empty());
    EXPECT_EQ(position->GetValue(), knownPosition);
}

// A host that maps the centre to NaN or infinity has not mapped it.
TEST_F(EventsTest, NonFiniteCentresFromTheHostCountAsNotMapped) {
    platform.Wheel().ContactStart(platform::Rect{200, 100, 60, 60});
    const Kernel::PointT<double> logical = dial->GetViewLogicalDialCentre();
    const Kernel::PointT<double> view = dial->GetViewDialCentre();
    for (const double bad :
         {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity()}) {
        callbacks.answer = Kernel::PointT<double>{1.0, bad};
        host.Clear();
        platform.Wheel().ContactMove(platform::Rect{300, 200, 60, 60});
        EXPECT_EQ(dial->GetDialContact(), Dial::ContactOutsideView);
        EXPECT_EQ(dial->GetViewLogicalDialCentre(), logical);
        EXPECT_EQ(dial->GetViewDialCentre(), view);
        EXPECT_TRUE(host.ValueWrites().empty());
    }
}

}  // namespace
}  // namespace Quarn::WinRT::testing
