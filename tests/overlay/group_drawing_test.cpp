// The group overlay's frames as the recorder writes them: exact geometry, colours, texts, and
// what is made per frame against what is cached.
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

TEST_F(GroupOverlayTest, OneElementSitsOnADiscAndTheLabelNeverPointsAboveTheRight) {
    Prepare({Counted<Reflected>(lightness)}, Counted<Reflected>(lightness));
    const auto lines = Frame();
    ASSERT_GE(lines.size(), 3u);
    // The value disc takes the grey level of the value without a colour range.
    EXPECT_EQ(lines[1], "FillEllipse centre=(460,460) radii=(110,110) brush=(0.25,0.25,0.25,1)");
    EXPECT_EQ(lines[2], "FillGeometry ellipse{(529.002,263.779) radii=(70,70)} brush=(0,0,0,1)");
    // θ0 + step + 5° is still above the horizontal: the label is anchored at angle 0.
    EXPECT_EQ(lines.end()[-2],
              "FillRoundedRectangle (598,430,766,520) radii=(45,45) brush=(0,0,0,1)");
}

// Past half a turn the track takes the long way from the first badge to the last; twelve do not
// fit around a 120-pixel puck at their spacing, so their ring grows and the name goes outside.
TEST_F(GroupOverlayTest, LargeGroupsTakeTheLongArcAndTwelveGrowTheRing) {
    struct Case {
        std::size_t count;
        const char* track;
        const char* pill;
    };
    const Case cases[] = {
        {6, "(529.002,263.779) arc(403.772,660.256 r=208,208 rot=0 cw small)",
         "(345.666,507.277,417.666,597.277)"},
        {7, "(529.002,263.779) arc(298.478,591.052 r=208,208 rot=0 cw large)", "(752,430,824,520)"},
        {12, "(529.273,226.652) arc(403.318,223.278 r=243.413,243.413 rot=0 cw large)",
         "(787.413,430,859.413,520)"},
    };
    static constexpr char kIds[12][5] = {"e000", "e001", "e002", "e003", "e004", "e005",
                                         "e006", "e007", "e008", "e009", "e010", "e011"};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.count);
        std::vector<Counted<Reflected>> elements;
        for (std::size_t i = 0; i < c.count; ++i) {
            elements.push_back(
                MakeCounted<Kernel::ReflectedRangeT<double>>(FourCC(kIds[i]), "E", 0.5, 0.0, 1.0));
        }
        Prepare(elements, elements[0]);
        const auto lines = Frame();
        ASSERT_GE(lines.size(), 3u);
        EXPECT_EQ(lines[2], "DrawGeometry path{filled " + std::string(c.track) +
                                " open} brush=(0,0,0,1) width=140 style=round/round");
        EXPECT_EQ(lines.end()[-2],
                  "FillRoundedRectangle " + std::string(c.pill) + " radii=(45,45) brush=(0,0,0,1)");
    }
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

TEST_F(GroupOverlayTest, ArcsAreNothingACircleOrAPathWithTheLargeArcFlag) {
    struct Case {
        double value;
        const char* badgeArc;  // the first badge's value arc, or null for none
    };
    const Case cases[] = {
        {0.0, nullptr},
        {1.0, "DrawEllipse centre=(529.002,263.779) radii=(51,51) brush=(1,1,1,1) width=10"},
        {0.75,
         "DrawGeometry path{filled (529.002,212.779) arc(478.002,263.779 r=51,51 rot=0 cw "
         "large) open} brush=(1,1,1,1) width=10"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        auto element = Element("only", "Only", c.value);
        detail::GroupDialOverlay fresh;
        fresh.SetItems(tool, {Counted<Reflected>(element)}, {});
        fresh.SetFactory(Ref<draw::Factory>(setup.factory.Get()));
        fresh.SetContact(true);
        fresh.SetLayout(kWindow, kContact);
        const auto lines = setup.Frame(fresh);
        const auto arcs = std::count_if(lines.begin(), lines.end(), [](const std::string& line) {
            return line.find("r=51,51") != std::string::npos ||
                   line.find("radii=(51,51)") != std::string::npos;
        });
        if (c.badgeArc) {
            EXPECT_EQ(arcs, 1);
            EXPECT_NE(std::find(lines.begin(), lines.end(), c.badgeArc), lines.end());
        } else {
            EXPECT_EQ(arcs, 0);
        }
        // No current element: no filled badge, no label, a white value disc.
        EXPECT_EQ(lines[1], "FillEllipse centre=(460,460) radii=(110,110) brush=(1,1,1,1)");
        EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                                [](const std::string& line) {
                                    return line.rfind("FillRoundedRectangle", 0) == 0 ||
                                           (line.rfind("FillGeometry", 0) == 0 &&
                                            line.find("radii=(56,56)") != std::string::npos);
                                }),
                  0);
    }
}

