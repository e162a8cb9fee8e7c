#pragma once
// The bundled example's host description, read once per process. The fuzzers start from it so
// that their inputs spend their bytes on events and scripts, not on describing a host.

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

namespace Quarn::WinRT::fuzz {

inline const std::string& ExampleHost() {
    static const std::string text = [] {
        std::ifstream file(QUARN_SOURCE_DIR "/examples/paint.json", std::ios::binary);
        std::ostringstream buffer;
        buffer << file.rdbuf();
        if (buffer.str().empty()) {
            std::cerr << "fuzz: cannot read " QUARN_SOURCE_DIR "/examples/paint.json\n";
            std::abort();
        }
        return buffer.str();
    }();
    return text;
}

}  // namespace Quarn::WinRT::fuzz
