// quarn-dial-sim: drives the dial on the simulated platform with a sample host, from a session
// script, and writes what happened as a transcript.
//
//   quarn-dial-sim examples/paint.json examples/tour.dial
//   quarn-dial-sim --transcript out.txt examples/paint.json examples/tour.dial
//
// Exit status: 0 when the session ran, 2 for a bad command line, host description or script
// (nothing runs then), 1 when the session itself failed.

#include <CLI/CLI.hpp>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "tools/sim/run.h"

int main(int argc, char** argv) {
    using namespace Quarn::WinRT::sim;
    CLI::App app{"Drives the dial on the simulated platform and writes a transcript."};
    RunOptions options;
    app.add_option("--transcript", options.transcriptPath,
                   "Write the transcript here (default: stdout)");
    app.add_option("host", options.hostPath, "The host description (JSON)")->required();
    app.add_option("script", options.scriptPath, "The session script")->required();
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& help) {
        return app.exit(help);
    } catch (const CLI::ParseError& error) {
        app.exit(error);
        return kExitBadInput;
    }
    return RunSession(options, std::cerr);
}
