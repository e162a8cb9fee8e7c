#pragma once
// Reads a host description's JSON strictly: a number a double cannot hold, a key given twice in
// one object, or nesting deeper than the description can use is refused with the path of the
// value at fault, where a lenient reader would throw, keep the last key, or recurse without end.

#include <nlohmann/json.hpp>

#include <string>
#include <string_view>

namespace Quarn::WinRT::sim {

// Throws HostDescriptionError ("host.json: window[1]: expected ...", or "host.json: not valid
// JSON: ..." with the line and column of a syntax error).
nlohmann::json ReadJson(std::string_view text, const std::string& source);

// "tools[0].items[2].range" from its pieces, or "top level" for the document itself.
std::string JsonPathText(const std::string& path);

}  // namespace Quarn::WinRT::sim
