// The group overlay's records, ring geometry, input and lock order.
#include <cmath>
#include <mutex>
#include <numbers>

#include "bindings/corvanta/group.h"
#include "overlay/create_overlay.h"
#include "overlay/overlay_lock.h"
#include "overlay/ring_geometry.h"
#include "tests/overlay/group_fixture.h"

namespace Quarn::WinRT::testing {
namespace {

double Distance(draw::Point2F a, draw::Point2F b) {
    return std::hypot(static_cast<double>(a.x) - b.x, static_cast<double>(a.y) - b.y);
}

TEST(RingGeometryTest, BadgesStartOneShortChordFromTheTopAndStepByALongOne) {
    for (float width : {0.0f, 60.0f, 120.0f, 382.0f}) {
        SCOPED_TRACE(width);
        const detail::RingGeometry ring({300, 200}, width);
        EXPECT_DOUBLE_EQ(ring.valueRadius, width * 0.5 + 50);
        EXPECT_DOUBLE_EQ(ring.ringRadius, width * 0.5 + 148);
        const draw::Point2F top{300, static_cast<float>(200 - ring.ringRadius)};
        EXPECT_NEAR(Distance(top, ring.ElementCentre(0)), 70, 1e-3);
        EXPECT_GT(ring.ElementCentre(0).x, 300) << "clockwise from the top";
        for (std::size_t i = 0; i < 12; ++i) {
            EXPECT_NEAR(Distance(ring.ElementCentre(i), {300, 200}), ring.ringRadius, 1e-3);
            EXPECT_NEAR(Distance(ring.ElementCentre(i), ring.ElementCentre(i + 1)), 126, 1e-3);
        }
    }
}

TEST(RingGeometryTest, TheLabelGoesFiveDegreesPastTheNextBadgeButNeverAboveTheRight) {
    const detail::RingGeometry ring({460, 460}, 120);
    struct Case {
        std::size_t count;
        double angle;
    };
    const double fiveDegrees = 5 * std::numbers::pi / 180;
    for (const Case& c :
         {Case{0, 0.0}, Case{1, 0.0}, Case{2, ring.firstAngle + 2 * ring.step + fiveDegrees},
          Case{6, ring.firstAngle + 6 * ring.step + fiveDegrees}}) {
        SCOPED_TRACE(c.count);
        const draw::Point2F anchor = ring.LabelAnchor(c.count);
        EXPECT_NEAR(anchor.x, 460 + 138 * std::cos(c.angle), 1e-3);
        EXPECT_NEAR(anchor.y, 460 + 138 * std::sin(c.angle), 1e-3);
    }
    EXPECT_LT(ring.firstAngle + 1 * ring.step + fiveDegrees, 0) << "one is clamped";
    EXPECT_GT(ring.firstAngle + 2 * ring.step + fiveDegrees, 0) << "two already pass it";
}

TEST_F(GroupOverlayTest, RecordsReadRangesUnitsPrecisionCurvesAndBlendModes) {
    Counted<const Kernel::UserUnits> millimetres = MakeCounted<Kernel::UserUnits>(
        Kernel::UnitTypes::Millimetres, Kernel::UnitTypes::Degrees, 72.0);
    tool->SetUserUnits(millimetres);
    struct Case {
        const char* name;
        Counted<Reflected> element;
        double value, normalised, north;
        const char* valueText;
        const char* unitText;
    };
    auto percent = MakeCounted<Kernel::ReflectedUnitRange>(FourCC("pct "), "Opacity",
                                                           Kernel::UnitTypes::Percent, 0.42, 0, 1);
    percent->AppendAttribute(MakeCounted<Kernel::ValueTypeAttribute>(
        Kernel::UserUnitKind::Length, true, Kernel::UnitTypes::Percent));
    auto length = MakeCounted<Kernel::ReflectedUnitRange>(
        FourCC("len "), "Width", Kernel::UnitTypes::Millimetres, 12.3456, 0, 100);
    length->AppendAttribute(MakeCounted<Kernel::ValueTypeAttribute>(
        Kernel::UserUnitKind::Length, false, Kernel::UnitTypes::None));
    auto precise = With<PrecisionAttribute>(Element("prec", "Flow", 0.123456), 3);
    auto curved = With<Corvanta::NonLinearRangeAttribute>(Element("curv", "Size", 25, 0, 100), 2.0);
    auto north = With<Corvanta::DialNorthValueAttribute>(Element("nrth", "Tilt", 10, -90, 90), 5.0);
    auto blend = MakeCounted<Kernel::ReflectedRasterBlendMode>(
        FourCC("blnd"), "Blend",
        std::vector<Kernel::ReflectedRasterBlendMode::Entry>{{0, "Normal"}, {7, "Screen"}}, 1);
    auto lostBlend = MakeCounted<Kernel::ReflectedRasterBlendMode>(
        FourCC("blnl"), "Blend",
        std::vector<Kernel::ReflectedRasterBlendMode::Entry>{{0, "Normal"}}, 5);
    auto plain = MakeCounted<Reflected>(FourCC("plan"), "Plain");
    const Case cases[] = {
        {"a 0-to-1 percentage reads as 0 to 100", percent, 0.42, 0.42, 0, "42", "%"},
        {"the user's length unit and its decimals", length, 12.3456, 0.123456, 0, "12.35", "mm"},
        {"the precision attribute overrides the unit's decimals", precise, 0.123456, 0.123456, 0,
         "0.123", ""},
        {"a curve places the value by its inverse", curved, 25, 0.5, 0, "25", ""},
        {"north from its attribute", north, 10, 100.0 / 180.0, 5, "10", ""},
        {"a blend mode found: value 0 and its name", blend, 0, 0, 0, "Screen", ""},
        {"a blend mode not in the list: -1 and no text", lostBlend, -1, -1, 0, "", ""},
        {"anything else: identifier and name only", plain, 0, 0, 0, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto item = detail::GroupDialOverlay::BuildItem(c.element, tool);
        EXPECT_EQ(item->id, c.element->GetIdentifier());
        EXPECT_EQ(item->name, c.element->GetName().ToString());
        EXPECT_DOUBLE_EQ(item->value, c.value);
        EXPECT_NEAR(item->normalised, c.normalised, 1e-12);
        EXPECT_DOUBLE_EQ(item->north, c.north);
        EXPECT_EQ(item->valueText, c.valueText);
        EXPECT_EQ(item->unitText, c.unitText);
    }
    const auto blendItem = detail::GroupDialOverlay::BuildItem(blend, tool);
    EXPECT_EQ(blendItem->maximum, 2);
    EXPECT_EQ(detail::GroupDialOverlay::ValueArcAngles(*blendItem).end, 0) << "never an arc";
}

TEST_F(GroupOverlayTest, WindowIsTheContactGrownBy400OnTheScreenAndTheContactOffIt) {
    const detail::OverlayRect contact{10.5f, -20, 120, 100};
    EXPECT_EQ(overlay.ComputeWindowRect(contact), contact);
    overlay.SetContact(true);
    EXPECT_EQ(overlay.ComputeWindowRect(contact), (detail::OverlayRect{-389.5f, -420, 920, 900}));
}

TEST_F(GroupOverlayTest, APressOnABadgeAndAReleaseAnywhereSelectsIt) {
    Prepare(Elements(), Counted<Reflected>(saturation));
    // Centres: Hue (529, 264), Saturation (630, 340), Lightness (668, 460); radius 56.
    struct Case {
        const char* name;
        int x, y;
        bool claimed;
    };
    const Case cases[] = {
        {"Hue's centre", 529, 264, true},
        {"inside Lightness's edge", 668 + 55, 460, true},
        {"just outside it", 668 + 58, 460, false},
        {"the puck's centre", 460, 460, false},
        {"between two badges, on the track", 600, 290, false},
        {"far away", 5, 5, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(overlay.HitTest(c.x, c.y), c.claimed);
    }
    // A release with no press selects nothing; so does a press that hit nothing.
    overlay.OnLeftButtonUp(529, 264, nullptr);
    overlay.OnLeftButtonDown(460, 460, nullptr);
    overlay.OnLeftButtonUp(460, 460, nullptr);
    EXPECT_EQ(overlay.GetCurrent(), Counted<Reflected>(saturation));

    overlay.OnLeftButtonDown(529, 264, nullptr);
    EXPECT_EQ(overlay.GetCurrent(), Counted<Reflected>(saturation)) << "only the release selects";
    overlay.OnLeftButtonUp(5, 5, nullptr);
    EXPECT_EQ(overlay.GetCurrent(), Counted<Reflected>(hue));
    overlay.SetCurrent(Counted<Reflected>(saturation));
    overlay.OnLeftButtonUp(529, 264, nullptr);
    EXPECT_EQ(overlay.GetCurrent(), Counted<Reflected>(saturation)) << "a press counts once";
    overlay.SetVisible(false);
    EXPECT_FALSE(overlay.HitTest(529, 264)) << "a hidden ring claims nothing";
}

TEST_F(GroupOverlayTest, NothingIsHitBeforeTheFirstLayout) {
    overlay.SetItems(tool, Elements(), Counted<Reflected>(hue));
    overlay.SetFactory(Ref<draw::Factory>(setup.factory.Get()));
    EXPECT_FALSE(overlay.HitTest(0, 0));
    overlay.OnLeftButtonDown(0, 0, nullptr);
    overlay.OnLeftButtonUp(0, 0, nullptr);
    EXPECT_EQ(overlay.GetCurrent(), Counted<Reflected>(hue));
}

TEST_F(GroupOverlayTest, TheButtonStepsToTheNextElementAndWraps) {
    Prepare(Elements(), Counted<Reflected>(hue));
    struct Case {
        Counted<Reflected> dialCurrent;
        Counted<Reflected> next;
    };
    const Case cases[] = {
        {Counted<Reflected>(hue), Counted<Reflected>(saturation)},
        {Counted<Reflected>(saturation), Counted<Reflected>(lightness)},
        {Counted<Reflected>(lightness), Counted<Reflected>(hue)},
        {Element("othr", "Other", 0), Counted<Reflected>(hue)},
        {{}, Counted<Reflected>(hue)},
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(overlay.OnButtonClicked(c.dialCurrent, nullptr));
        EXPECT_EQ(overlay.GetCurrent(), c.next);
    }
    detail::GroupDialOverlay empty;
    empty.SetItems(tool, {}, {});
    EXPECT_FALSE(empty.OnButtonClicked(Counted<Reflected>(hue), nullptr));
    empty.SetFactory(Ref<draw::Factory>(setup.factory.Get()));
    empty.SetContact(true);
    empty.SetLayout(kWindow, kContact);
    EXPECT_FALSE(empty.HitTest(529, 264));
    EXPECT_TRUE(setup.Frame(empty).empty()) << "no elements: nothing drawn";
}

TEST_F(GroupOverlayTest, CreateOverlayMakesTheLibrarysOwnKinds) {
    auto group = MakeCounted<Corvanta::ReflectedGroup>(FourCC("grp "), "Colour", Elements());
    group->AppendAttribute(MakeCounted<Corvanta::CurrentElementAttribute>(FourCC("ligh")));
    const auto made = detail::CreateOverlay(tool, group);
    auto* groupOverlay = dynamic_cast<detail::GroupDialOverlay*>(made.get());
    ASSERT_NE(groupOverlay, nullptr);
    EXPECT_EQ(groupOverlay->GetElementCount(), 3u);
    EXPECT_EQ(groupOverlay->GetCurrent(), Counted<Reflected>(lightness));
}

TEST(OverlayLockTest, TakingTheLocksOutOfOrderIsCounted) {
    detail::OverlayLock items(detail::OverlayLockRank::Items);
    detail::OverlayLock own(detail::OverlayLockRank::Overlay);
    detail::OverlayLock hit(detail::OverlayLockRank::Hit);
    detail::OverlayLock layout(detail::OverlayLockRank::Layout);
    const auto before = detail::OverlayLockOrderViolations();
    {
        std::scoped_lock inOrder(items);
        std::lock_guard second(own);
        std::lock_guard third(hit);
        std::lock_guard fourth(layout);
    }
    EXPECT_EQ(detail::OverlayLockOrderViolations(), before);
    {
        std::lock_guard first(hit);
        std::lock_guard second(items);
    }
    {
        std::lock_guard first(layout);
        std::lock_guard second(hit);
    }
    EXPECT_EQ(detail::OverlayLockOrderViolations(), before + 2);
    {
        std::lock_guard first(own);
        std::lock_guard second(hit);
    }
    EXPECT_EQ(detail::OverlayLockOrderViolations(), before + 2) << "a later rank is fine";
}

}  // namespace
}  // namespace Quarn::WinRT::testing
