#pragma once
// The host's shared strings. A StringT is immutable once shared: copies share one buffer (an
// atomic count), and a write to a shared string copies it first. UTF-8 faces the host, UTF-16
// faces Windows; ConvertEnc converts between them.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace Kernel {

struct TEncUtf8 {
    using Char = char;
};
struct TEncUtf16 {
    using Char = char16_t;
};

template <class Enc>
class StringT {
public:
    using Encoding = Enc;
    using Char = typename Enc::Char;
    using View = std::basic_string_view<Char>;

    StringT() noexcept = default;
    StringT(const Char* text) : StringT(text ? View(text) : View()) {}
    StringT(const Char* text, std::size_t length) : StringT(text ? View(text, length) : View()) {}
    explicit StringT(View text) {
        if (!text.empty()) {
            m_text = std::make_shared<std::basic_string<Char>>(text);
        }
    }
    explicit StringT(std::basic_string<Char>&& text) {
        if (!text.empty()) {
            m_text = std::make_shared<std::basic_string<Char>>(std::move(text));
        }
    }

    View GetView() const noexcept { return m_text ? View(*m_text) : View(); }
    operator View() const noexcept { return GetView(); }
    const Char* CStr() const noexcept { return m_text ? m_text->c_str() : kEmpty; }
    std::size_t Length() const noexcept { return m_text ? m_text->size() : 0; }
    bool IsEmpty() const noexcept { return Length() == 0; }

    StringT& Append(View text) {
        if (!text.empty()) {
            Mutable().append(text);
        }
        return *this;
    }
    StringT& Append(Char c) {
        Mutable().push_back(c);
        return *this;
    }
    StringT& operator+=(View text) { return Append(text); }

    void Clear() noexcept { m_text.reset(); }

    // True when both share one buffer (a shared copy, not an equal text).
    bool SharesBufferWith(const StringT& other) const noexcept {
        return m_text && m_text == other.m_text;
    }

    friend bool operator==(const StringT& a, const StringT& b) noexcept {
        return a.GetView() == b.GetView();
    }
    friend bool operator==(const StringT& a, View b) noexcept { return a.GetView() == b; }
    friend bool operator==(const StringT& a, const Char* b) noexcept {
        return a.GetView() == (b ? View(b) : View());
    }

private:
    std::basic_string<Char>& Mutable() {
        if (!m_text) {
            m_text = std::make_shared<std::basic_string<Char>>();
        } else if (m_text.use_count() > 1) {
            m_text = std::make_shared<std::basic_string<Char>>(*m_text);
        }
        return *m_text;
    }

    static constexpr Char kEmpty[1] = {};
    std::shared_ptr<std::basic_string<Char>> m_text;
};

using String8 = StringT<TEncUtf8>;
using String16 = StringT<TEncUtf16>;

// Converts between UTF-8 and UTF-16. A length of -1 reads up to the terminator. Malformed input
// (a broken UTF-8 sequence, a lone surrogate) becomes U+FFFD rather than an error, because names
// cross this boundary on their way to the screen and must never stop a menu from being built.
template <class ToEnc, class FromChar>
StringT<ToEnc> ConvertEnc(const FromChar* text, std::ptrdiff_t length = -1);

template <>
StringT<TEncUtf16> ConvertEnc<TEncUtf16, char>(const char* text, std::ptrdiff_t length);
template <>
StringT<TEncUtf8> ConvertEnc<TEncUtf8, char16_t>(const char16_t* text, std::ptrdiff_t length);

template <class ToEnc, class FromEnc>
StringT<ToEnc> ConvertEnc(const StringT<FromEnc>& text) {
    if constexpr (std::is_same_v<ToEnc, FromEnc>) {
        return text;
    } else {
        return ConvertEnc<ToEnc>(text.CStr(), static_cast<std::ptrdiff_t>(text.Length()));
    }
}

// Conversion into a caller's buffer, for hot paths that must not allocate.
void AppendUtf16(std::u16string& out, std::string_view utf8);
void AppendUtf8(std::string& out, std::u16string_view utf16);

}  // namespace Kernel
