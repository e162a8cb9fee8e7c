// Turning the dial: what each kind of current item does, and what reaches the host when.
#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

#include "bindings/kernel/format.h"
#include "dial/history_cache.h"
#include "dial/notifications_sent.h"
#include "dial/range_access.h"
#include "items/item_lookup.h"
#include "tests/dial/dial_fixture.h"

namespace Quarn::WinRT::testing {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();

class RotationTest : public DialTest {
protected:
    // The writes since the last Clear, as "value/flag".
    std::vector<std::string> Writes() {
        std::vector<std::string> writes;
        for (const auto& e : host.ValueWrites()) {
            writes.push_back(e.text + (e.flag ? "/true" : "/false"));
        }
        return writes;
    }
    static Counted<Reflected> Angle(const char (&id)[5], const char* name, double value,
                                    double minimum, double maximum) {
        return With<Kernel::ValueTypeAttribute>(
            MakeCounted<Kernel::ReflectedUnitRange>(FourCC(id), name, Kernel::UnitTypes::Degrees,
                                                    value, minimum, maximum),
            Kernel::UserUnitKind::Angle, true, Kernel::UnitTypes::Degrees);
    }
};

// One slow turn of each kind of range, and the haptics after it. A range the host gives upside
// down (minimum above maximum) clamps the same way on every path: above the maximum is the
// maximum. A north value turns the haptics on at the bounds, unless it is the bound itself.
TEST_F(RotationTest, OneTurnOfEachKindOfRange) {
    const auto north =
        With<Corvanta::DialNorthValueAttribute>(DoubleItem("nrth", "North", 170, 0, 180), 90.0);
    const struct {
        Counted<Reflected> item;
        double degrees, value;
        bool haptics = false;
    } turns[] = {
        {With<SensitivityAttribute>(DoubleItem("flow", "Flow", 50, 0, 100), 0.5), 36, 60},
        {With<Corvanta::NonLinearRangeAttribute>(DoubleItem("curv", "Curve", 0, 0, 100), 2.0), 90,
         25},                                           // dial angle 0 + 90: position 0.5, squared
        {IntItem("spac", "Spacing", 3, 0, 100), 1, 4},  // at least a whole step
        {MakeCounted<Kernel::ReflectedRangeT<float>>(FourCC("opac"), "Opacity", 50.0f, 0.0f,
                                                     100.0f),
         18, 60},
        {Angle("ang ", "Angle", 30, 90, -90), 10, -90},
        {DoubleItem("pln ", "Plain", 30, 90, -90), 10, -90},
        {north, 20, 180, true},
        {north, -20, 160, false},
        {With<Corvanta::DialNorthValueAttribute>(DoubleItem("nmin", "Low", 5, 0, 10), 0.0), -1000,
         0, false},
    };
    std::vector<Counted<Reflected>> items;
    for (const auto& turn : turns) {
        if (std::find(items.begin(), items.end(), turn.item) == items.end()) {
            items.push_back(turn.item);
        }
    }
    Use(items);
    for (const auto& turn : turns) {
        const std::string name(turn.item->GetName().ToString().GetView());
        SCOPED_TRACE(name);
        Choose(name);
        platform.Advance(100);
        platform.Wheel().Rotate(turn.degrees);
        EXPECT_DOUBLE_EQ(detail::GetRangeValue(turn.item, {}), turn.value);
        EXPECT_EQ(Controller().UseAutomaticHapticFeedback(), turn.haptics);
    }
}

// The commit timer writes the turn's value into whichever range item is current by then: into a
// float item, a value beyond float's range arrives as float's bound, never as an infinity.
TEST(RangeWriteTest, AFloatItemTakesAValueBeyondFloatAsFloatsBound) {
    constexpr double kFloatMax = std::numeric_limits<float>::max();
    const auto item = MakeCounted<Kernel::ReflectedRangeT<float>>(
        FourCC("opac"), "Opacity", 0.0f, std::numeric_limits<float>::lowest(),
        std::numeric_limits<float>::max());
    for (const double value : {-1e300, 1e300}) {
        detail::SetRangeValue(item, false, {}, value);
        EXPECT_EQ(detail::GetRangeValue(item, {}), std::copysign(kFloatMax, value));
    }
}

TEST_F(RotationTest, HistoryStepsAtLeastOneEntryAndStopsAtTheEnds) {
    for (int i = 4; i <= 10; ++i) {
        document->GetHistory()->Push(Kernel::LocalisedString(Kernel::Format8("Step %1", i)));
    }
    struct Case {
        int position;
        double degrees;
        int expectedPosition;
    };
    const Case cases[] = {
        {10, 6, 10},              // forward at the end changes nothing
        {10, -6, 9}, {0, -6, 0},  // back at the start is refused
        {0, 6, 1},   {5, 0, 4},   // zero counts as backward
    };
    auto history = HistoryItem();
    Use({history}, "History");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.position + c.degrees);
        document->GetHistory()->SetIndex(c.position - 1);
        Choose("History");
        platform.Advance(100);
        platform.Wheel().Rotate(c.degrees);
        EXPECT_EQ(document->GetHistory()->GetPosition(), c.expectedPosition);
        if (c.expectedPosition != c.position) {  // the overlay's label follows
            EXPECT_EQ(
                detail::FindAttribute<detail::DocumentHistoryCacheAttribute>(*history)->position,
                c.expectedPosition);
        }
    }
    EXPECT_TRUE(NotificationsOf<ToolParametersChangedNotification>().empty());
}

