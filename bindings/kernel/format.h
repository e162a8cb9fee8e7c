#pragma once
// Text formatting of the host: positional placeholders "%1".."%9" and integer/number text.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>

#include "bindings/kernel/string.h"

namespace Kernel {

// Sign styles of ToStringT: 0 writes a minus for negative numbers only, 1 always writes a sign.
inline constexpr int kSignNegativeOnly = 0;
inline constexpr int kSignAlways = 1;

// Pad styles of ToStringBase: 0 none, 1 leading zeros up to the width, 2 leading blanks.
inline constexpr int kPadNone = 0;
inline constexpr int kPadZeros = 1;
inline constexpr int kPadBlanks = 2;

template <class Enc>
StringT<Enc> ToStringT(std::int64_t value, int signStyle = kSignNegativeOnly,
                       bool digitGrouping = false);

// Digits above 9 are upper-case letters; base is 2..36 (anything else writes base 10).
template <class Enc>
StringT<Enc> ToStringBase(std::uint64_t value, int base, int width = 0, int padStyle = kPadNone);

// Fixed-point text with `decimals` digits after the point (0..15), '.' as decimal separator.
template <class Enc>
StringT<Enc> ToStringFixed(double value, int decimals);

namespace detail {
template <class Char>
using TEncOf = std::conditional_t<std::is_same_v<Char, char>, TEncUtf8, TEncUtf16>;
template <class Char>
void AppendFormat(std::basic_string<Char>& out, std::basic_string_view<Char> format,
                  std::span<const StringT<TEncOf<Char>>> args);
}  // namespace detail

// Appends `format` to `out` with "%1".."%9" replaced by the arguments, in order. A placeholder
// without an argument, and any other '%', are copied as they stand. Arguments are strings of
// the same encoding (a null character pointer is empty text), or integers: signed ones written
// by ToStringT, unsigned ones in base 10 so that values above INT64_MAX keep their digits.
template <class Enc, class... Args>
void AppendFormatVT(StringT<Enc>& out, std::basic_string_view<typename Enc::Char> format,
                    const Args&... args) {
    using Char = typename Enc::Char;
    auto asText = [](const auto& arg) -> StringT<Enc> {
        using A = std::decay_t<decltype(arg)>;
        if constexpr (std::is_integral_v<A> && std::is_unsigned_v<A>) {
            return ToStringBase<Enc>(static_cast<std::uint64_t>(arg), 10);
        } else if constexpr (std::is_integral_v<A>) {
            return ToStringT<Enc>(static_cast<std::int64_t>(arg));
        } else if constexpr (std::is_pointer_v<A>) {
            const Char* text = arg;
            return text ? StringT<Enc>(std::basic_string_view<Char>(text)) : StringT<Enc>();
        } else {
            return StringT<Enc>(std::basic_string_view<Char>(arg));
        }
    };
    const StringT<Enc> texts[sizeof...(Args) + 1] = {asText(args)..., StringT<Enc>()};
    std::basic_string<Char> result(out.GetView());
    detail::AppendFormat<Char>(result, format,
                               std::span<const StringT<Enc>>(texts, sizeof...(Args)));
    out = StringT<Enc>(std::move(result));
}

// Convenience: a new UTF-8 string from a format.
template <class... Args>
String8 Format8(std::string_view format, const Args&... args) {
    String8 out;
    AppendFormatVT(out, format, args...);
    return out;
}

}  // namespace Kernel
