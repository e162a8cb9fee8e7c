#pragma once
// A value of the host description with its JSON path, so that every complaint says where it
// is: "host.json: tools[0].items[2].range: expected ...".

#include <nlohmann/json.hpp>

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace Quarn::WinRT::sim {

class Node {
public:
    Node(const nlohmann::json& value, std::string path, const std::string& source)
        : m_value(value), m_path(std::move(path)), m_source(source) {}

    // Throws HostDescriptionError: "<source>: <path>: expected <expected>".
    [[noreturn]] void Fail(std::string_view expected) const;

    const nlohmann::json& Value() const { return m_value; }
    const std::string& Path() const { return m_path; }
    bool Has(std::string_view key) const { return m_value.contains(key); }
    Node At(std::string_view key) const;
    std::vector<Node> Elements() const;

    std::string String() const;
    // A name a person reads and a script can type: not empty, no control characters.
    std::string Name() const;
    double Number(double minimum, double maximum) const;
    // A whole number from `minimum` to `maximum`; 3.0 counts as whole.
    std::int64_t Integer(std::int64_t minimum, std::int64_t maximum) const;
    bool Boolean() const;
    bool Boolean(std::string_view key, bool fallback) const;

    // A mistyped key would otherwise be ignored without a word.
    void AllowOnly(std::initializer_list<std::string_view> keys) const;
    void AllowOnly(std::span<const std::string_view> common,
                   std::initializer_list<std::string_view> more) const;

private:
    const nlohmann::json& m_value;
    std::string m_path;
    const std::string& m_source;
};

// A bound as a message gives it: "32767", "1e15".
std::string BoundText(double bound);

// The value as the description wrote it, for messages: 150, "Flat", [1, 2].
std::string JsonText(const nlohmann::json& value);

}  // namespace Quarn::WinRT::sim
