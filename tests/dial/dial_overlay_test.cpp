// What the dial does with its overlay in virtual time: shown by a turn or a touch, hidden
// exactly 2000 ms after the last turn unless the puck rests on the screen.
#include "bindings/vorta/notifications.h"
#include "overlay/create_overlay.h"
#include "overlay/dial_overlay_window.h"
#include "tests/dial/dial_fixture.h"
#include "tests/overlay/test_overlay.h"

namespace Quarn::WinRT::testing {
namespace {

// The overlay the dial's window shows last; host thread only.
TestOverlay* s_made = nullptr;

std::unique_ptr<detail::DialOverlay> MakeGroupOverlay(Counted<Tool>,
                                                      std::vector<Counted<Reflected>>,
                                                      Counted<Reflected>) {
    auto made = std::make_unique<TestOverlay>();
    s_made = made.get();
    return made;
}

class DialOverlayTest : public DialTest {
protected:
    void SetUp() override {
        Attach();
        auto group = MakeCounted<Corvanta::ReflectedGroup>(
            FourCC("grp "), "Brush",
            std::vector<Counted<Reflected>>{DoubleItem("size", "Size", 50, 0, 100),
                                            DoubleItem("flow", "Flow", 10, 0, 100)});
        tool = MakeTool({group, DoubleItem("opac", "Opacity", 1, 0, 1)});
        dial->Update(tool, false);
        Choose("Brush");
    }
    bool Visible() { return dial->GetOverlayWindow().IsVisible(); }
    Counted<Tool> tool;

    detail::ScopedOverlayKinds kinds{detail::OverlayKinds{nullptr, &MakeGroupOverlay}};
};

TEST_F(DialOverlayTest, HiddenExactly2000MsAfterTheLastTurnUnlessThePuckRestsOnTheScreen) {
    enum class Op { Rotate, Wait, Touch, Lift, ExpectShown, ExpectHidden };
    struct Step {
        Op op;
        int ms = 0;
    };
    struct Case {
        const char* name;
        std::vector<Step> steps;
    };
    const Case cases[] = {
        {"one turn",
         {{Op::ExpectHidden},
          {Op::Rotate},
          {Op::ExpectShown},
          {Op::Wait, 1999},
          {Op::ExpectShown},
          {Op::Wait, 1},
          {Op::ExpectHidden}}},
        {"a second turn restarts the wait",
         {{Op::Rotate},
          {Op::Wait, 1500},
          {Op::Rotate},
          {Op::Wait, 1999},
          {Op::ExpectShown},
          {Op::Wait, 1},
          {Op::ExpectHidden}}},
        {"a turn on the screen does not show it: only a turn off the screen does",
         {{Op::Touch}, {Op::Rotate}, {Op::ExpectHidden}}},
        {"resting on the screen keeps it until 2000 ms after the lift",
         {{Op::Rotate},
          {Op::Wait, 1000},
          {Op::Touch},
          {Op::Wait, 5000},
          {Op::ExpectShown},
          {Op::Lift},
          {Op::Wait, 1999},
          {Op::ExpectShown},
          {Op::Wait, 1},
          {Op::ExpectHidden}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        platform.Wheel().ContactEnd();
        platform.Advance(10000);
        ASSERT_FALSE(Visible());
        for (const Step& step : c.steps) {
            switch (step.op) {
                case Op::Rotate:
                    platform.Wheel().Rotate(2.0);
                    break;
                case Op::Wait:
                    platform.Advance(step.ms);
                    break;
                case Op::Touch:
                    platform.Wheel().ContactStart(platform::Rect{200, 100, 60, 60});
                    break;
                case Op::Lift:
                    platform.Wheel().ContactEnd();
                    break;
                case Op::ExpectShown:
                    EXPECT_TRUE(Visible()) << "at " << platform.Clock().NowMs() << " ms";
                    break;
                case Op::ExpectHidden:
                    EXPECT_FALSE(Visible()) << "at " << platform.Clock().NowMs() << " ms";
                    break;
            }
        }
    }
}

TEST_F(DialOverlayTest, TheOverlaySitsAroundThePuckAndDrawsIntoTheWindow) {
    platform.Wheel().Rotate(2.0);
    platform.Wheel().ContactStart(platform::Rect{200, 100, 60, 60});
    const detail::DialOverlayWindow& overlay = dial->GetOverlayWindow();
    // The contact is window-relative; the host window's corner is (100, 50).
    const sim::SimWindow* placed = platform.Windows().Find(overlay.GetHandle());
    ASSERT_NE(placed, nullptr);
    EXPECT_EQ(placed->rect.left, 300 - 100);
    EXPECT_EQ(placed->rect.top, 150 - 100);
    const auto frame = platform.Graphics().RunFrame(overlay.GetHandle());
    ASSERT_TRUE(frame);
    EXPECT_NE(frame->At(130, 130), 0u) << "the puck's centre, in the window";
    EXPECT_EQ(platform.Windows().WindowFromPoint(POINT{330, 180}), overlay.GetHandle());
    EXPECT_EQ(platform.Windows().WindowFromPoint(POINT{1000, 700}), window);
}

TEST_F(DialOverlayTest, ChangesTheOverlayShowsReachIt) {
    ASSERT_NE(s_made, nullptr);
    TestOverlay& overlay = *s_made;
    const int before = overlay.toolChanges;
    platform.Wheel().Rotate(2.0);  // the group's current element changes value
    EXPECT_EQ(overlay.toolChanges, before + 1);
    dial->OnNotify(MakeCounted<DocumentHistoryChangedNotification>(document, false));
    EXPECT_EQ(overlay.toolChanges, before + 2);

    // The stale item in use (the group) and an element inside it reach the overlay as their
    // fresh selves; an item not in use and one the dial never held do not.
    for (std::uint32_t stale : {FourCC("flow"), FourCC("opac"), FourCC("none"), FourCC("grp ")}) {
        dial->OnNotify(MakeCounted<Kernel::InvalidateReflectedNotification>(tool, stale));
    }
    EXPECT_EQ(overlay.refreshed, (std::vector<std::uint32_t>{FourCC("flow"), FourCC("grp ")}));
}

}  // namespace
}  // namespace Quarn::WinRT::testing
