#pragma once
// Session scripts: one command a line, '#' starts a comment, words are split at blanks and a
// word in double quotes may hold blanks. The whole script is read and checked against the host
// description before anything runs, so a mistake on line 40 stops the run before line 1.
//
//   attach                          resources DIR              tool [--from-selection] NAME
//   tool none                       select ENTRY               rotate DEGREES [xCOUNT] [every MS]
//   click                           contact X Y [W H]          move X Y [W H]
//   lift                            acquire [X Y [W H]]        lose
//   key ctrl|shift down|up          wait MS                    unsupported
//   fail [always] OPERATION HRESULT [MESSAGE]
//   notify selection|temporary-selection|history|invalidate-all|update-all|update|adjustment
//   notify invalidate ITEM          history push NAME | undo | redo
//   selection NAME|none             show items|menu           context mta|sta
//   frame FILE.png                  hit X Y
//
// X and Y are the puck's centre in the host window's pixels (for hit, the mouse's point); W and
// H its contact size (120 by 120 when left out). ITEM is a four-character identifier.

#include <functional>
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
};

std::vector<Step> ParseScript(std::string_view text, const std::string& source,
                              const HostModel& model, const ScriptOptions& options);

// Splits a line into words; throws std::invalid_argument for an unclosed quote.
std::vector<std::string> SplitWords(std::string_view line);

}  // namespace Quarn::WinRT::sim
