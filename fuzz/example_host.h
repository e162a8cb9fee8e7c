#pragma once
// The bundled example's host description and menu icons, read once per process. The fuzzers
// start from them so that their inputs spend their bytes on events and scripts, not on describing
// a host.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

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

// The example's menu icons (examples/resources/Dial/*.png) by path, with their bytes.
inline const std::vector<std::pair<std::string, std::vector<unsigned char>>>& ExampleIcons() {
    static const auto icons = [] {
        std::vector<std::pair<std::string, std::vector<unsigned char>>> files;
        for (const auto& entry :
             std::filesystem::directory_iterator(QUARN_SOURCE_DIR "/examples/resources/Dial")) {
            std::ifstream file(entry.path(), std::ios::binary);
            files.emplace_back(entry.path().string(),
                               std::vector<unsigned char>(std::istreambuf_iterator<char>(file),
                                                          std::istreambuf_iterator<char>()));
        }
        if (files.empty()) {
            std::cerr << "fuzz: no icons in " QUARN_SOURCE_DIR "/examples/resources/Dial\n";
            std::abort();
        }
        return files;
    }();
    return icons;
}

}  // namespace Quarn::WinRT::fuzz
