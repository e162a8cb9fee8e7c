#include "tools/sim/script.h"

#include <array>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <map>
#include <optional>
#include <system_error>

#include "bindings/platform/win_types.h"
#include "bindings/sim/sim_platform.h"
#include "tools/sim/limits.h"
#include "tools/sim/same_file.h"
#include "tools/sim/session.h"
#include "tools/sim/text_stream.h"
#include "tools/sim/transcript.h"

namespace Quarn::WinRT::sim {

namespace {

using Words = std::vector<std::string>;

// A complaint about one line; the parser adds the place.
struct Expected {
    std::string what;
};

std::string Bound(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.15g", value);
    return text;
}

double ParseDouble(const std::string& word, std::string_view what, double minimum, double maximum) {
    double value = 0;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (error != std::errc() || end != word.data() + word.size() || !std::isfinite(value) ||
        value < minimum || value > maximum) {
        throw Expected{std::string(what) + " as a number from " + Bound(minimum) + " to " +
                       Bound(maximum) + ", not " + Quoted(word)};
    }
    return value;
}

std::int64_t ParseWhole(const std::string& word, std::string_view what, std::int64_t minimum,
                        std::int64_t maximum) {
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (error != std::errc() || end != word.data() + word.size() || value < minimum ||
        value > maximum) {
        throw Expected{std::string(what) + " as a whole number from " + std::to_string(minimum) +
                       " to " + std::to_string(maximum) + ", not " + Quoted(word)};
    }
    return value;
}

HRESULT ParseHresult(const std::string& word) {
    static const std::map<std::string, HRESULT, std::less<>> kNames = {
        {"E_FAIL", E_FAIL},
        {"E_NOTIMPL", E_NOTIMPL},
        {"E_NOINTERFACE", E_NOINTERFACE},
        {"E_POINTER", E_POINTER},
        {"E_UNEXPECTED", E_UNEXPECTED},
        {"E_ACCESSDENIED", E_ACCESSDENIED},
        {"E_INVALIDARG", E_INVALIDARG},
        {"E_OUTOFMEMORY", E_OUTOFMEMORY},
        {"RPC_E_CHANGED_MODE", RPC_E_CHANGED_MODE},
        {"REGDB_E_CLASSNOTREG", REGDB_E_CLASSNOTREG},
        // A lost graphics device, as Present, ResizeBuffers and EndDraw report it.
        {"DXGI_ERROR_DEVICE_REMOVED", platform::render::kDeviceRemoved},
        {"DXGI_ERROR_DEVICE_RESET", platform::render::kDeviceReset},
        {"D2DERR_RECREATE_TARGET", platform::render::kRecreateTarget},
    };
    if (const auto named = kNames.find(word); named != kNames.end()) {
        return named->second;
    }
    const bool hex = word.size() > 2 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X');
    std::int64_t value = 0;
    const char* begin = word.data() + (hex ? 2 : 0);
    const char* end = word.data() + word.size();
    const auto [stop, error] = std::from_chars(begin, end, value, hex ? 16 : 10);
    if (error != std::errc() || stop != end || value < INT32_MIN || value > UINT32_MAX ||
        (hex && value > UINT32_MAX)) {
        throw Expected{"an HRESULT (0x80004005, -2147467259 or a name such as E_FAIL), not " +
                       Quoted(word)};
    }
    return static_cast<HRESULT>(static_cast<std::uint32_t>(value));
}

std::string Join(const Words& words, std::size_t from) {
    std::string joined;
    for (std::size_t i = from; i < words.size(); ++i) {
        joined += (i > from ? " " : "") + words[i];
    }
    return joined;
}

constexpr double kMinPoint = limits::kMinCoordinate;
constexpr double kMaxPoint = limits::kMaxCoordinate;

// X Y [W H] from words[from...].
Puck ParsePuck(const Words& words, std::size_t from) {
    const std::size_t count = words.size() - from;
    if (count != 2 && count != 4) {
        throw Expected{"X Y, or X Y W H"};
    }
    Puck puck;
    puck.x = static_cast<float>(ParseDouble(words[from], "X", kMinPoint, kMaxPoint));
    puck.y = static_cast<float>(ParseDouble(words[from + 1], "Y", kMinPoint, kMaxPoint));
    if (count == 4) {
        puck.width = static_cast<float>(ParseDouble(words[from + 2], "W", 0, kMaxPoint));
        puck.height = static_cast<float>(ParseDouble(words[from + 3], "H", 0, kMaxPoint));
    }
    return puck;
}

void Arity(const Words& words, std::size_t minimum, std::size_t maximum) {
    const std::size_t arguments = words.size() - 1;
    if (arguments < minimum || arguments > maximum) {
        throw Expected{""};  // the usage says it
    }
}

// The script read so far: what the commands need to see of the host and of the lines above.
struct Context {
    const HostModel& model;
    const ScriptOptions& options;
    ScriptTotals totals;
};

void AddVirtualTime(Context& c, std::int64_t ms) {
    c.totals.virtualMs += ms;  // each line adds at most 6e10 ms, so this cannot wrap
    if (c.totals.virtualMs > limits::kMaxVirtualMs) {
        throw Expected{"a script whose virtual time stays within " +
                       std::to_string(limits::kMaxVirtualMs) + " ms; this line takes it to " +
                       std::to_string(c.totals.virtualMs) + " ms"};
    }
}

using Action = std::function<void(Session&)>;
using Parser = Action (*)(const Words&, Context&);

struct CommandSpec {
    std::string_view name;
    std::string_view usage;
    std::string_view help;  // what it does, with its bounds
    Parser parse;
};

Action Attach(const Words& w, Context&) {
    Arity(w, 0, 0);
    return [](Session& s) { s.Attach(); };
}

Action Resources(const Words& w, Context& c) {
    Arity(w, 1, 1);
    std::filesystem::path directory(w[1]);
    if (directory.is_relative()) {
        directory = std::filesystem::path(c.options.baseDirectory) / directory;
    }
    // A missing folder is a case the dial handles (its icons are missing), so it is not refused.
    const std::string text = directory.lexically_normal().string();
    return [text](Session& s) { s.Resources(text); };
}

std::string List(const std::vector<std::string>& names) {
    std::string known;
    for (const std::string& name : names) {
        known += (known.empty() ? "" : ", ") + name;
    }
    return known;
}

Action ToolCommand(const Words& w, Context& c) {
    Arity(w, 1, 64);
    const bool fromSelection = w[1] == "--from-selection";
    const std::string name = Join(w, fromSelection ? 2 : 1);
    if (name == "none") {
        return [fromSelection](Session& s) { s.SetTool({}, fromSelection); };
    }
    Kernel::Counted<Tool> tool = c.model.FindTool(name);
    if (!tool) {
        std::vector<std::string> known;
        for (const auto& candidate : c.model.tools) {
            known.emplace_back(candidate->GetName().ToString().GetView());
        }
        throw Expected{"a tool of the host description (" + List(known) + ") or none, not " +
                       Quoted(name)};
    }
    return [tool, fromSelection](Session& s) { s.SetTool(tool, fromSelection); };
}

Action Select(const Words& w, Context& c) {
    Arity(w, 1, 64);
    const std::string entry = Join(w, 1);
    if (!c.model.menuEntries.contains(entry)) {
        throw Expected{"an entry that a tool of the host description puts in the menu (" +
                       List({c.model.menuEntries.begin(), c.model.menuEntries.end()}) + "), not " +
                       Quoted(entry)};
    }
    return [entry](Session& s) { s.Select(entry); };
}

Action Rotate(const Words& w, Context& c) {
    Arity(w, 1, 4);
    const double degrees = ParseDouble(w[1], "DEGREES", -limits::kMaxDegrees, limits::kMaxDegrees);
    std::int64_t count = 1;
    std::int64_t every = 0;
    std::size_t next = 2;
    if (next < w.size() && w[next].starts_with('x')) {
        count = ParseWhole(w[next].substr(1), "the count after x", 1, limits::kMaxRepeats);
        ++next;
    }
    if (next < w.size()) {
        if (w[next] != "every" || next + 2 != w.size()) {
            throw Expected{""};
        }
        every = ParseWhole(w[next + 1], "MS", 0, limits::kMaxEveryMs);
        next += 2;
    }
    if (next != w.size()) {
        throw Expected{""};
    }
    c.totals.rotationEvents += count;
    if (c.totals.rotationEvents > limits::kMaxRotationEvents) {
        throw Expected{"at most " + std::to_string(limits::kMaxRotationEvents) +
                       " rotation events in a script; this line brings them to " +
                       std::to_string(c.totals.rotationEvents)};
    }
    AddVirtualTime(c, every * (count - 1));
    return
        [degrees, count, every](Session& s) { s.Rotate(degrees, static_cast<int>(count), every); };
}

Action Click(const Words& w, Context&) {
    Arity(w, 0, 0);
    return [](Session& s) { s.Click(); };
}

Action ContactCommand(const Words& w, Context&) {
    const Puck puck = ParsePuck(w, 1);
    return [puck](Session& s) { s.Contact(puck); };
}

Action Move(const Words& w, Context&) {
    const Puck puck = ParsePuck(w, 1);
    return [puck](Session& s) { s.Move(puck); };
}

Action Lift(const Words& w, Context&) {
    Arity(w, 0, 0);
    return [](Session& s) { s.Lift(); };
}

Action Acquire(const Words& w, Context&) {
    std::optional<Puck> puck;
    if (w.size() > 1) {
        puck = ParsePuck(w, 1);
    }
    return [puck](Session& s) { s.Acquire(puck); };
}

Action Lose(const Words& w, Context&) {
    Arity(w, 0, 0);
    return [](Session& s) { s.Lose(); };
}

Action Key(const Words& w, Context&) {
    Arity(w, 2, 2);
    int key = 0;
    if (w[1] == "ctrl") {
        key = VK_CONTROL;
    } else if (w[1] == "shift") {
        key = VK_SHIFT;
    } else {
        throw Expected{"ctrl or shift, not " + Quoted(w[1])};
    }
    if (w[2] != "down" && w[2] != "up") {
        throw Expected{"down or up, not " + Quoted(w[2])};
    }
    const bool down = w[2] == "down";
    return [key, down](Session& s) { s.Key(key, down); };
}

Action Wait(const Words& w, Context& c) {
    Arity(w, 1, 1);
    const std::int64_t ms = ParseWhole(w[1], "MS", 0, limits::kMaxWaitMs);
    AddVirtualTime(c, ms);
    return [ms](Session& s) { s.Wait(ms); };
}

Action FailCommand(const Words& w, Context&) {
    Arity(w, 2, 64);
    std::size_t next = 1;
    FaultMode mode = FaultMode::Once;
    if (w[next] == "always") {
        mode = FaultMode::Always;
        ++next;
    }
    if (w.size() < next + 2) {
        throw Expected{""};
    }
    const std::string operation = w[next];
    if (!SimPlatform::IsFaultableOperation(operation)) {
        std::vector<std::string> known;
        for (const std::string_view name : SimPlatform::FaultableOperations()) {
            known.emplace_back(name);
        }
        throw Expected{"an operation of the platform (" + List(known) + "), not " +
                       Quoted(operation)};
    }
    const HRESULT code = ParseHresult(w[next + 1]);
    const std::string message = Join(w, next + 2);
    return [operation, code, message, mode](Session& s) { s.Fail(operation, code, message, mode); };
}

Action Unsupported(const Words& w, Context&) {
    Arity(w, 0, 0);
    return [](Session& s) { s.Unsupported(); };
}

Action NotifyCommand(const Words& w, Context&) {
    Arity(w, 1, 2);
    static const std::map<std::string, NotificationKind, std::less<>> kKinds = {
        {"selection", NotificationKind::Selection},
        {"temporary-selection", NotificationKind::TemporarySelection},
        {"history", NotificationKind::History},
        {"invalidate-all", NotificationKind::InvalidateAll},
        {"invalidate", NotificationKind::Invalidate},
        {"update-all", NotificationKind::UpdateAll},
        {"update", NotificationKind::Update},
        {"adjustment", NotificationKind::AdjustmentParameters},
    };
    const auto kind = kKinds.find(w[1]);
    if (kind == kKinds.end()) {
        throw Expected{
            "a notification kind (selection, temporary-selection, history, "
            "invalidate-all, invalidate ITEM, update-all, update, adjustment), not " +
            Quoted(w[1])};
    }
    std::uint32_t identifier = 0;
    if (kind->second == NotificationKind::Invalidate) {
        if (w.size() != 3 || !IsIdentifier(w[2])) {
            throw Expected{
                "invalidate ITEM, with the item's four-character identifier (space to '~')"};
        }
        // An identifier no item has is allowed: the host may name an item the dial never held.
        identifier = ParseIdentifier(w[2]);
    } else if (w.size() != 2) {
        throw Expected{""};
    }
    const NotificationKind chosen = kind->second;
    return [chosen, identifier](Session& s) { s.Notify(chosen, identifier); };
}

Action History(const Words& w, Context&) {
    Arity(w, 1, 64);
    if (w[1] == "push" && w.size() >= 3) {
        const std::string name = Join(w, 2);
        return [name](Session& s) { s.HistoryPush(name); };
    }
    if (w[1] == "undo" && w.size() == 2) {
        return [](Session& s) { s.HistoryUndo(); };
    }
    if (w[1] == "redo" && w.size() == 2) {
        return [](Session& s) { s.HistoryRedo(); };
    }
    throw Expected{""};
}

Action SelectionCommand(const Words& w, Context& c) {
    Arity(w, 1, 64);
    const std::string name = Join(w, 1);
    if (name != "none" && !c.model.selections.contains(name)) {
        throw Expected{"a selection of the host description, or none, not " + Quoted(name)};
    }
    return [name](Session& s) { s.SetSelection(name); };
}

Action Show(const Words& w, Context&) {
    Arity(w, 1, 1);
    if (w[1] == "items") {
        return [](Session& s) { s.ShowItems(); };
    }
    if (w[1] == "menu") {
        return [](Session& s) { s.ShowMenu(); };
    }
    throw Expected{"items or menu, not " + Quoted(w[1])};
}

Action ContextCommand(const Words& w, Context&) {
    Arity(w, 1, 1);
    if (w[1] != "mta" && w[1] != "sta") {
        throw Expected{"mta or sta, not " + Quoted(w[1])};
    }
    const bool multiThreaded = w[1] == "mta";
    return [multiThreaded](Session& s) { s.Context(multiThreaded); };
}

Action FrameCommand(const Words& w, Context& c) {
    Arity(w, 1, 1);
    const std::string path = w[1];
    if (!path.ends_with(".png") || path.size() == 4) {
        throw Expected{"a file name ending in .png, not " + Quoted(path)};
    }
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) {
        throw Expected{"a file, not the folder " + Quoted(path)};
    }
    for (const std::string& input : c.options.protectedPaths) {
        if (SameFile(path, input)) {
            throw Expected{"a frame file that is not one of the simulator's own files, not " +
                           Quoted(path)};
        }
    }
    // Written where the simulator runs, like the transcript; made when the command runs.
    return [path](Session& s) { s.Frame(path); };
}

Action Hit(const Words& w, Context&) {
    Arity(w, 2, 2);
    const double x = ParseDouble(w[1], "X", kMinPoint, kMaxPoint);
    const double y = ParseDouble(w[2], "Y", kMinPoint, kMaxPoint);
    return [x, y](Session& s) { s.Hit(static_cast<int>(x), static_cast<int>(y)); };
}

constexpr std::array kCommands = {
    CommandSpec{"attach", "attach", "the application attaches the dial to its window", &Attach},
    CommandSpec{"resources", "resources DIR",
                "where the menu icons lie (DIR/Dial/NAME.png; relative to the script)", &Resources},
    CommandSpec{"tool", "tool [--from-selection] NAME, or tool none",
                "the application's current tool changes (--from-selection: the selected "
                "adjustment layer's tool gives the default item)",
                &ToolCommand},
    CommandSpec{"select", "select ENTRY",
                "invokes the menu entry with that text; it must be an item some tool puts in "
                "the menu, and an entry missing from the menu at that moment is a run-time error",
                &Select},
    CommandSpec{"rotate", "rotate DEGREES [xCOUNT] [every MS]",
                "the puck turned by DEGREES (-360 to 360), COUNT times (1 to 1000000, at most "
                "10000000 in a script), MS apart (0 to 60000)",
                &Rotate},
    CommandSpec{"click", "click", "the puck pressed", &Click},
    CommandSpec{"contact", "contact X Y [W H]",
                "the puck put on the screen: its centre in window pixels (-32768 to 32767) and "
                "its size (0 to 32767; 120 by 120 when left out)",
                &ContactCommand},
    CommandSpec{"move", "move X Y [W H]", "the puck moved on the screen, as contact", &Move},
    CommandSpec{"lift", "lift", "the puck lifted from the screen", &Lift},
    CommandSpec{"acquire", "acquire [X Y [W H]]",
                "the window gains the device, the puck on the screen if X Y are given", &Acquire},
    CommandSpec{"lose", "lose", "the window loses the device", &Lose},
    CommandSpec{"key", "key ctrl|shift down|up", "a key pressed or released", &Key},
    CommandSpec{"wait", "wait MS",
                "virtual time passes (0 to 86400000 ms a line, 1000000000000 ms in a script) "
                "and due timers fire",
                &Wait},
    CommandSpec{"fail", "fail [always] OPERATION HRESULT [MESSAGE]",
                "the platform operation fails once (or always) with that HRESULT", &FailCommand},
    CommandSpec{"unsupported", "unsupported", "the platform has no wheel device", &Unsupported},
    CommandSpec{"notify", "notify KIND, or notify invalidate ITEM",
                "the application forwards a notification: selection, temporary-selection, "
                "history, invalidate-all, invalidate ITEM (a four-character identifier), "
                "update-all, update, adjustment",
                &NotifyCommand},
    CommandSpec{"history", "history push NAME, history undo or history redo",
                "the document's history changes, announced as the editor would", &History},
    CommandSpec{"selection", "selection NAME, or selection none",
                "the document's selection becomes one of the description's", &SelectionCommand},
    CommandSpec{"show", "show items|menu", "prints the items or the menu again", &Show},
    CommandSpec{"context", "context mta|sta", "CreateContext on the session's thread",
                &ContextCommand},
    CommandSpec{"frame", "frame FILE.png",
                "renders the overlay window's next frame to a PNG; a file that cannot be "
                "written is a run-time error",
                &FrameCommand},
    CommandSpec{"hit", "hit X Y",
                "how the overlay window answers the mouse at that point of the host window "
                "(-32768 to 32767)",
                &Hit},
};

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Calls `line` for each line with its number; LF, CRLF and CR all end a line. The stream is read
// a line at a time, so a script of any length takes the memory of its longest line.
template <class Visit>
void ForEachLine(std::istream& text, Visit&& line) {
    int number = 0;
    std::string piece;  // up to the next LF; a CR within it ends a line too
    for (bool first = true; std::getline(text, piece); first = false) {
        std::string_view rest = piece;
        if (first && rest.starts_with(kByteOrderMark)) {
            rest.remove_prefix(kByteOrderMark.size());
        }
        for (;;) {
            const std::size_t end = rest.find('\r');
            line(++number, rest.substr(0, end));
            if (end == std::string_view::npos) {
                break;
            }
            rest.remove_prefix(end + 1);
            if (rest.empty()) {
                break;  // the CR of a CRLF, or a CR that ends the script
            }
        }
    }
}

const CommandSpec* FindCommand(std::string_view name) {
    for (const CommandSpec& candidate : kCommands) {
        if (candidate.name == name) {
            return &candidate;
        }
    }
    return nullptr;
}

// Parses every line in order; `visit` gets each command (and may ignore it).
template <class Visit>
ScriptTotals Parse(std::istream& text, const std::string& source, const HostModel& model,
                   const ScriptOptions& options, Visit&& visit) {
    Context context{model, options, {}};
    ForEachLine(text, [&](int lineNumber, std::string_view line) {
        Words words;
        try {
            words = SplitWords(line);
        } catch (const std::invalid_argument& missing) {
            throw ScriptError(source, lineNumber, std::string("expected ") + missing.what());
        }
        if (words.empty()) {
            return;
        }
        const CommandSpec* command = FindCommand(words[0]);
        if (!command) {
            std::string known;
            for (const CommandSpec& candidate : kCommands) {
                known += (known.empty() ? "" : ", ") + std::string(candidate.name);
            }
            throw ScriptError(source, lineNumber,
                              "expected a command (" + known + "), not " + Quoted(words[0]));
        }
        try {
            Action action = command->parse(words, context);
            ++context.totals.commands;
            visit(lineNumber, words, std::move(action));
        } catch (const Expected& expected) {
            throw ScriptError(source, lineNumber,
                              "expected " +
                                  (expected.what.empty() ? std::string() : expected.what + "; ") +
                                  "usage: " + std::string(command->usage));
        }
    });
    return context.totals;
}

}  // namespace