TEST_F(RotationTest, BlendModesWrapBothWays) {
    using Entry = Kernel::ReflectedRasterBlendMode::Entry;
    auto blend = MakeCounted<Kernel::ReflectedRasterBlendMode>(
        FourCC("blnd"), "Blend", std::vector<Entry>{{0, "Normal"}, {3, "Multiply"}, {9, "Screen"}},
        0);
    auto none = MakeCounted<Kernel::ReflectedRasterBlendMode>(FourCC("none"), "None",
                                                              std::vector<Entry>{}, 0);
    Use({blend, none}, "Blend");
    platform.Wheel().Rotate(-10);
    platform.Wheel().Rotate(10);
    platform.Wheel().Rotate(0);  // no turn counts as a turn back
    Choose("None");
    platform.Wheel().Rotate(10);  // no modes: nothing to write
    EXPECT_EQ(Writes(),
              (std::vector<std::string>{"2 Screen/false", "0 Normal/false", "2 Screen/false"}));
}

TEST_F(RotationTest, ViewRotationIsRequestedInRawDegreesWithThePivotInView) {
    Use({RotateItem()}, "Rotate");
    platform.Advance(100);
    platform.Wheel().Rotate(2.5);
    platform.Wheel().ContactStart(platform::Rect{200, 100, 60, 60});
    platform.Wheel().Rotate(-1);
    const auto requests = NotificationsOf<Corvanta::RecommendViewRotationNotification>();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0]->angle, 2.5);
    EXPECT_FALSE(requests[0]->hasPivot);
    EXPECT_FALSE(requests[0]->RequiredForPreviewing());
    EXPECT_EQ(requests[1]->angle, -1.0);
    ASSERT_TRUE(requests[1]->hasPivot);
    // The window's screen origin (100, 50) plus the contact's centre (230, 130), mapped.
    EXPECT_EQ(requests[1]->pivot, (Kernel::PointT<double>{230.0, 130.0}));
}

// A turn that is not finite, from the device or through a sensitivity factor, changes nothing:
// no value, history step, blend mode or view rotation reaches the host, and the dial angle
// keeps its value for the next turn.
TEST_F(RotationTest, NonFiniteTurnsChangeNothing) {
    using Entry = Kernel::ReflectedRasterBlendMode::Entry;
    auto curve =
        With<Corvanta::NonLinearRangeAttribute>(DoubleItem("curv", "Curve", 0, 0, 100), 2.0);
    auto steep = With<SensitivityAttribute>(
        With<Corvanta::NonLinearRangeAttribute>(DoubleItem("stp ", "Steep", 0, 0, 100), 2.0),
        1e308);
    auto wild = With<SensitivityAttribute>(
        Counted<Reflected>(MakeCounted<Corvanta::ViewRotationReflected>(FourCC("wild"), "Wild")),
        1e308);
    auto blend = MakeCounted<Kernel::ReflectedRasterBlendMode>(
        FourCC("blnd"), "Blend", std::vector<Entry>{{0, "Normal"}, {3, "Multiply"}}, 0);
    Use({curve, steep, RotateItem(), wild, HistoryItem(), blend}, "Curve");
    const std::pair<const char*, double> cases[] = {
        {"Curve", kNaN},   {"Curve", kInfinity},   {"Steep", 10.0},
        {"Rotate", kNaN},  {"Rotate", -kInfinity}, {"Wild", 10.0},
        {"History", kNaN}, {"Blend", kNaN},        {"Blend", kInfinity},
    };
    for (const auto& [item, degrees] : cases) {
        SCOPED_TRACE(std::string(item) + " turned by " + std::to_string(degrees));
        Choose(item);
        const double angle = dial->GetDialAngle();
        const int position = document->GetHistory()->GetPosition();
        host.Clear();
        platform.Advance(100);
        EXPECT_EQ(platform.Wheel().Rotate(degrees), std::vector<std::int32_t>{1});
        EXPECT_TRUE(host.Events().empty());
        EXPECT_EQ(dial->GetDialAngle(), angle);
        EXPECT_EQ(document->GetHistory()->GetPosition(), position);
    }
    // A finite turn that takes the dial angle past the largest double is dropped alike.
    Choose("Steep");
    platform.Wheel().Rotate(1.5);
    const double angle = dial->GetDialAngle();
    host.Clear();
    platform.Wheel().Rotate(1.5);
    EXPECT_TRUE(host.Events().empty());
    EXPECT_EQ(dial->GetDialAngle(), angle);
    // The non-linear item's angle was kept: a quarter turn lands where it would have anyway.
    Choose("Curve");
    platform.Wheel().Rotate(kNaN);
    platform.Advance(100);
    platform.Wheel().Rotate(90);
    EXPECT_DOUBLE_EQ(detail::GetRangeValue(curve, {}), 25.0);
}

}  // namespace
}  // namespace Quarn::WinRT::testing
