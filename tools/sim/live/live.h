#pragma once
// quarn-dial-sim live: the dial on the simulated platform in a real desktop window, turned with
// the mouse wheel or a real wheel device, its overlay drawn by the render thread as --frames
// writes it.

#include <optional>
#include <ostream>
#include <string>

namespace Quarn::WinRT::sim {

struct LiveOptions {
    std::string hostPath;
    std::string tool;  // empty: the host description's first tool
    double notchDegrees = 10.0;
    std::string recordPath;
    std::string transcriptPath;  // empty: standard output
    std::string devicePath;      // empty: none; "auto": the first device with a dial axis
    std::string latencyLogPath;  // empty: none
};

inline constexpr double kMaxNotchDegrees = 360.0;

// Runs until the window closes or SIGINT/SIGTERM arrives: kExitOk then, with the transcript and
// the recording complete; kExitBadInput with a message on `errors` for bad input (no display, a
// device that cannot be opened or has no dial axis, an unknown tool, a host description that
// cannot be read); kExitFailed when an output could not be written completely.
int RunLive(const LiveOptions& options, std::ostream& errors);

}  // namespace Quarn::WinRT::sim
