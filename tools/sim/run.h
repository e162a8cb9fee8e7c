#pragma once
// Running a whole session from files, as the command line does; tests call it the same way.

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace Quarn::WinRT::sim {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitBadInput = 2;

struct RunOptions {
    std::string hostPath;
    std::string scriptPath;
    std::string transcriptPath;                  // empty: standard output
    std::optional<std::string> framesDirectory;  // not given: no frames written
};

// Checks the files, the description and the whole script, then runs the script with its
// transcript streamed out line by line. The script file is read twice, a line at a time, so
// memory does not grow with its length. A problem with the input goes to `errors` with the
// place it was found, and nothing runs (kExitBadInput). A command that fails at run time is an
// "error" line in the transcript and on `errors`; the session still runs to its end and then
// answers kExitFailed.
int RunSession(const RunOptions& options, std::ostream& errors);

// The same, from texts already in memory; the transcript goes to `transcript`.
// `protectedPaths` are files no frame may be written over.
int RunSessionText(const std::string& hostJson, const std::string& hostSource,
                   const std::string& script, const std::string& scriptSource,
                   const std::string& baseDirectory, std::ostream& transcript, std::ostream& errors,
                   const std::string& framesDirectory = {},
                   const std::vector<std::string>& protectedPaths = {});

}  // namespace Quarn::WinRT::sim
