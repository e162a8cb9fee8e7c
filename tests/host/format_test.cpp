#include "bindings/kernel/format.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

namespace {

using Kernel::String16;
using Kernel::String8;
using Kernel::TEncUtf16;
using Kernel::TEncUtf8;

std::string Text(const String8& s) {
    return std::string(s.GetView());
}

TEST(AppendFormatTest, PlaceholdersTakeTheirArguments) {
    struct Case {
        std::string_view format;
        std::string_view expected;
    };
    const Case cases[] = {
        {"%1-%2-%3", "x-y-z"},
        {"%3%2%1", "zyx"},
        {"%1 and %1", "x and x"},
        {"%4 and %9", "%4 and %9"},  // no such argument: copied as it stands
        {"%0%a", "%0%a"},
        {"100%", "100%"},
        {"%", "%"},
        {"%%1", "%x"},
        {"%10", "x0"},
        {"", ""},
    };
    for (const Case& c : cases) {
        String8 out("> ");
        Kernel::AppendFormatVT(out, c.format, "x", String8("y"), std::string("z"));
        EXPECT_EQ(Text(out), "> " + std::string(c.expected)) << c.format;
    }
}

TEST(AppendFormatTest, IntegersNullTextAndUtf16) {
    constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
    constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();
    EXPECT_EQ(Text(Kernel::Format8("%1|%2|%3|%4", -42, kMin, 0u, kMax)),
              "-42|-9223372036854775808|0|18446744073709551615");

    const char* none = nullptr;
    EXPECT_EQ(Text(Kernel::Format8("[%1]", none)), "[]");

    String16 wide(u"\u00C9tat: ");
    Kernel::AppendFormatVT(wide, u"%2 \u2192 %1", String16(u"\u00E9"), 7);
    EXPECT_EQ(wide, u"\u00C9tat: 7 \u2192 \u00E9");
}

TEST(ToStringTest, SignsAndGrouping) {
    struct Case {
        std::int64_t value;
        int signStyle;
        bool grouping;
        std::string_view expected;
    };
    const Case cases[] = {
        {0, Kernel::kSignNegativeOnly, false, "0"},
        {42, Kernel::kSignNegativeOnly, false, "42"},
        {42, Kernel::kSignAlways, false, "+42"},
        {-42, Kernel::kSignAlways, false, "-42"},
        {-42, Kernel::kSignNegativeOnly, false, "-42"},
        {999, Kernel::kSignNegativeOnly, true, "999"},
        {1000, Kernel::kSignNegativeOnly, true, "1,000"},
        {-1234567, Kernel::kSignNegativeOnly, true, "-1,234,567"},
        {1234567, Kernel::kSignAlways, true, "+1,234,567"},
        {std::numeric_limits<std::int64_t>::min(), Kernel::kSignNegativeOnly, true,
         "-9,223,372,036,854,775,808"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Text(Kernel::ToStringT<TEncUtf8>(c.value, c.signStyle, c.grouping)), c.expected);
    }
    EXPECT_EQ(Kernel::ToStringT<TEncUtf16>(-1234, Kernel::kSignNegativeOnly, true), u"-1,234");
}

TEST(ToStringTest, BasesAndPadding) {
    struct Case {
        std::uint64_t value;
        int base;
        int width;
        int pad;
        std::string_view expected;
    };
    const Case cases[] = {
        {0x80070005, 16, 8, Kernel::kPadZeros, "80070005"},
        {0x7A, 16, 8, Kernel::kPadZeros, "0000007A"},
        {0x7A, 16, 8, Kernel::kPadBlanks, "      7A"},
        {0x7A, 16, 8, Kernel::kPadNone, "7A"},
        {0x123456789, 16, 8, Kernel::kPadZeros, "123456789"},  // never cut to the width
        {0, 16, 0, Kernel::kPadNone, "0"},
        {5, 2, 4, Kernel::kPadZeros, "0101"},
        {35, 36, 0, Kernel::kPadNone, "Z"},
        {35, 1, 0, Kernel::kPadNone, "35"},  // no such base: decimal
        {std::numeric_limits<std::uint64_t>::max(), 16, 0, Kernel::kPadNone, "FFFFFFFFFFFFFFFF"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Text(Kernel::ToStringBase<TEncUtf8>(c.value, c.base, c.width, c.pad)),
                  c.expected);
    }
    // An absurd width is bounded by the longest number there is, 64 binary digits.
    EXPECT_EQ(
        Kernel::ToStringBase<TEncUtf8>(1, 10, std::numeric_limits<int>::max(), Kernel::kPadZeros)
            .Length(),
        64u);
}

TEST(ToStringTest, FixedPoint) {
    struct Case {
        double value;
        int decimals;
        std::string_view expected;
    };
    const Case cases[] = {
        {2.5, 2, "2.50"},
        {-2.5, 0, "-2"},  // half to even, as printf
        {-0.001, 2, "0.00"},
        {1234.5678, 1, "1234.6"},
        {0.5, -3, "0"},
        {1.0 / 3.0, 40, "0.333333333333333"},  // at most 15 decimals
        {std::numeric_limits<double>::quiet_NaN(), 2, "NaN"},
        {-std::numeric_limits<double>::infinity(), 2, "-Inf"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Text(Kernel::ToStringFixed<TEncUtf8>(c.value, c.decimals)), c.expected)
            << c.value;
    }
    // Large magnitudes are written in full, not cut at some buffer's end.
    const std::string huge = Text(Kernel::ToStringFixed<TEncUtf8>(-1e300, 15));
    EXPECT_EQ(huge.size(), 1 + 301 + 1 + 15u);
    EXPECT_EQ(huge.substr(0, 3), "-10");
    EXPECT_EQ(huge.substr(huge.size() - 4), "0000");
}

}  // namespace
