#pragma once
// The sample host's command line. Paths are UTF-8; defaults lie beside the program, where the
// build copies the bundled host description and icons.

#include <optional>
#include <string>
#include <vector>

namespace Quarn::WinRT::example {

struct Options {
    std::string hostDescription;  // a JSON host description (the simulator's format)
    std::string tool;             // empty: the description's first tool
    std::string resources;        // the folder whose "Dial" folder holds the menu icons
    unsigned quitAfterMs = 0;     // 0: runs until its window is closed
    bool multiThreaded = false;   // the context's apartment
    bool help = false;
};

struct ParsedOptions {
    std::optional<Options> options;
    std::string error;  // why there are no options
};

// `arguments` without the program's name; `programFolder` without a trailing separator.
ParsedOptions ParseOptions(const std::vector<std::string>& arguments,
                           const std::string& programFolder);

std::string Usage();

}  // namespace Quarn::WinRT::example
