#include "bindings/kernel/string.h"

#include <utf8cpp/utf8.h>

#include <iterator>

namespace Kernel {

namespace {

constexpr char16_t kReplacement = 0xFFFD;

bool IsHighSurrogate(char16_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}
bool IsLowSurrogate(char16_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

template <class Char>
std::size_t MeasureLength(const Char* text, std::ptrdiff_t length) {
    if (!text) {
        return 0;
    }
    if (length >= 0) {
        return static_cast<std::size_t>(length);
    }
    return std::char_traits<Char>::length(text);
}

}  // namespace

void AppendUtf16(std::u16string& out, std::string_view utf8) {
    out.reserve(out.size() + utf8.size());  // never more UTF-16 units than UTF-8 bytes
    if (utf8::find_invalid(utf8.begin(), utf8.end()) == utf8.end()) {
        utf8::unchecked::utf8to16(utf8.begin(), utf8.end(), std::back_inserter(out));
        return;
    }
    std::string repaired;
    repaired.reserve(utf8.size() + 8);
    utf8::replace_invalid(utf8.begin(), utf8.end(), std::back_inserter(repaired), 0xFFFD);
    utf8::unchecked::utf8to16(repaired.begin(), repaired.end(), std::back_inserter(out));
}

void AppendUtf8(std::string& out, std::u16string_view utf16) {
    out.reserve(out.size() + utf16.size() * 3);  // at most three bytes per UTF-16 unit
    // utfcpp refuses lone surrogates; give each one the replacement character instead.
    std::size_t runStart = 0;
    auto flush = [&](std::size_t end) {
        utf8::unchecked::utf16to8(utf16.begin() + static_cast<std::ptrdiff_t>(runStart),
                                  utf16.begin() + static_cast<std::ptrdiff_t>(end),
                                  std::back_inserter(out));
    };
    for (std::size_t i = 0; i < utf16.size(); ++i) {
        const char16_t c = utf16[i];
        if (IsHighSurrogate(c) && i + 1 < utf16.size() && IsLowSurrogate(utf16[i + 1])) {
            ++i;
            continue;
        }
        if (IsHighSurrogate(c) || IsLowSurrogate(c)) {
            flush(i);
            const char16_t replacement[1] = {kReplacement};
            utf8::unchecked::utf16to8(replacement, replacement + 1, std::back_inserter(out));
            runStart = i + 1;
        }
    }
    flush(utf16.size());
}

template <>
StringT<TEncUtf16> ConvertEnc<TEncUtf16, char>(const char* text, std::ptrdiff_t length) {
    std::u16string out;
    AppendUtf16(out, std::string_view(text ? text : "", MeasureLength(text, length)));
    return StringT<TEncUtf16>(std::move(out));
}

template <>
StringT<TEncUtf8> ConvertEnc<TEncUtf8, char16_t>(const char16_t* text, std::ptrdiff_t length) {
    std::string out;
    AppendUtf8(out, std::u16string_view(text ? text : u"", MeasureLength(text, length)));
    return StringT<TEncUtf8>(std::move(out));
}

}  // namespace Kernel
