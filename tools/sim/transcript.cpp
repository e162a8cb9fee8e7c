#include "tools/sim/transcript.h"

#include <cinttypes>
#include <cstdio>

#include "bindings/kernel/format.h"

namespace Quarn::WinRT::sim {

void Transcript::Line(std::string_view topic, std::string_view text) {
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%7" PRId64 " ms  ", m_now());
    m_out << stamp << topic;
    if (!text.empty()) {
        m_out << ' ' << text;
    }
    m_out << '\n';
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
    return std::string(Kernel::ToStringFixed<Kernel::TEncUtf8>(value, decimals).GetView());
}

}  // namespace Quarn::WinRT::sim
