#include "bindings/kernel/format.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

namespace Kernel {

namespace {

template <class Char>
std::basic_string<Char> Widen(std::string_view ascii) {
    return std::basic_string<Char>(ascii.begin(), ascii.end());
}

std::string GroupThousands(const std::string& digits) {
    std::string out;
    const std::size_t n = digits.size();
    for (std::size_t i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0) {
            out.push_back(',');
        }
        out.push_back(digits[i]);
    }
    return out;
}

}  // namespace

template <class Enc>
StringT<Enc> ToStringT(std::int64_t value, int signStyle, bool digitGrouping) {
    // Magnitude in unsigned arithmetic so that INT64_MIN is written correctly.
    const bool negative = value < 0;
    std::uint64_t magnitude =
        negative ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    std::string digits = std::to_string(magnitude);
    if (digitGrouping) {
        digits = GroupThousands(digits);
    }
    std::string text;
    if (negative) {
        text.push_back('-');
    } else if (signStyle == kSignAlways) {
        text.push_back('+');
    }
    text += digits;
    return StringT<Enc>(Widen<typename Enc::Char>(text));
}

template <class Enc>
StringT<Enc> ToStringBase(std::uint64_t value, int base, int width, int padStyle) {
    if (base < 2 || base > 36) {
        base = 10;
    }
    static constexpr char kDigits[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    std::string reversed;
    do {
        reversed.push_back(kDigits[value % static_cast<std::uint64_t>(base)]);
        value /= static_cast<std::uint64_t>(base);
    } while (value != 0);
    const char pad = padStyle == kPadZeros ? '0' : padStyle == kPadBlanks ? ' ' : '\0';
    // No number is wider than 64 binary digits, so neither is its padding.
    width = std::min(width, 64);
    while (pad != '\0' && static_cast<int>(reversed.size()) < width) {
        reversed.push_back(pad);
    }
    return StringT<Enc>(Widen<typename Enc::Char>(std::string(reversed.rbegin(), reversed.rend())));
}

template <class Enc>
StringT<Enc> ToStringFixed(double value, int decimals) {
    if (decimals < 0) {
        decimals = 0;
    } else if (decimals > 15) {
        decimals = 15;
    }
    if (!std::isfinite(value)) {
        return StringT<Enc>(Widen<typename Enc::Char>(std::isnan(value) ? "NaN"
                                                      : value > 0       ? "Inf"
                                                                        : "-Inf"));
    }
    // Sized by a first call: 1e308 has 309 digits before the point.
    std::string text(static_cast<std::size_t>(std::snprintf(nullptr, 0, "%.*f", decimals, value)),
                     '\0');
    std::snprintf(text.data(), text.size() + 1, "%.*f", decimals, value);
    if (text.find_first_not_of("-0.") == std::string::npos && text[0] == '-') {
        text.erase(0, 1);  // no "-0.00"
    }
    return StringT<Enc>(Widen<typename Enc::Char>(text));
}

namespace detail {

template <class Char>
void AppendFormat(std::basic_string<Char>& out, std::basic_string_view<Char> format,
                  std::span<const StringT<TEncOf<Char>>> args) {
    out.reserve(out.size() + format.size());
    for (std::size_t i = 0; i < format.size(); ++i) {
        const Char c = format[i];
        if (c == Char('%') && i + 1 < format.size() && format[i + 1] >= Char('1') &&
            format[i + 1] <= Char('9')) {
            const std::size_t index = static_cast<std::size_t>(format[i + 1] - Char('1'));
            if (index < args.size()) {
                out.append(args[index].GetView());
                ++i;
                continue;
            }
        }
        out.push_back(c);
    }
}

template void AppendFormat<char>(std::string&, std::string_view, std::span<const String8>);
template void AppendFormat<char16_t>(std::u16string&, std::u16string_view,
                                     std::span<const String16>);

}  // namespace detail

template StringT<TEncUtf8> ToStringT<TEncUtf8>(std::int64_t, int, bool);
template StringT<TEncUtf16> ToStringT<TEncUtf16>(std::int64_t, int, bool);
template StringT<TEncUtf8> ToStringBase<TEncUtf8>(std::uint64_t, int, int, int);
template StringT<TEncUtf16> ToStringBase<TEncUtf16>(std::uint64_t, int, int, int);
template StringT<TEncUtf8> ToStringFixed<TEncUtf8>(double, int);
template StringT<TEncUtf16> ToStringFixed<TEncUtf16>(double, int);

}  // namespace Kernel
