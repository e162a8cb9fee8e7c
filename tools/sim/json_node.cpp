#include "tools/sim/json_node.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "tools/sim/host_description.h"
#include "tools/sim/json_reader.h"

namespace Quarn::WinRT::sim {

void Node::Fail(std::string_view expected) const {
    throw HostDescriptionError(m_source + ": " + JsonPathText(m_path) + ": expected " +
                               std::string(expected));
}

Node Node::At(std::string_view key) const {
    const std::string path = m_path.empty() ? std::string(key) : m_path + "." + std::string(key);
    if (!m_value.is_object() || !m_value.contains(key)) {
        Node(m_value, path, m_source).Fail("a value here");
    }
    return Node(m_value.at(std::string(key)), path, m_source);
}

std::vector<Node> Node::Elements() const {
    if (!m_value.is_array()) {
        Fail("an array");
    }
    std::vector<Node> elements;
    elements.reserve(m_value.size());
    for (std::size_t i = 0; i < m_value.size(); ++i) {
        elements.emplace_back(m_value[i], m_path + "[" + std::to_string(i) + "]", m_source);
    }
    return elements;
}

std::string Node::String() const {
    if (!m_value.is_string()) {
        Fail("a string");
    }
    return m_value.get<std::string>();
}

std::string Node::Name() const {
    std::string text = String();
    if (text.empty()) {
        Fail("a name that is not empty");
    }
    // NUL and the other control characters would cut or garble the menu and the transcript.
    if (std::any_of(text.begin(), text.end(),
                    [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; })) {
        Fail("a name without control characters (NUL, tab, line feed, ...)");
    }
    return text;
}

double Node::Number(double minimum, double maximum) const {
    if (!m_value.is_number()) {
        Fail("a number");
    }
    const double number = m_value.get<double>();
    if (!(number >= minimum && number <= maximum)) {
        Fail("a number from " + BoundText(minimum) + " to " + BoundText(maximum) + ", not " +
             JsonText(m_value));
    }
    return number;
}

std::int64_t Node::Integer(std::int64_t minimum, std::int64_t maximum) const {
    const std::string wanted =
        "a whole number from " + std::to_string(minimum) + " to " + std::to_string(maximum);
    if (m_value.is_number_integer()) {
        // Unsigned values beyond the signed range are above every maximum here.
        if (m_value.is_number_unsigned() &&
            m_value.get<std::uint64_t>() > static_cast<std::uint64_t>(maximum)) {
            Fail(wanted + ", not " + JsonText(m_value));
        }
        const std::int64_t number = m_value.get<std::int64_t>();
        if (number < minimum || number > maximum) {
            Fail(wanted + ", not " + JsonText(m_value));
        }
        return number;
    }
    if (m_value.is_number_float()) {
        const double number = m_value.get<double>();
        if (number != std::trunc(number) || number < static_cast<double>(minimum) ||
            number > static_cast<double>(maximum)) {
            Fail(wanted + ", not " + JsonText(m_value));
        }
        return static_cast<std::int64_t>(number);
    }
    Fail(wanted);
}

bool Node::Boolean() const {
    if (!m_value.is_boolean()) {
        Fail("true or false");
    }
    return m_value.get<bool>();
}

bool Node::Boolean(std::string_view key, bool fallback) const {
    return Has(key) ? At(key).Boolean() : fallback;
}

void Node::AllowOnly(std::initializer_list<std::string_view> keys) const {
    AllowOnly(std::span<const std::string_view>(keys.begin(), keys.size()), {});
}

void Node::AllowOnly(std::span<const std::string_view> common,
                     std::initializer_list<std::string_view> more) const {
    if (!m_value.is_object()) {
        Fail("an object");
    }
    for (const auto& [key, unused] : m_value.items()) {
        const bool known = std::find(common.begin(), common.end(), key) != common.end() ||
                           std::find(more.begin(), more.end(), key) != more.end();
        if (!known) {
            At(key).Fail("no key \"" + key + "\" here");
        }
    }
}

std::string BoundText(double bound) {
    char text[32];
    if (bound == std::trunc(bound) && std::fabs(bound) < 1e9) {
        std::snprintf(text, sizeof text, "%.0f", bound);
    } else {
        std::snprintf(text, sizeof text, "%g", bound);
    }
    // "1e+15" reads better as "1e15".
    std::string result = text;
    if (const std::size_t plus = result.find("e+"); plus != std::string::npos) {
        result.erase(plus + 1, 1);
    }
    return result;
}

std::string JsonText(const nlohmann::json& value) {
    std::string text = value.dump();
    constexpr std::size_t kLongest = 40;
    if (text.size() > kLongest) {
        std::size_t cut = kLongest;
        while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) {
            --cut;  // not inside a UTF-8 sequence
        }
        text = text.substr(0, cut) + "...";
    }
    return text;
}

}  // namespace Quarn::WinRT::sim
