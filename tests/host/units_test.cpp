#include "bindings/kernel/units.h"

#include <gtest/gtest.h>

#include <limits>
#include <numbers>
#include <string>
#include <string_view>

#include "bindings/kernel/reflected.h"

namespace {

using Kernel::Counted;
using Kernel::UnitCategory;
using Kernel::UnitValue;
namespace Types = Kernel::UnitTypes;

TEST(UnitValueTest, Categories) {
    EXPECT_EQ(static_cast<int>(UnitValue::GetUnitTypeCategory(Types::Degrees)), 1);
    const std::pair<Kernel::UnitType, UnitCategory> cases[] = {
        {0, UnitCategory::None},
        {28, UnitCategory::Number},
        {Types::Radians, UnitCategory::Angle},
        {Types::Millimetres, UnitCategory::Length},
        {Types::Percent, UnitCategory::Proportion},
        {-5, UnitCategory::None},
        {9999, UnitCategory::None},
    };
    for (const auto& [type, category] : cases) {
        EXPECT_EQ(UnitValue::GetUnitTypeCategory(type), category) << type;
    }
}

TEST(UnitValueTest, ConvertRoundTripsAndLeavesOtherCategoriesAlone) {
    for (const double dpi : {72.0, 96.0, 300.0}) {
        const double mm = UnitValue::Convert(150.0, Types::Pixels, Types::Millimetres, dpi);
        EXPECT_DOUBLE_EQ(mm, 150.0 * 25.4 / dpi) << dpi;
        EXPECT_DOUBLE_EQ(UnitValue::Convert(mm, Types::Millimetres, Types::Pixels, dpi), 150.0);
        EXPECT_DOUBLE_EQ(UnitValue::Convert(mm, Types::Millimetres, Types::Inches, dpi),
                         150.0 / dpi);
    }
    EXPECT_DOUBLE_EQ(UnitValue::Convert(180.0, Types::Degrees, Types::Radians), std::numbers::pi);
    EXPECT_DOUBLE_EQ(UnitValue::Convert(1.5, Types::Seconds, Types::Milliseconds), 1500.0);

    constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
    const struct {
        Kernel::UnitType from;
        Kernel::UnitType to;
        double dpi;
    } identities[] = {
        {Types::Pixels, Types::Degrees, 72.0},  // different categories
        {9999, Types::None, 72.0},              // unknown types
        {Types::None, 9999, 72.0},
        {9998, 9999, 72.0},
        {Types::Pixels, Types::Millimetres, 0.0},  // no usable resolution
        {Types::Pixels, Types::Millimetres, -72.0},
        {Types::Pixels, Types::Millimetres, kNaN},
    };
    for (const auto& c : identities) {
        EXPECT_EQ(UnitValue::Convert(12.5, c.from, c.to, c.dpi), 12.5) << c.from << "->" << c.to;
    }
}

TEST(UnitValueTest, ValueAsString) {
    struct Case {
        double value;
        Kernel::UnitType type;
        int decimals;
        bool withUnit;
        bool grouping;
        bool trim;
        std::string_view expected;
    };
    const Case cases[] = {
        {1234.5, Types::Pixels, 2, true, true, true, "1,234.5 px"},
        {1234.5, Types::Pixels, 2, false, false, false, "1234.50"},
        {100.0, Types::Pixels, 2, false, false, true, "100"},
        {100.0, Types::Pixels, 0, false, false, true, "100"},  // no point: zeros are digits
        {-1234567.25, Types::Pixels, 2, false, true, false, "-1,234,567.25"},
        {-123.0, Types::Pixels, 0, false, true, false, "-123"},
        {-0.001, Types::Pixels, 2, false, false, true, "0"},
        {12.0, Types::Degrees, 1, true, false, false, "12.0 \xC2\xB0"},
        {3.0, Types::Number, 2, true, false, true, "3"},  // a plain number has no unit name
        {5.0, 9999, 1, true, false, false, "5.0"},
    };
    for (const Case& c : cases) {
        const UnitValue value(c.value, c.type);
        EXPECT_EQ(std::string(
                      value.GetValueAsString(c.decimals, c.withUnit, c.grouping, c.trim).GetView()),
                  c.expected)
            << c.value;
    }
}

TEST(ReflectedUnitRangeTest, ReadsAndWritesInTheDisplayUnit) {
    const Counted<const Kernel::UserUnits> units =
        Kernel::MakeCounted<const Kernel::UserUnits>(Types::Millimetres, Types::Degrees, 72.0);
    struct Case {
        bool withAttribute;
        bool unitTypeSet;
        Kernel::UnitType fixedType;
        bool withUnits;
        Kernel::UnitType displayUnit;
        double displayValue;  // of 72 px
    };
    const Case cases[] = {
        {false, false, 0, true, Types::Pixels, 72.0},
        {true, false, Types::Inches, true, Types::Millimetres, 25.4},  // the user's length unit
        {true, true, Types::Inches, true, Types::Inches, 1.0},         // fixed by the attribute
        {true, false, 0, false, Types::Pixels, 72.0},                  // no user units given
    };
    for (const Case& c : cases) {
        Kernel::ReflectedUnitRange item(Kernel::FourCC("Sz  "), "Size", Types::Pixels, 72.0, 0.0,
                                        720.0);
        if (c.withAttribute) {
            item.AppendAttribute(Kernel::MakeCounted<Kernel::ValueTypeAttribute>(
                Kernel::UserUnitKind::Length, c.unitTypeSet, c.fixedType));
        }
        const Counted<const Kernel::UserUnits> given = c.withUnits ? units : nullptr;
        EXPECT_EQ(item.GetDisplayUnit(given), c.displayUnit);
        EXPECT_DOUBLE_EQ(item.GetValue(given), c.displayValue);
        EXPECT_DOUBLE_EQ(item.GetMaximum(given), 10.0 * c.displayValue);
        EXPECT_DOUBLE_EQ(item.GetMinimum(given), 0.0);

        item.SetValue(false, given, 2.0 * c.displayValue);
        EXPECT_DOUBLE_EQ(item.GetValue(given), 2.0 * c.displayValue);
        EXPECT_DOUBLE_EQ(item.GetValue(nullptr), c.unitTypeSet ? 2.0 : 144.0);
    }
}

}  // namespace
