#pragma once
// DOS path joining: one backslash between components.

#include <string_view>

#include "bindings/kernel/string.h"

namespace Kernel {

struct PathTraitsDos {
    static constexpr char DefaultSeparator = '\\';
    static constexpr const char* DefaultSeparatorString = "\\";

    static bool IsSeparator(char c) { return c == '\\' || c == '/'; }

    // Appends `component` to `path`. An empty path becomes the component; otherwise exactly one
    // backslash stands between them, whatever separators either side already had. An empty
    // component leaves the path as it is.
    static void Append(String8& path, std::string_view component);
};

template <class String, class Traits>
class PathT {
public:
    PathT() = default;
    explicit PathT(String path) : m_path(std::move(path)) {}

    PathT& Append(std::string_view component) {
        Traits::Append(m_path, component);
        return *this;
    }
    const String& ToString() const noexcept { return m_path; }
    friend bool operator==(const PathT&, const PathT&) = default;

private:
    String m_path;
};

using PathDos = PathT<String8, PathTraitsDos>;

}  // namespace Kernel
