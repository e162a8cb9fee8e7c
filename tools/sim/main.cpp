// quarn-dial-sim: drives the dial on the simulated platform with a sample host, from a session
// script, and writes what happened as a transcript.
//
//   quarn-dial-sim examples/paint.json examples/tour.dial
//   quarn-dial-sim --transcript out.txt examples/paint.json examples/tour.dial
//   quarn-dial-sim --frames frames/ examples/paint.json examples/tour.dial
//   quarn-dial-sim paths --product 0 --build-kind 3 [--packaged]
//
// Exit status: 0 when the session ran, 2 for a bad command line, host description or script
// (nothing runs then), 1 when the session itself failed.

#include <CLI/CLI.hpp>

#include <iostream>

#include "bindings/sim/sim_platform.h"
#include "package/describe.h"
#include "tools/sim/run.h"

namespace {

// Where a build keeps its data, on the simulated platform's folders.
int ListPaths(int product, int buildKind, bool packaged) {
    Quarn::WinRT::sim::SimPlatform platform;
    platform.Package().SetPackaged(packaged);
    std::cout << Quarn::WinRT::detail::DescribePaths(static_cast<Corvanta::Product>(product),
                                                     buildKind, packaged)
                     .GetView();
    return Quarn::WinRT::sim::kExitOk;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace Quarn::WinRT::sim;
    CLI::App app{"Drives the dial on the simulated platform and writes a transcript."};
    RunOptions options;
    app.add_option("--transcript", options.transcriptPath,
                   "Write the transcript here (default: stdout)");
    app.add_option("--frames", options.framesDirectory,
                   "Write a PNG of the overlay here whenever what it shows changes");
    app.add_option("host", options.hostPath, "The host description (JSON)");
    app.add_option("script", options.scriptPath, "The session script");

    CLI::App* paths = app.add_subcommand("paths", "Print where a build keeps its data");
    int product = 0;
    int buildKind = 0;
    bool packaged = false;
    paths->add_option("--product", product, "The product number")->required();
    paths->add_option("--build-kind", buildKind, "The build kind")->required();
    paths->add_flag("--packaged", packaged, "Run with package identity");
    try {
        app.parse(argc, argv);
        if (!paths->parsed() && (options.hostPath.empty() || options.scriptPath.empty())) {
            throw CLI::RequiredError("HOST.json and SCRIPT.dial");
        }
    } catch (const CLI::CallForHelp& help) {
        return app.exit(help);
    } catch (const CLI::ParseError& error) {
        app.exit(error);
        return kExitBadInput;
    }
    if (paths->parsed()) {
        return ListPaths(product, buildKind, packaged);
    }
    return RunSession(options, std::cerr);
}