std::vector<std::string> SplitWords(std::string_view line) {
    std::vector<std::string> words;
    std::size_t i = 0;
    auto blank = [&line](std::size_t at) {
        return line[at] == ' ' || line[at] == '\t' || line[at] == '\r';
    };
    while (i < line.size()) {
        while (i < line.size() && blank(i)) {
            ++i;
        }
        if (i >= line.size() || line[i] == '#') {
            break;
        }
        std::string word;
        if (line[i] == '"') {
            const std::size_t close = line.find('"', i + 1);
            if (close == std::string_view::npos) {
                throw std::invalid_argument("a closing quote");
            }
            word = std::string(line.substr(i + 1, close - i - 1));
            i = close + 1;
        } else {
            while (i < line.size() && !blank(i)) {
                word += line[i++];
            }
        }
        words.push_back(std::move(word));
    }
    return words;
}

ScriptTotals CheckScript(std::istream& text, const std::string& source, const HostModel& model,
                         const ScriptOptions& options) {
    return Parse(text, source, model, options, [](int, const Words&, Action&&) {});
}

ScriptTotals CheckScript(std::string_view text, const std::string& source, const HostModel& model,
                         const ScriptOptions& options) {
    TextStream in(text);
    return CheckScript(in, source, model, options);
}

void ForEachStep(std::istream& text, const std::string& source, const HostModel& model,
                 const ScriptOptions& options, const std::function<void(const Step&)>& visit) {
    Parse(text, source, model, options, [&visit](int line, const Words& words, Action&& action) {
        visit(Step{line, Join(words, 0), std::move(action)});
    });
}

