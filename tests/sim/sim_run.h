#pragma once
// Runs a simulator session from texts and hands back what it printed.

#include <sstream>
#include <string>
#include <vector>

#include "tools/sim/run.h"

namespace Quarn::WinRT::sim::testing {

struct SessionResult {
    int exitStatus = 0;
    std::vector<std::string> lines;
    std::string errors;
};

inline SessionResult RunScript(const std::string& hostJson, const std::string& script,
                               const std::string& baseDirectory = ".",
                               const std::string& framesDirectory = {},
                               const std::vector<std::string>& protectedPaths = {}) {
    std::ostringstream transcript;
    std::ostringstream errors;
    SessionResult result;
    result.exitStatus = RunSessionText(hostJson, "host.json", script, "session.dial", baseDirectory,
                                       transcript, errors, framesDirectory, protectedPaths);
    std::istringstream lines(transcript.str());
    for (std::string line; std::getline(lines, line);) {
        result.lines.push_back(line);
    }
    result.errors = errors.str();
    return result;
}

}  // namespace Quarn::WinRT::sim::testing
