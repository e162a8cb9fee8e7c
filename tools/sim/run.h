#pragma once
// Running a whole session from files, as the command line does; tests call it the same way.

#include <ostream>
#include <string>

namespace Quarn::WinRT::sim {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitBadInput = 2;

struct RunOptions {
    std::string hostPath;
    std::string scriptPath;
    std::string transcriptPath;   // empty: standard output
    std::string framesDirectory;  // empty: no frames written
};

// Loads the description and the script, checks both, then runs the script. Problems with the
// input go to `errors` with the place they were found, and nothing runs.
int RunSession(const RunOptions& options, std::ostream& errors);

// The same, from texts already in memory; the transcript goes to `transcript`.
int RunSessionText(const std::string& hostJson, const std::string& hostSource,
                   const std::string& script, const std::string& scriptSource,
                   const std::string& baseDirectory, std::ostream& transcript, std::ostream& errors,
                   const std::string& framesDirectory = {});

}  // namespace Quarn::WinRT::sim
