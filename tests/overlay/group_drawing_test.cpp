// The group overlay's frames as the recorder writes them: exact geometry, colours and texts.
#include <cmath>

#include "tests/overlay/group_fixture.h"

namespace Quarn::WinRT::testing {
namespace {

std::string Colour(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    char text[96];
    std::snprintf(text, sizeof text, "(%.6g,%.6g,%.6g,1)", r / 255.0f, g / 255.0f, b / 255.0f);
    return text;
}

TEST_F(GroupOverlayTest, TheRingFrameIsDrawnExactly) {
    Prepare(Elements(), Counted<Reflected>(saturation));
    // Saturation is current: a green item's hue (1/3) at half saturation.
    std::uint8_t r, g, b;
    Corvanta::SaturationColourRangeAttribute().GetRGB(1.0 / 3.0, 0.5, r, g, b);
    const std::string satColour = Colour(r, g, b);
    Corvanta::ColourRangeAttribute(0x0000FFu, 0xFF0000u).GetColour(0.25, r, g, b);
    const std::string hueColour = Colour(r, g, b);
    const std::string black = "(0,0,0,1)";
    const std::string white = "(1,1,1,1)";
    const std::string grey = "(0.301961,0.301961,0.301961,1)";

    // Centres on a circle of 60 + 148 = 208 around (460, 460): the first a 70-pixel chord
    // clockwise from the top, each next a 126-pixel chord on.
    const std::vector<std::string> expected = {
        "FillEllipse centre=(460,460) radii=(124,124) brush=" + black,
        "FillEllipse centre=(460,460) radii=(110,110) brush=" + satColour,
        "DrawGeometry path{filled (529.002,263.779) arc(668,459.63 r=208,208 rot=0 cw small) "
        "open} brush=" +
            black + " width=140 style=round/round",
        "PushLayer mask=ellipse{(529.002,263.779) radii=(56,56)} opacity=1",
        "DrawGeometry ellipse{(529.002,263.779) radii=(56,56)} brush=" + hueColour + " width=20",
        "PopLayer",
        "FillGeometry ellipse{(629.623,339.617) radii=(56,56)} brush=" + satColour,
        "PushLayer mask=ellipse{(668,459.63) radii=(56,56)} opacity=1",
        "DrawGeometry ellipse{(668,459.63) radii=(56,56)} brush=" + grey + " width=20",
        "PopLayer",
        // Hue: its initial in grey, centred (one 24-pixel unit is 12 wide, a line 30 high);
        // a quarter of the way round its range, a quarter turn of arc.
        "DrawText \"H\" rect=(523.002,248.779,535.002,278.779) size=24 brush=" + grey,
        "DrawGeometry path{filled (529.002,212.779) arc(580.002,263.779 r=51,51 rot=0 cw small) "
        "open} brush=" +
            white + " width=10",
        // Saturation: value and (empty) unit; half its range, half a turn.
        "DrawText \"0.5\" rect=(611.623,324.617,657.623,354.617) size=24 brush=" + white,
        "DrawText \"\" rect=(629.623,344.617,639.623,369.617) size=20 brush=" + white,
        "DrawGeometry path{filled (629.623,288.617) arc(629.623,390.617 r=51,51 rot=0 cw small) "
        "open} brush=" +
            white + " width=10",
        "DrawText \"L\" rect=(662,444.63,674,474.63) size=24 brush=" + grey,
        "DrawGeometry path{filled (668,408.63) arc(719,459.63 r=51,51 rot=0 cw small) open} "
        "brush=" +
            white + " width=10",
        // The name five degrees past a fourth badge, at R + 28 = 138 from the centre.
        "FillRoundedRectangle (565.466,519,745.466,609) radii=(45,45) brush=" + black,
        "DrawText \"Saturation\" rect=(595.466,549,715.466,579) size=24 brush=" + white,
    };
    EXPECT_EQ(Frame(), expected);
}

TEST_F(GroupOverlayTest, ValueArcsFollowNorthTheRangeAndTheValue) {
    struct Case {
        const char* name;
        double minimum, maximum, value, north, normalised;
        float start, end;
    };
    const Case cases[] = {
        {"north at the minimum: clockwise over the position", 0, 100, 25, 0, 0.25, 0, 90},
        {"a full range: a full turn", 0, 100, 100, 0, 1, 0, 360},
        {"beyond the range: at most a full turn", 0, 100, 150, 0, 1.5, 0, 360},
        {"below the range: no arc", 0, 100, -20, 0, -0.2, 0, 0},
        {"above north: clockwise from the top", -50, 50, 25, 0, 0.75, 0, 90},
        {"below north: counter-clockwise", -50, 50, -50, 0, 0, -180, 0},
        {"the far side is at most half a turn", -20, 100, 100, 0, 1, 0, 180},
        {"the near side of an uneven range", -20, 100, -20, 0, 0, -36, 0},
        {"north inside the range: each side is half a turn", 0, 100, 100, 50, 1, 0, 180},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        detail::GroupItem item;
        item.minimum = c.minimum;
        item.maximum = c.maximum;
        item.value = c.value;
        item.north = c.north;
        item.normalised = c.normalised;
        const auto angles = detail::GroupDialOverlay::ValueArcAngles(item);
        EXPECT_FLOAT_EQ(angles.start, c.start);
        EXPECT_FLOAT_EQ(angles.end, c.end);
    }
}

}  // namespace
}  // namespace Quarn::WinRT::testing
