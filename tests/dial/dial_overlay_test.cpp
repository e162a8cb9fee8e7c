// What the dial does with its overlay in virtual time: shown by a turn or a touch, hidden
// exactly 2000 ms after the last turn unless the puck rests on the screen.
#include <sstream>
#include <string>

#include "overlay/create_overlay.h"
#include "overlay/dial_overlay_window.h"
#include "tests/dial/dial_fixture.h"
#include "tests/overlay/overlay_fixture.h"

namespace Quarn::WinRT::testing {
namespace {

class DialOverlayTest : public DialTest {
protected:
    void SetUp() override { Use({group, DoubleItem("opac", "Opacity", 1, 0, 1)}, "Brush"); }
    bool Visible() { return dial->GetOverlayWindow().IsVisible(); }
    std::vector<Counted<Reflected>> elements{DoubleItem("size", "Size", 50, 0, 100),
                                             DoubleItem("flow", "Flow", 10, 0, 100)};
    Counted<Corvanta::ReflectedGroup> group =
        MakeCounted<Corvanta::ReflectedGroup>(FourCC("grp "), "Brush", elements);

    detail::ScopedOverlayKinds kinds{detail::OverlayKinds{nullptr, &MakeTestOverlay}};
};

// Each script is a series of steps: R a turn, C a press, T the puck touching the screen, L it
// lifted, N no current item, W<ms> a wait; then S expects the overlay shown, H hidden, and D
// shown at the default box.
TEST_F(DialOverlayTest, HiddenExactly2000MsAfterTheLastTurnUnlessThePuckRestsOnTheScreen) {
    const std::pair<const char*, const char*> cases[] = {
        {"one turn", "H R S W1999 S W1 H"},
        {"a second turn restarts the wait", "R W1500 R W1999 S W1 H"},
        {"a turn on the screen does not show it: only a turn off the screen does", "T R H"},
        {"resting on the screen keeps it until 2000 ms after the lift",
         "R W1000 T W5000 S L W1999 S W1 H"},
        {"a press with the overlay hidden and no contact shows it at the default box",
         "C S D W1999 S W1 H"},
        {"a press while the puck rests on the screen does not show it", "T C H W5000 H"},
        {"a press with no current item still shows it and restarts the wait",
         "N C S W1500 C W1999 S W1 H"},
        {"lifting and touching again within 2000 ms keeps it",
         "R T L W1500 T W5000 S L W1999 S W1 H"},
    };
    for (const auto& [name, script] : cases) {
        SCOPED_TRACE(name);
        group->SetElements(elements);
        platform.Wheel().ContactEnd();
        platform.Advance(10000);
        ASSERT_FALSE(Visible());
        std::istringstream steps(script);
        for (std::string step; steps >> step;) {
            const auto at = ::testing::Message() << step << " at " << platform.Clock().NowMs();
            switch (step[0]) {
                case 'R':
                    platform.Wheel().Rotate(2.0);
                    break;
                case 'C':
                    platform.Wheel().Click();
                    break;
                case 'W':
                    platform.Advance(std::stoi(step.substr(1)));
                    break;
                case 'N':
                    group->SetElements({});
                    break;
                case 'T':
                    platform.Wheel().ContactStart(platform::Rect{200, 100, 60, 60});
                    break;
                case 'L':
                    platform.Wheel().ContactEnd();
                    break;
                case 'S':
                case 'H':
                    EXPECT_EQ(Visible(), step[0] == 'S') << at;
                    break;
                case 'D': {
                    // 382 pixels square around the last centre, with the test overlay's margin.
                    const auto centre = dial->GetOverlayWindow().GetCentre();
                    const RECT placed =
                        platform.Windows().Find(dial->GetOverlayWindow().GetHandle())->rect;
                    const float margin = TestOverlay::kMargin;
                    EXPECT_EQ(placed.left, static_cast<int>(centre.x - 191 - margin));
                    EXPECT_EQ(placed.top, static_cast<int>(centre.y - 191 - margin));
                    EXPECT_EQ(placed.right - placed.left, static_cast<int>(382 + 2 * margin));
                    break;
                }
            }
        }
    }
}

}  // namespace
}  // namespace Quarn::WinRT::testing
