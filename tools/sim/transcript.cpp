#include "tools/sim/transcript.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace Quarn::WinRT::sim {

void Transcript::Line(std::string_view topic, std::string_view text) {
    // Built in one reused buffer and written at once: a long session writes millions of lines.
    char stamp[24];
    const auto [end, error] = std::to_chars(stamp, stamp + sizeof stamp, m_now());
    const auto digits = static_cast<std::size_t>(end - stamp);
    m_line.assign(digits < 7 ? 7 - digits : 0, ' ');
    m_line.append(stamp, digits);
    m_line += " ms  ";
    m_line += topic;
    if (!text.empty()) {
        m_line += ' ';
        m_line += text;
    }
    m_line += '\n';
    m_out.write(m_line.data(), static_cast<std::streamsize>(m_line.size()));
    ++m_lines;
}

std::string Quoted(std::string_view text) {
    std::string quoted = "\"";
    for (const char c : text) {
        switch (c) {
            case '\n':
                quoted += "\\n";
                break;
            case '\r':
                quoted += "\\r";
                break;
            case '\t':
                quoted += "\\t";
                break;
            case '"':
                quoted += "\\\"";
                break;
            case '\\':
                quoted += "\\\\";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    char escape[8];
                    std::snprintf(escape, sizeof escape, "\\x%02X", static_cast<unsigned char>(c));
                    quoted += escape;
                } else {
                    quoted += c;  // UTF-8 passes through whole
                }
        }
    }
    return quoted + "\"";
}

std::string Number(double value, int decimals) {
    // Reads as the host's fixed-point text (Kernel::ToStringFixed) but without its two printf
    // calls: the overlay's state is put into words after every command.
    if (!std::isfinite(value)) {
        return std::isnan(value) ? "NaN" : value > 0 ? "Inf" : "-Inf";
    }
    decimals = std::clamp(decimals, 0, 15);
    char text[400];  // 1e308 has 309 digits before the point
    const auto [end, error] =
        std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
    std::string result(text, error == std::errc() ? end : text);
    if (result.starts_with('-') && result.find_first_not_of("-0.") == std::string::npos) {
        result.erase(0, 1);  // no "-0.00"
    }
    return result;
}

}  // namespace Quarn::WinRT::sim