TEST_F(GroupOverlayTest, ColoursComeFromTheRangeWithTheItemsHue) {
    std::uint8_t r, g, b;
    const Corvanta::SaturationColourRangeAttribute ramp;
    struct Case {
        const char* name;
        bool saturation;
        std::optional<std::uint32_t> colour;
        double hue;  // what GetRGB is asked with
    };
    const Case cases[] = {
        {"saturation without an item colour: hue 1", true, std::nullopt, 1.0},
        {"a grey item: hue 0", true, 0x808080u, 0.0},
        {"green: a third", true, 0x00FF00u, 1.0 / 3.0},
        {"blue: two thirds", true, 0xFF0000u, 2.0 / 3.0},
        {"magenta: five sixths", true, 0xFF00FFu, 5.0 / 6.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        detail::GroupItem item;
        item.normalised = 0.4;
        item.colourRange = MakeCounted<Corvanta::SaturationColourRangeAttribute>();
        if (c.colour) {
            item.colour = MakeCounted<ColourAttribute>(*c.colour);
        }
        ramp.GetRGB(c.hue, 0.4, r, g, b);
        draw::ColourF colour;
        ASSERT_TRUE(detail::GroupDialOverlay::GetItemColour(item, &colour));
        EXPECT_EQ(colour, (draw::ColourF{r / 255.0f, g / 255.0f, b / 255.0f, 1}));
    }
    // Another range is asked through its own lookup; no range, no colour.
    detail::GroupItem item;
    item.normalised = 0.5;
    draw::ColourF colour;
    EXPECT_FALSE(detail::GroupDialOverlay::GetItemColour(item, &colour));
    item.colourRange = MakeCounted<Corvanta::ColourRangeAttribute>(0x000000u, 0x0000FFu);
    ASSERT_TRUE(detail::GroupDialOverlay::GetItemColour(item, &colour));
    item.colourRange->GetColour(0.5, r, g, b);
    EXPECT_EQ(colour, (draw::ColourF{r / 255.0f, g / 255.0f, b / 255.0f, 1}));
}

TEST_F(GroupOverlayTest, AColourRangeThatKeepsGreyKeepsTheBadgeGrey) {
    auto kept = With<Corvanta::ColourRangeAttribute>(Element("kept", "Kept", 0.5), 0x0000FFu,
                                                     0x0000FFu, true);
    Prepare({Counted<Reflected>(kept), Counted<Reflected>(lightness)},
            Counted<Reflected>(lightness));
    const auto lines = Frame();
    EXPECT_NE(std::find(lines.begin(), lines.end(),
                        "DrawGeometry ellipse{(529.002,263.779) radii=(56,56)} "
                        "brush=(0.301961,0.301961,0.301961,1) width=20"),
              lines.end());
}

TEST_F(GroupOverlayTest, OffTheScreenOneDiscWithNameValueAndUnit) {
    Prepare(Elements(), Counted<Reflected>(hue), false, {0, 0, 382, 382});
    std::uint8_t r, g, b;
    Corvanta::ColourRangeAttribute(0x0000FFu, 0xFF0000u).GetColour(0.25, r, g, b);
    const std::vector<std::string> expected = {
        "FillEllipse centre=(191,191) radii=(191,191) brush=(0,0,0,1)",
        "FillEllipse centre=(191,191) radii=(171,171) brush=" + Colour(r, g, b),
        "FillEllipse centre=(191,191) radii=(95.5,95.5) brush=(0,0,0,1)",
        // "Hue:\n90 " is two lines, the longer 4 units: 48 by 60.
        "DrawText \"Hue:\n90 \" rect=(167,161,215,221) size=24 brush=(1,1,1,1)",
        "DrawGeometry path{filled (191,30) arc(352,191 r=161,161 rot=0 cw small) open} "
        "brush=(1,1,1,1) width=20",
    };
    EXPECT_EQ(Frame(), expected);

    // Without a current element, or without a size, nothing at all.
    overlay.SetCurrent({});
    EXPECT_TRUE(Frame().empty());
    overlay.SetCurrent(Counted<Reflected>(hue));
    overlay.SetLayout(kWindow, {0, 0, 0, 382});
    EXPECT_TRUE(Frame().empty());
}

TEST_F(GroupOverlayTest, ANameStartingWithAWideCharacterShowsThatWholeCharacter) {
    auto accented = Element("acce", "\xC3\x84hnlichkeit", 0.5);  // Ä
    auto emoji = Element("emoj", "\xF0\x9F\x8E\xA8 Palette", 0.5);
    Prepare({Counted<Reflected>(accented), Counted<Reflected>(emoji), Counted<Reflected>(hue)},
            Counted<Reflected>(hue));
    const auto lines = Frame();
    EXPECT_NE(std::find_if(lines.begin(), lines.end(),
                           [](const std::string& l) {
                               return l.rfind("DrawText \"\xC3\x84\" rect=(523.002,", 0) == 0;
                           }),
              lines.end());
    // Two UTF-16 units, so twice as wide.
    EXPECT_NE(std::find_if(lines.begin(), lines.end(),
                           [](const std::string& l) {
                               return l.rfind("DrawText \"\xF0\x9F\x8E\xA8\" rect=(617.623,", 0) ==
                                      0;
                           }),
              lines.end());
}

TEST_F(GroupOverlayTest, CachesWhatDoesNotChangeAndMakesTheRestEveryFrame) {
    Prepare(Elements(), Counted<Reflected>(saturation));
    const int circles = setup.factory->ellipses;
    EXPECT_EQ(circles, 3) << "one hit circle per element, made by the layout";
    Frame();
    const int formats = setup.text->formats;
    EXPECT_EQ(formats, 2) << "the 24- and the 20-pixel format";
    for (int frame = 0; frame < 3; ++frame) {
        SCOPED_TRACE(frame);
        setup.context->ResetBrushCount();
        const int paths = setup.factory->paths;
        const int styles = setup.factory->strokeStyles;
        const int layouts = setup.text->layouts;
        Frame();
        // Three badge brushes; black, white, grey and the value colour are kept.
        EXPECT_EQ(setup.context->BrushesMade(), 3);
        // The track and three value arcs, one stroke style.
        EXPECT_EQ(setup.factory->paths - paths, 4);
        EXPECT_EQ(setup.factory->strokeStyles - styles, 1);
        EXPECT_EQ(setup.factory->ellipses, circles) << "the hit circles are not rebuilt";
        // Two initials, the value and unit, and the label.
        EXPECT_EQ(setup.text->layouts - layouts, 5);
        EXPECT_EQ(setup.text->formats, formats);
    }
    // A new current element releases the value brush: the next frame makes it in its colour.
    overlay.SetCurrent(Counted<Reflected>(lightness));
    setup.context->ResetBrushCount();
    const auto lines = Frame();
    EXPECT_EQ(setup.context->BrushesMade(), 4);
    EXPECT_EQ(lines[1], "FillEllipse centre=(460,460) radii=(110,110) brush=(0.25,0.25,0.25,1)");
}

TEST_F(GroupOverlayTest, RecordsAreBuiltWhenSomethingChangesNeverPerFrame) {
    Prepare(Elements(), Counted<Reflected>(saturation));
    auto reads = [&] {
        return std::vector<int>{hue->nameReads, saturation->nameReads, lightness->nameReads};
    };
    EXPECT_EQ(reads(), (std::vector<int>{1, 1, 1}));
    for (int i = 0; i < 5; ++i) {
        Frame();
    }
    overlay.SetContact(false);
    Frame();
    EXPECT_EQ(reads(), (std::vector<int>{1, 1, 1})) << "frames only copy the records";

    // The tool changed: only the current element's record is rebuilt, with its new value.
    saturation->SetValue(0.75, false);
    overlay.OnToolChanged(tool);
    EXPECT_EQ(reads(), (std::vector<int>{1, 2, 1}));
    EXPECT_EQ(overlay.GetRecord(FourCC("satu"))->valueText, "0.75");

    // A fresh instance of an element replaces it and gets a record of its own.
    auto freshHue = Element("hue ", "Hue", 180, 0, 360);
    overlay.OnItemRefreshed(tool, Counted<Reflected>(freshHue));
    EXPECT_EQ(freshHue->nameReads, 1);
    EXPECT_EQ(overlay.GetRecord(FourCC("hue "))->value, 180);
    EXPECT_EQ(overlay.GetCurrent(), Counted<Reflected>(saturation)) << "not the current one";
    // An item that is not among the elements changes nothing.
    auto stranger = Element("strn", "Stranger", 1);
    overlay.OnItemRefreshed(tool, Counted<Reflected>(stranger));
    EXPECT_EQ(stranger->nameReads, 0);
    EXPECT_FALSE(overlay.GetRecord(FourCC("strn")));
    overlay.OnItemRefreshed(tool, {});
}

}  // namespace
}  // namespace Quarn::WinRT::testing
