// quarn-dial-sim: drives the dial on the simulated platform with a sample host, from a session
// script, and writes what happened as a transcript.
//
//   quarn-dial-sim examples/paint.json examples/tour.dial
//   quarn-dial-sim --transcript out.txt examples/paint.json examples/tour.dial
//   quarn-dial-sim --frames frames/ examples/paint.json examples/tour.dial
//   quarn-dial-sim paths --product Raster --build-kind 3 [--packaged]
//   quarn-dial-sim live examples/paint.json [--tool NAME] [--record session.dial]
//
// Exit status: 0 when the session ran, 2 for a bad command line, host description or script
// (nothing runs then), 1 when a command failed at run time (after the whole transcript).

#include <CLI/CLI.hpp>

#include <iostream>
#include <optional>

#include "bindings/sim/sim_platform.h"
#include "package/describe.h"
#include "package/version_names.h"
#include "tools/sim/host_description.h"
#include "tools/sim/live/live.h"
#include "tools/sim/run.h"
#include "tools/sim/script.h"

namespace {

using Quarn::WinRT::sim::kExitBadInput;

constexpr int kProducts = 3;         // Raster, Vector, Layout
constexpr int kNamedBuildKinds = 8;  // 0 to 7 have folders of their own

std::string ProductName(int product) {
    return std::string(
        Corvanta::GetProductShortName(static_cast<Corvanta::Product>(product)).GetView());
}

// "0" or "Raster" (any case) for a product the editor knows.
std::optional<int> ParseProduct(const std::string& text) {
    for (int product = 0; product < kProducts; ++product) {
        if (text == std::to_string(product) ||
            CLI::detail::to_lower(text) == CLI::detail::to_lower(ProductName(product))) {
            return product;
        }
    }
    return std::nullopt;
}

std::string PathsHelp() {
    std::string help = "Products:\n";
    for (int product = 0; product < kProducts; ++product) {
        help += "  " + std::to_string(product) + "  " + ProductName(product) + "\n";
    }
    help += "Build kinds (the version folder, then its persisted form):\n";
    for (int kind = 0; kind < kNamedBuildKinds; ++kind) {
        help += "  " + std::to_string(kind) + "  \"" +
                std::string(Quarn::WinRT::detail::VersionFolderName(kind).GetView()) + "\", \"" +
                std::string(Quarn::WinRT::detail::PersistedVersionFolderName(kind).GetView()) +
                "\"\n";
    }
    help +=
        "  any other 32-bit build kind (negative, or above 7): those of 0, as the library "
        "gives them\n";
    return help;
}

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
    CLI::App app{
        "Drives the dial on the simulated platform with the host a JSON description gives, from a "
        "session script, and writes a transcript of what the dial and the host saw.\n"
        "Exit status: 0 when the session ran, 2 for a bad command line, host description or "
        "script (reported with its place; nothing runs), 1 when a command failed at run time "
        "(after the whole transcript)."};
    app.footer("\n" + ScriptCommandsHelp() + "\n" + HostDescriptionHelp());
    RunOptions options;
    std::string frames;
    app.add_option("--transcript", options.transcriptPath,
                   "Write the transcript here (default: standard output); never one of the inputs");
    CLI::Option* framesOption = app.add_option(
        "--frames", frames,
        "Write a PNG of the overlay into this folder whenever what it shows changes");
    app.add_option("host", options.hostPath, "The host description (JSON)");
    app.add_option("script", options.scriptPath, "The session script");

    CLI::App* paths = app.add_subcommand("paths", "Print where a build keeps its data");
    paths->footer("\n" + PathsHelp());
    std::string productText;
    int buildKind = 0;
    bool packaged = false;
    paths->add_option("--product", productText, "The product, by number or name")->required();
    // Every build kind the editor can pass, so that what the library does with the ones it does
    // not name can be seen here too.
    paths->add_option("--build-kind", buildKind, "The build kind, any 32-bit integer")->required();
    paths->add_flag("--packaged", packaged, "Run with package identity");
    CLI::App* live = app.add_subcommand(
        "live", "Run the dial in a window, turned with the mouse wheel or a real wheel device");
    live->footer(
        "\nInput:\n"
        "  mouse wheel           turns the puck, a notch at a time (a touchpad: fractions)\n"
        "  Ctrl, Shift           the keys the dial reads\n"
        "  middle button, space  the puck's button\n"
        "  right button          puts the puck on the screen there; drag moves it, release "
        "lifts it\n"
        "  side panel            click a radial menu entry to invoke it; choose the tool\n"
        "  window focus          the device is acquired, and lost when the focus goes\n"
        "Closing the window or SIGINT ends the session; the recording is a session script.");
    LiveOptions liveOptions;
    live->add_option("host", liveOptions.hostPath, "The host description (JSON)")->required();
    live->add_option("--tool", liveOptions.tool, "The tool to start with (default: the first)");
    live->add_option("--notch", liveOptions.notchDegrees,
                     "Degrees one wheel notch or one device detent turns the puck (default 10)");
    live->add_option("--record", liveOptions.recordPath,
                     "Write the session as a script, with the real time between events as waits");
    live->add_option("--transcript", liveOptions.transcriptPath,
                     "Write the transcript here (default: standard output)");
    live->add_option("--device", liveOptions.devicePath,
                     "Read a wheel device with a dial axis: /dev/input/eventN, or auto");
    live->add_option("--latency-log", liveOptions.latencyLogPath,
                     "At the end, write each wheel event's milliseconds to the painted frame "
                     "that shows it");
    std::optional<int> product;
    try {
        app.parse(argc, argv);
        if (paths->parsed()) {
            product = ParseProduct(productText);
            if (!product) {
                throw CLI::ValidationError("--product",
                                           "expected 0, 1, 2, Raster, Vector or "
                                           "Layout, not \"" +
                                               productText + "\"");
            }
        } else if (!live->parsed() && (options.hostPath.empty() || options.scriptPath.empty())) {
            throw CLI::RequiredError("HOST.json and SCRIPT.dial");
        }
    } catch (const CLI::CallForHelp& help) {
        return app.exit(help);
    } catch (const CLI::ParseError& error) {
        app.exit(error);
        return kExitBadInput;
    }
    if (paths->parsed()) {
        return ListPaths(*product, buildKind, packaged);
    }
    if (live->parsed()) {
        return RunLive(liveOptions, std::cerr);
    }
    if (framesOption->count() > 0) {
        options.framesDirectory = frames;
    }
    return RunSession(options, std::cerr);
}
