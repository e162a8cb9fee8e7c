// The group overlay's elements, records, ring geometry, input and lock order.
#include <algorithm>
#include <cmath>
#include <mutex>
#include <numbers>

#include "bindings/corvanta/group.h"
#include "items/item_lookup.h"
#include "overlay/create_overlay.h"
#include "overlay/overlay_lock.h"
#include "overlay/ring_geometry.h"
#include "tests/overlay/group_fixture.h"
#include "tests/overlay/test_overlay.h"

namespace Quarn::WinRT::testing {
namespace {

double Distance(draw::Point2F a, draw::Point2F b) {
    return std::hypot(static_cast<double>(a.x) - b.x, static_cast<double>(a.y) - b.y);
}

// Rings of 1 to 16 elements around pucks 0 to 400 wide: the design's radius while the badges
// fit in one turn at its spacing, else the smallest radius at which they do; the first badge a
// 70-pixel chord clockwise from the top, each next one a 126-pixel chord on; no badge on
// another; every centre on the track's centre line, within the track's sweep; the name pill's
// round start clear of every badge; and the window holding the track and that start.
TEST(RingGeometryTest, EveryBadgeSitsOnTheTrackClearOfTheOthersAndOfThePill) {
    const draw::Point2F c{300, 200};
    for (int width = 0; width <= 400; width += 4) {
        for (std::size_t n = 1; n <= 16; ++n) {
            SCOPED_TRACE(::testing::Message() << n << " elements, puck " << width);
            const detail::RingGeometry ring(c, static_cast<float>(width), n);
            const double design = width * 0.5 + 148;
            EXPECT_DOUBLE_EQ(ring.valueRadius, width * 0.5 + 50);
            if (n * 2 * std::asin(63 / design) <= 2 * std::numbers::pi) {
                EXPECT_DOUBLE_EQ(ring.ringRadius, design);
            } else {
                EXPECT_NEAR(static_cast<double>(n) * ring.step, 2 * std::numbers::pi, 1e-9);
            }
            const draw::Point2F top{c.x, static_cast<float>(c.y - ring.ringRadius)};
            EXPECT_NEAR(Distance(top, ring.ElementCentre(0)), 70, 1e-3);
            EXPECT_GT(ring.ElementCentre(0).x, c.x) << "clockwise from the top";
            EXPECT_LT(ring.TrackSweep(), 2 * std::numbers::pi - ring.step + 1e-9);
            const double h = detail::RingGeometry::kLabelLineHeight;
            const draw::Point2F anchor = ring.LabelAnchor();
            const double margin = ring.WindowMargin();
            EXPECT_GE(margin, 400);
            const double reach = width * 0.5 + margin;  // from the centre to the window's edges
            EXPECT_LE(ring.ringRadius + 70, reach) << "the track fits the window";
            EXPECT_LE(anchor.x + 2 * h - c.x, reach) << "so does the pill's start";
            for (std::size_t i = 0; i < n; ++i) {
                const draw::Point2F centre = ring.ElementCentre(i);
                EXPECT_NEAR(Distance(centre, c), ring.ringRadius, 1e-3) << i;
                // Clockwise from the first centre; a hair short of a turn is the first itself.
                const double turned = std::fmod(std::atan2(centre.y - c.y, centre.x - c.x) -
                                                    ring.firstAngle + 4 * std::numbers::pi + 1e-4,
                                                2 * std::numbers::pi) -
                                      1e-4;
                EXPECT_LE(turned, ring.TrackSweep() + 1e-4) << i << " lies beyond the track";
                if (i + 1 < n) {
                    EXPECT_NEAR(Distance(centre, ring.ElementCentre(i + 1)), 126, 1e-3) << i;
                }
                for (std::size_t j = i + 1; j < n; ++j) {
                    EXPECT_GE(Distance(centre, ring.ElementCentre(j)), 112) << i << " and " << j;
                }
                const draw::Point2F nearest{
                    std::clamp(centre.x, anchor.x, static_cast<float>(anchor.x + 2 * h)),
                    std::clamp(centre.y, static_cast<float>(anchor.y - h),
                               static_cast<float>(anchor.y + 2 * h))};
                EXPECT_GE(Distance(centre, nearest), 56) << "the pill begins on badge " << i;
            }
        }
    }
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
    // A badge's initial is the name's whole first character, however many bytes it takes.
    const std::pair<const char*, std::u16string_view> initials[] = {
        {"\xC3\x84hnlich", u"\u00C4"},
        {"\xE2\x82\xAC per litre", u"\u20AC"},
        {"\xF0\x9F\x8E\xA8 Palette", u"\U0001F3A8"}};
    for (const auto& [name, initial] : initials) {
        EXPECT_EQ(detail::GroupDialOverlay::BuildItem(Element("init", name, 0), tool)
                      ->initial16.GetView(),
                  initial);
    }
}

// From an item that is not one of its elements, or none, the button steps to the first element.
TEST_F(GroupOverlayTest, TheButtonStepsFromAnyOtherItemToTheFirstElement) {
    Prepare(Elements(), Counted<Reflected>(lightness));
    for (const auto& other :
         {Counted<Reflected>(Element("othr", "Other", 0)), Counted<Reflected>()}) {
        EXPECT_TRUE(overlay.OnButtonClicked(other, nullptr));
        EXPECT_EQ(overlay.GetCurrent(), Counted<Reflected>(hue));
        overlay.SetCurrent(Counted<Reflected>(lightness));
    }
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

// What the factory handed the last group overlay it made.
std::vector<std::uint32_t> s_shown;
std::uint32_t s_current = 0;

std::unique_ptr<detail::DialOverlay> MakeGroup(Counted<Tool>,
                                               std::vector<Counted<Reflected>> elements,
                                               Counted<Reflected> current) {
    s_shown.clear();
    for (const auto& element : elements) {
        s_shown.push_back(element->GetIdentifier());
    }
    s_current = current ? current->GetIdentifier() : 0;
    return std::make_unique<TestOverlay>();
}

Counted<Reflected> Plain(std::uint32_t id) {
    return MakeCounted<Kernel::ReflectedRangeT<double>>(id, "e", 0.0, 0.0, 1.0);
}

template <class Attribute>
Counted<Reflected> Marked(std::uint32_t id) {
    auto element = Plain(id);
    element->AppendAttribute(MakeCounted<Attribute>());
    return element;
}

class CreateOverlayTest : public ::testing::Test {
protected:
    detail::ScopedOverlayKinds kinds{detail::OverlayKinds{nullptr, &MakeGroup}};
    Counted<DocumentController> document = MakeCounted<DocumentController>();
    Counted<Tool> tool = MakeCounted<Tool>(3, "Brush", document);
};

// The group's current element is stored in an attribute of its own: kept when shown, else the
// first shown element; a second overlay for the same group finds what the first one stored.
TEST_F(CreateOverlayTest, AGroupShowsItsElementsLessThePositionAndButtonOnes) {
    struct Case {
        const char* name;
        bool plainElements;                   // else only position and button elements
        std::optional<std::uint32_t> stored;  // the group's current element attribute, if any
        std::vector<std::uint32_t> shown;
        std::uint32_t current;
        std::optional<std::uint32_t> storedAfter;
    };
    const Case cases[] = {
        {"stored current kept", true, 13, {12, 13}, 13, 13},
        {"stored current removed", true, 11, {12, 13}, 12, 12},
        {"stored current unknown", true, 99, {12, 13}, 12, 12},
        {"no attribute: one is added", true, std::nullopt, {12, 13}, 12, 12},
        {"nothing to show: nothing stored", false, std::nullopt, {}, 0, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<Counted<Reflected>> elements{Marked<Corvanta::DialPositionAttribute>(11),
                                                 Marked<Corvanta::DialButtonAttribute>(14)};
        if (c.plainElements) {
            elements.insert(elements.begin() + 1, Plain(12));
            elements.push_back(Plain(13));
        }
        auto group = MakeCounted<Corvanta::ReflectedGroup>(1, "Group", elements);
        if (c.stored) {
            group->AppendAttribute(MakeCounted<Corvanta::CurrentElementAttribute>(*c.stored));
        }
        for (int overlay = 0; overlay < 2; ++overlay) {
            ASSERT_TRUE(detail::CreateOverlay(tool, group));
            EXPECT_EQ(s_shown, c.shown);
            EXPECT_EQ(s_current, c.current);
            const auto attribute = detail::FindAttribute<Corvanta::CurrentElementAttribute>(*group);
            EXPECT_EQ(attribute ? std::optional(attribute->elementId) : std::nullopt,
                      c.storedAfter);
            EXPECT_EQ(group->GetAttributes().size(), c.storedAfter ? 1u : 0u);
        }
    }
}

}  // namespace
}  // namespace Quarn::WinRT::testing
