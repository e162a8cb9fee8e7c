#include "examples/win32_host/command_line.h"

#include <charconv>
#include <string_view>

namespace Quarn::WinRT::example {

namespace {

// A day: long enough for any unattended run, short enough to fit SetTimer's interval.
constexpr unsigned kMaxQuitAfterMs = 24u * 60u * 60u * 1000u;

bool ParseMilliseconds(std::string_view text, unsigned& ms) {
    const char* end = text.data() + text.size();
    const auto [rest, error] = std::from_chars(text.data(), end, ms);
    return error == std::errc() && rest == end && ms >= 1 && ms <= kMaxQuitAfterMs;
}

}  // namespace

ParsedOptions ParseOptions(const std::vector<std::string>& arguments,
                           const std::string& programFolder) {
    Options options;
    options.hostDescription = programFolder + "\\paint.json";
    options.resources = programFolder + "\\resources";
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& name = arguments[i];
        if (name == "--help" || name == "-h") {
            options.help = true;
            continue;
        }
        if (name == "--mta") {
            options.multiThreaded = true;
            continue;
        }
        const bool takesValue =
            name == "--host" || name == "--tool" || name == "--resources" || name == "--quit-after";
        if (!takesValue) {
            return {std::nullopt, "unknown option '" + name + "'"};
        }
        if (i + 1 == arguments.size()) {
            return {std::nullopt, name + " needs a value"};
        }
        const std::string& value = arguments[++i];
        if (name == "--host") {
            options.hostDescription = value;
        } else if (name == "--tool") {
            options.tool = value;
        } else if (name == "--resources") {
            options.resources = value;
        } else if (!ParseMilliseconds(value, options.quitAfterMs)) {
            return {std::nullopt, "--quit-after takes milliseconds from 1 to " +
                                      std::to_string(kMaxQuitAfterMs) + ", not '" + value + "'"};
        }
    }
    return {options, {}};
}

std::string Usage() {
    return "quarn-win32-host [--host FILE.json] [--tool NAME] [--resources DIR] [--quit-after MS]"
           " [--mta]\n"
           "  Drives one dial on a window of its own with a tool of a host description and\n"
           "  prints what the library reports: log and trace lines, values written,\n"
           "  notifications, the puck's centres, and the data folders.\n"
           "  --host        the host description (default: paint.json beside the program)\n"
           "  --tool        the tool to hand the dial (default: the description's first)\n"
           "  --resources   the folder holding Dial\\<icon>.png (default: resources beside the\n"
           "                program)\n"
           "  --quit-after  closes the window after this many milliseconds\n"
           "  --mta         a multi-threaded context instead of a single-threaded one\n";
}

}  // namespace Quarn::WinRT::example
