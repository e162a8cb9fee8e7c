// Numbers as text, and values in units.
#include "bindings/kernel/format.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <numbers>
#include <string>
#include <string_view>

#include "bindings/kernel/units.h"

namespace {

using Kernel::TEncUtf8;
using Kernel::UnitValue;
namespace Types = Kernel::UnitTypes;

std::string Text(const Kernel::String8& s) {
    return std::string(s.GetView());
}

TEST(AppendFormatTest, PlaceholdersTakeTheirArgumentsAndAnythingElseIsCopied) {
    const std::pair<std::string_view, std::string_view> cases[] = {
        {"%3%2%1 %1", "zyx x"}, {"%4 and %0%a", "%4 and %0%a"}, {"100%", "100%"}, {"%%1", "%x"},
        {"%10", "x0"},
    };
    for (const auto& [format, expected] : cases) {
        Kernel::String8 out("> ");
        Kernel::AppendFormatVT(out, format, "x", Kernel::String8("y"), std::string("z"));
        EXPECT_EQ(Text(out), "> " + std::string(expected)) << format;
    }
    const char* none = nullptr;
    EXPECT_EQ(Text(Kernel::Format8("%1|%2|%3", std::numeric_limits<std::int64_t>::min(),
                                   std::numeric_limits<std::uint64_t>::max(), none)),
              "-9223372036854775808|18446744073709551615|");
    Kernel::String16 wide(u"\u00C9tat: ");
    Kernel::AppendFormatVT(wide, u"%2 \u2192 %1", Kernel::String16(u"\u00E9"), 7);
    EXPECT_EQ(wide, u"\u00C9tat: 7 \u2192 \u00E9");
}

TEST(ToStringTest, SignsGroupingBasesPaddingAndFixedPoint) {
    EXPECT_EQ(Text(Kernel::ToStringT<TEncUtf8>(42, Kernel::kSignAlways, false)), "+42");
    EXPECT_EQ(Text(Kernel::ToStringT<TEncUtf8>(999, Kernel::kSignNegativeOnly, true)), "999");
    EXPECT_EQ(Text(Kernel::ToStringT<TEncUtf8>(0, Kernel::kSignNegativeOnly, false)), "0");
    EXPECT_EQ(Text(Kernel::ToStringT<TEncUtf8>(std::numeric_limits<std::int64_t>::min(),
                                               Kernel::kSignNegativeOnly, true)),
              "-9,223,372,036,854,775,808");
    EXPECT_EQ(Kernel::ToStringT<Kernel::TEncUtf16>(1234, Kernel::kSignAlways, true), u"+1,234");

    struct Base {
        std::uint64_t value;
        int base, width, pad;
        std::string_view expected;
    };
    const Base bases[] = {
        {0x7A, 16, 8, Kernel::kPadZeros, "0000007A"},
        {5, 2, 4, Kernel::kPadZeros, "0101"},
        {0x7A, 16, 8, Kernel::kPadBlanks, "      7A"},
        {0x7A, 16, 8, Kernel::kPadNone, "7A"},
        {0x123456789, 16, 8, Kernel::kPadZeros, "123456789"},  // never cut to the width
        {35, 36, 0, Kernel::kPadNone, "Z"},
        {35, 1, 0, Kernel::kPadNone, "35"},  // no such base: decimal
    };
    for (const Base& c : bases) {
        EXPECT_EQ(Text(Kernel::ToStringBase<TEncUtf8>(c.value, c.base, c.width, c.pad)),
                  c.expected);
    }
    // An absurd width is bounded by the longest number there is, 64 binary digits.
    EXPECT_EQ(
        Kernel::ToStringBase<TEncUtf8>(1, 10, std::numeric_limits<int>::max(), Kernel::kPadZeros)
            .Length(),
        64u);

    // Fixed point is checked against the transcript's own writing of numbers; large magnitudes
    // are written in full, not cut at some buffer's end.
    EXPECT_EQ(Text(Kernel::ToStringFixed<TEncUtf8>(-1e300, 15)).size(), 1 + 301 + 1 + 15u);
}

TEST(UnitValueTest, ConvertWithinACategoryOnlyAndWriteAsText) {
    const struct {
        double value;
        Kernel::UnitType from, to;
        double dpi, expected;
    } conversions[] = {
        {150.0, Types::Pixels, Types::Millimetres, 300.0, 12.7},
        {12.7, Types::Millimetres, Types::Inches, 300.0, 0.5},
        {180.0, Types::Degrees, Types::Radians, 72.0, std::numbers::pi},
        {12.5, Types::Pixels, Types::Degrees, 72.0, 12.5},     // different categories
        {12.5, 9998, 9999, 72.0, 12.5},                        // unknown types
        {12.5, Types::Pixels, Types::Millimetres, 0.0, 12.5},  // no usable resolution
        {12.5, Types::Pixels, Types::Millimetres, std::numeric_limits<double>::quiet_NaN(), 12.5},
    };
    for (const auto& c : conversions) {
        EXPECT_NEAR(UnitValue::Convert(c.value, c.from, c.to, c.dpi), c.expected, 1e-12)
            << c.from << "->" << c.to;
    }

    struct Case {
        double value;
        Kernel::UnitType type;
        int decimals;
        bool withUnit, grouping, trim;
        std::string_view expected;
    };
    const Case cases[] = {
        {1234.5, Types::Pixels, 2, true, true, true, "1,234.5 px"},
        {1234.5, Types::Pixels, 2, false, false, false, "1234.50"},
        {-123.0, Types::Pixels, 0, false, true, false, "-123"},
        {100.0, Types::Pixels, 0, false, false, true, "100"},  // no point: zeros are digits
        {-0.001, Types::Pixels, 2, false, false, true, "0"},
        {12.0, Types::Degrees, 1, true, false, false, "12.0 \xC2\xB0"},
    };
    for (const Case& c : cases) {
        const UnitValue value(c.value, c.type);
        EXPECT_EQ(std::string(
                      value.GetValueAsString(c.decimals, c.withUnit, c.grouping, c.trim).GetView()),
                  c.expected)
            << c.value;
    }
}

}  // namespace