void ForEachStep(std::string_view text, const std::string& source, const HostModel& model,
                 const ScriptOptions& options, const std::function<void(const Step&)>& visit) {
    TextStream in(text);
    ForEachStep(in, source, model, options, visit);
}

std::vector<Step> ParseScript(std::string_view text, const std::string& source,
                              const HostModel& model, const ScriptOptions& options) {
    CheckScript(text, source, model, options);
    std::vector<Step> steps;
    ForEachStep(text, source, model, options,
                [&steps](const Step& step) { steps.push_back(step); });
    return steps;
}

namespace {

// `text` in lines of at most `width` characters, each after `indent`.
std::string Wrapped(std::string_view text, std::size_t indent, std::size_t width) {
    std::string result;
    std::size_t column = 0;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find(' '), text.size());
        const std::string_view word = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        if (column > 0 && column + 1 + word.size() > width) {
            result += '\n';
            column = 0;
        }
        if (column == 0) {
            result.append(indent, ' ');
            column = indent;
        } else {
            result += ' ';
            ++column;
        }
        result += word;
        column += word.size();
    }
    return result + "\n";
}

}  // namespace

std::string ScriptCommandsHelp() {
    std::string help =
        "Script commands (one a line; '#' starts a comment; \"double quotes\" keep blanks in "
        "one word;\nlines end in LF, CRLF or CR):\n";
    for (const CommandSpec& command : kCommands) {
        help += "  " + std::string(command.usage) + "\n" + Wrapped(command.help, 6, 96);
    }
    return help;
}

}  // namespace Quarn::WinRT::sim
