#pragma once
// The simulator's transcript: one line per observable thing, each prefixed with the virtual
// time in milliseconds, so that two runs of a session can be compared line by line.

#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <string_view>

namespace Quarn::WinRT::sim {

class Transcript {
public:
    using Now = std::function<std::int64_t()>;

    Transcript(std::ostream& out, Now now) : m_out(out), m_now(std::move(now)) {}

    // `topic` is a short word ("value", "menu", "log", ...) that a reader can search for.
    void Line(std::string_view topic, std::string_view text);
    std::int64_t LineCount() const { return m_lines; }

private:
    std::ostream& m_out;
    Now m_now;
    std::int64_t m_lines = 0;
    std::string m_line;
};

// Text as a double-quoted literal with C escapes, so that log and trace texts appear exactly,
// trailing line feeds included.
std::string Quoted(std::string_view text);

// Fixed-point text with the decimals given, without "-0".
std::string Number(double value, int decimals = 4);

}  // namespace Quarn::WinRT::sim
