#pragma once
// Session scripts: one command a line, '#' starts a comment, words are split at blanks and a
// word in double quotes may hold blanks. Lines end in LF, CRLF or CR; a UTF-8 byte-order mark
// at the start is skipped. The whole script is checked against the host description before
// anything runs, so a mistake on line 40 stops the run before line 1; then it runs line by
// line, parsing each line again as it comes. Both passes read a stream a line at a time, so a
// script of any length keeps nothing per line in memory. ScriptCommandsHelp() lists the commands
// with their bounds.

#include <cstdint>
#include <functional>
#include <istream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "tools/sim/host_description.h"

namespace Quarn::WinRT::sim {

class Session;

class ScriptError : public std::runtime_error {
public:
    ScriptError(const std::string& source, int line, const std::string& message)
        : std::runtime_error(source + ":" + std::to_string(line) + ": " + message) {}
};

struct Step {
    int line = 0;
    std::string text;  // the command as written, without its comment
    std::function<void(Session&)> run;
};

struct ScriptOptions {
    // Relative resource directories are taken from here (the script's folder).
    std::string baseDirectory = ".";
    // Files a frame must not be written over: the inputs and the transcript.
    std::vector<std::string> protectedPaths;
};

// What a checked script adds up to.
struct ScriptTotals {
    std::int64_t commands = 0;
    std::int64_t rotationEvents = 0;
    std::int64_t virtualMs = 0;  // where the virtual clock stands after the last line
};

// Checks every line; throws ScriptError with the file, line and what was expected for the
// first mistake.
// The stream is read to its end.
ScriptTotals CheckScript(std::istream& text, const std::string& source, const HostModel& model,
                         const ScriptOptions& options);
ScriptTotals CheckScript(std::string_view text, const std::string& source, const HostModel& model,
                         const ScriptOptions& options);

// Hands each command to `visit` in order. Call it on a checked script: a line it cannot parse
// throws ScriptError as CheckScript would.
void ForEachStep(std::istream& text, const std::string& source, const HostModel& model,
                 const ScriptOptions& options, const std::function<void(const Step&)>& visit);
void ForEachStep(std::string_view text, const std::string& source, const HostModel& model,
                 const ScriptOptions& options, const std::function<void(const Step&)>& visit);

// Checks the script, then gives all its commands at once.
std::vector<Step> ParseScript(std::string_view text, const std::string& source,
                              const HostModel& model, const ScriptOptions& options);

// Splits a line into words; throws std::invalid_argument for an unclosed quote.
std::vector<std::string> SplitWords(std::string_view line);

// Every command with its arguments, bounds and what it does, for --help.
std::string ScriptCommandsHelp();

}  // namespace Quarn::WinRT::sim
