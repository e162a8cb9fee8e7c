// Text: encodings, shared buffers and DOS paths.
#include "bindings/kernel/string.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "bindings/kernel/path.h"

namespace {

using Kernel::ConvertEnc;
using Kernel::String8;
using Kernel::TEncUtf16;
using Kernel::TEncUtf8;

std::u16string ToUtf16(std::string_view utf8) {
    return std::u16string(
        ConvertEnc<TEncUtf16>(utf8.data(), static_cast<std::ptrdiff_t>(utf8.size())).GetView());
}

std::string ToUtf8(std::u16string_view utf16) {
    return std::string(
        ConvertEnc<TEncUtf8>(utf16.data(), static_cast<std::ptrdiff_t>(utf16.size())).GetView());
}

// Well-formed text round-trips; malformed text, in either encoding, becomes replacement
// characters.
TEST(ConvertEncTest, WellFormedTextRoundTripsAndMalformedBecomesReplacements) {
    enum Way { Both, FromUtf8, FromUtf16 };
    struct Case {
        std::string_view utf8;
        std::u16string_view utf16;
        Way way;
    };
    const Case cases[] = {
        {"D\xC3\xA9"
         "calage\xE7\x94\xBB",
         u"D\u00E9calage\u753B", Both},
        {"a\xF0\x9F\x98\x80z", u"a\U0001F600z", Both},  // a surrogate pair in UTF-16
        {std::string_view("a\0b", 3), std::u16string_view(u"a\0b", 3), Both},
        {"a\xFF\xC3", u"a\uFFFD\uFFFD", FromUtf8},  // never a lead byte; cut at the end
        {"\xED\xA0\x80", u"\uFFFD", FromUtf8},      // an encoded surrogate
        {"a\xEF\xBF\xBD"
         "b",
         u"a\xD800"
         u"b",
         FromUtf16},                                               // lone high surrogate
        {"\xEF\xBF\xBD", u"\xDC00", FromUtf16},                    // lone low surrogate
        {"x\xEF\xBF\xBD", u"x\xD83D", FromUtf16},                  // high surrogate at the end
        {"\xEF\xBF\xBD\xEF\xBF\xBD", u"\xDE00\xD83D", FromUtf16},  // a pair in the wrong order
        {"\xEF\xBF\xBD\xF0\x9F\x98\x80", u"\xD83D\xD83D\xDE00", FromUtf16},  // a lone one, a pair
        {"\xF4\x8F\xBF\xBF", u"\xDBFF\xDFFF", FromUtf16},  // the last pair: U+10FFFF
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.utf8));
        if (c.way != FromUtf16) {
            EXPECT_EQ(ToUtf16(c.utf8), c.utf16);
        }
        if (c.way != FromUtf8) {
            EXPECT_EQ(ToUtf8(c.utf16), c.utf8);
        }
    }
}

TEST(StringTest, LengthsNullPointersAndCopiesThatShareUntilOneIsWritten) {
    EXPECT_EQ(ConvertEnc<TEncUtf16>("Brush size", 5), u"Brush");
    EXPECT_EQ(ConvertEnc<TEncUtf8>(u"Brush size", -1), "Brush size");
    EXPECT_EQ(ConvertEnc<TEncUtf8>(u"Brush size", 0), "");
    const char* nullUtf8 = nullptr;
    const char16_t* nullUtf16 = nullptr;
    EXPECT_TRUE(ConvertEnc<TEncUtf16>(nullUtf8, 8).IsEmpty());
    EXPECT_TRUE(ConvertEnc<TEncUtf8>(nullUtf16, 8).IsEmpty());
    EXPECT_TRUE(String8(nullUtf8, 4).IsEmpty());
    EXPECT_TRUE(String8() == nullUtf8);
    EXPECT_FALSE(String8("x") == nullUtf8);

    String8 original("Brush");
    String8 copy = original;
    EXPECT_TRUE(copy.SharesBufferWith(original));
    copy.Append(" size").Append('!');
    EXPECT_EQ(original, "Brush");
    EXPECT_FALSE(copy.SharesBufferWith(original));
    copy += copy.GetView();  // an unshared string appends in place, even its own text
    EXPECT_EQ(copy, "Brush size!Brush size!");
    EXPECT_FALSE(String8().SharesBufferWith(String8()));
}

TEST(PathTraitsDosTest, OneBackslashBetweenComponents) {
    const std::string_view cases[][3] = {
        {"C:\\App\\\\", "\\\\Dial", "C:\\App\\Dial"},
        {"C:/App/", "/Dial", "C:/App\\Dial"},
        {"C:\\App", "Dial\\", "C:\\App\\Dial\\"},
        {"", "\\Dial", "\\Dial"},
        {"C:\\App", "", "C:\\App"},
        {"C:\\App\\", "\\", "C:\\App\\"},
        {"\\\\", "server", "\\\\server"},  // a path of separators only keeps them
    };
    for (const auto& [path, component, expected] : cases) {
        Kernel::String8 joined{path};
        Kernel::PathTraitsDos::Append(joined, component);
        EXPECT_EQ(std::string(joined.GetView()), expected) << path << " + " << component;
    }
}

}  // namespace
