#include "bindings/kernel/string.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace {

using Kernel::ConvertEnc;
using Kernel::String16;
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

TEST(ConvertEncTest, WellFormedTextRoundTrips) {
    struct Case {
        std::string_view utf8;
        std::u16string_view utf16;
    };
    const Case cases[] = {
        {"", u""},
        {"Brush size", u"Brush size"},
        {"D\xC3\xA9"
         "calage",
         u"D\u00E9calage"},
        {"Stra\xC3\x9F"
         "e",
         u"Stra\u00DFe"},
        {"\xE7\x94\xBB\xE7\xAC\x94", u"\u753B\u7B14"},
        {"a\xF0\x9F\x98\x80z", u"a\U0001F600z"},  // a surrogate pair in UTF-16
        {std::string_view("a\0b", 3), std::u16string_view(u"a\0b", 3)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ToUtf16(c.utf8), c.utf16) << c.utf8;
        EXPECT_EQ(ToUtf8(c.utf16), c.utf8) << c.utf8;
    }
}

TEST(ConvertEncTest, MalformedInputBecomesReplacementCharacters) {
    struct Utf8Case {
        std::string_view utf8;
        std::u16string_view utf16;
    };
    const Utf8Case utf8Cases[] = {
        {"a\xFF"
         "b",
         u"a\uFFFDb"},        // never a lead byte
        {"\xC3", u"\uFFFD"},  // cut at the end
        {"\xF0\x9F"
         "x",
         u"\uFFFDx"},                 // cut in the middle
        {"\xC0\xAF", u"\uFFFD"},      // overlong '/'
        {"\xED\xA0\x80", u"\uFFFD"},  // an encoded surrogate
        {"\x80\x80"
         "ok",
         u"\uFFFD\uFFFDok"},  // stray continuation bytes
    };
    for (const Utf8Case& c : utf8Cases) {
        EXPECT_EQ(ToUtf16(c.utf8), c.utf16) << testing::PrintToString(c.utf8);
    }

    struct Utf16Case {
        std::u16string_view utf16;
        std::string_view utf8;
    };
    const Utf16Case utf16Cases[] = {
        {u"a\xD800"
         u"b",
         "a\xEF\xBF\xBD"
         "b"},                                                    // lone high surrogate
        {u"\xDC00", "\xEF\xBF\xBD"},                              // lone low surrogate
        {u"x\xD83D", "x\xEF\xBF\xBD"},                            // high surrogate at the end
        {u"\xDE00\xD83D", "\xEF\xBF\xBD\xEF\xBF\xBD"},            // a pair in the wrong order
        {u"\xD83D\xD83D\xDE00", "\xEF\xBF\xBD\xF0\x9F\x98\x80"},  // a lone one before a pair
    };
    for (const Utf16Case& c : utf16Cases) {
        EXPECT_EQ(ToUtf8(c.utf16), c.utf8) << testing::PrintToString(c.utf8);
    }
}

TEST(ConvertEncTest, LengthAndNullPointer) {
    EXPECT_EQ(ConvertEnc<TEncUtf16>("Brush size"), u"Brush size");
    EXPECT_EQ(ConvertEnc<TEncUtf16>("Brush size", 5), u"Brush");
    EXPECT_EQ(ConvertEnc<TEncUtf8>(u"Brush size", -1), "Brush size");
    EXPECT_EQ(ConvertEnc<TEncUtf8>(u"Brush size", 5), "Brush");
    EXPECT_EQ(ConvertEnc<TEncUtf8>(u"Brush size", 0), "");

    const char* nullUtf8 = nullptr;
    const char16_t* nullUtf16 = nullptr;
    EXPECT_TRUE(ConvertEnc<TEncUtf16>(nullUtf8).IsEmpty());
    EXPECT_TRUE(ConvertEnc<TEncUtf16>(nullUtf8, 8).IsEmpty());
    EXPECT_TRUE(ConvertEnc<TEncUtf8>(nullUtf16, 8).IsEmpty());

    EXPECT_EQ(ConvertEnc<TEncUtf16>(String8("\xC3\xA9t\xC3\xA9")), u"\u00E9t\u00E9");
    EXPECT_EQ(ConvertEnc<TEncUtf8>(String16(u"\u00E9t\u00E9")), "\xC3\xA9t\xC3\xA9");
}

TEST(StringTest, CopiesShareUntilOneIsWritten) {
    String8 original("Brush");
    String8 copy = original;
    EXPECT_TRUE(copy.SharesBufferWith(original));

    copy.Append(" size").Append('!');
    EXPECT_EQ(copy, "Brush size!");
    EXPECT_EQ(original, "Brush");
    EXPECT_FALSE(copy.SharesBufferWith(original));

    // An unshared string appends in place, even its own text.
    copy += copy.GetView();
    EXPECT_EQ(copy, "Brush size!Brush size!");

    String8 empty;
    EXPECT_FALSE(empty.SharesBufferWith(String8()));
    EXPECT_STREQ(empty.CStr(), "");
    empty.Append('x');
    EXPECT_EQ(empty, "x");
}

TEST(StringTest, NullPointersReadAsEmpty) {
    const char* none = nullptr;
    EXPECT_TRUE(String8(none).IsEmpty());
    EXPECT_TRUE(String8(none, 4).IsEmpty());
    EXPECT_TRUE(String8() == none);
    EXPECT_FALSE(String8("x") == none);
    EXPECT_EQ(String8("text", 2), "te");
}

}  // namespace
