// Session scripts of any bytes, against the bundled example host: the script is checked as the
// simulator checks it, and a script that passes is run in-process as the command line runs it.
// The answer must be 0 (ran), 1 (a command failed at run time) or 2 (refused with its place, and
// then nothing ran); a session that ends in an escaping exception, a crash, a hang or a
// sanitizer report is a defect.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "fuzz/example_host.h"
#include "tools/sim/host_description.h"
#include "tools/sim/run.h"
#include "tools/sim/script.h"

namespace {

using namespace Quarn::WinRT::sim;

// Bounds on the work one input may cause when it runs: a script may ask for ten million
// rotations or a day of virtual time, which the simulator allows and a fuzzer cannot afford
// per input. Scripts beyond them are still checked, only not run.
constexpr std::int64_t kMaxRunCommands = 256;
constexpr std::int64_t kMaxRunRotations = 2'000;
constexpr std::int64_t kMaxRunVirtualMs = 10 * 60 * 1000;  // the old window's overlay timer
                                                           // fires every 2 s of it

using Quarn::WinRT::fuzz::ExampleHost;

const HostModel& ExampleModel() {
    static const HostModel model = ParseHostDescription(ExampleHost(), "paint.json");
    return model;
}

// "frame" writes files wherever the fuzzer runs; a script with one is checked but not run.
bool WritesFrames(std::string_view script) {
    bool writes = false;
    ForEachStep(script, "fuzz.dial", ExampleModel(),
                ScriptOptions{QUARN_SOURCE_DIR "/examples", {}},
                [&writes](const Step& step) { writes = writes || step.text.starts_with("frame"); });
    return writes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string script(reinterpret_cast<const char*>(data), size);
    ScriptTotals totals;
    bool refused = false;
    try {
        totals = CheckScript(script, "fuzz.dial", ExampleModel(),
                             ScriptOptions{QUARN_SOURCE_DIR "/examples", {}});
    } catch (const ScriptError&) {
        refused = true;
    }
    if (!refused &&
        (totals.commands > kMaxRunCommands || totals.rotationEvents > kMaxRunRotations ||
         totals.virtualMs > kMaxRunVirtualMs || WritesFrames(script))) {
        return 0;
    }
    std::ostringstream transcript;
    std::ostringstream errors;
    const int status = RunSessionText(ExampleHost(), "paint.json", script, "fuzz.dial",
                                      QUARN_SOURCE_DIR "/examples", transcript, errors);
    const bool answered =
        refused ? status == kExitBadInput : (status == kExitOk || status == kExitFailed);
    // A run that ends in "the session failed" means an exception escaped the dial. The line is
    // looked for at a line's start: a refusal quotes the script's words, which may say anything.
    const std::string said = "\n" + errors.str();
    const bool escaped = said.find("\nfuzz.dial: the session failed") != std::string::npos;
    if (!answered || (!refused && escaped) || (refused && !transcript.str().empty())) {
        std::cerr << "fuzz_script: status " << status << " for a script that was "
                  << (refused ? "refused" : "accepted") << "\n"
                  << errors.str();
        std::abort();
    }
    return 0;
}
