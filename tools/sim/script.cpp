#include "tools/sim/script.h"

#include <array>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <map>
#include <optional>

#include "bindings/platform/win_types.h"
#include "bindings/sim/sim_platform.h"
#include "tools/sim/session.h"

namespace Quarn::WinRT::sim {

namespace {

using Words = std::vector<std::string>;

// A complaint about one line; the parser adds the place.
struct Expected {
    std::string what;
};

double ParseDouble(const std::string& word, std::string_view what) {
    double value = 0;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (error != std::errc() || end != word.data() + word.size() || !std::isfinite(value)) {
        throw Expected{std::string(what) + " as a finite number, not \"" + word + "\""};
    }
    return value;
}

std::int64_t ParseWhole(const std::string& word, std::string_view what, std::int64_t minimum) {
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (error != std::errc() || end != word.data() + word.size() || value < minimum) {
        throw Expected{std::string(what) + " as a whole number of at least " +
                       std::to_string(minimum) + ", not \"" + word + "\""};
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
        throw Expected{"an HRESULT (0x80004005, -2147467259 or a name such as E_FAIL), not \"" +
                       word + "\""};
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

// X Y [W H] from words[from...].
Puck ParsePuck(const Words& words, std::size_t from) {
    const std::size_t count = words.size() - from;
    if (count != 2 && count != 4) {
        throw Expected{"X Y, or X Y W H"};
    }
    Puck puck;
    puck.x = static_cast<float>(ParseDouble(words[from], "X"));
    puck.y = static_cast<float>(ParseDouble(words[from + 1], "Y"));
    if (count == 4) {
        puck.width = static_cast<float>(ParseDouble(words[from + 2], "W"));
        puck.height = static_cast<float>(ParseDouble(words[from + 3], "H"));
        if (puck.width < 0 || puck.height < 0) {
            throw Expected{"a contact size of zero or more"};
        }
    }
    return puck;
}

void Arity(const Words& words, std::size_t minimum, std::size_t maximum) {
    const std::size_t arguments = words.size() - 1;
    if (arguments < minimum || arguments > maximum) {
        throw Expected{""};  // the usage says it
    }
}

struct Context {
    const HostModel& model;
    const ScriptOptions& options;
};

using Parser = std::function<void(Session&)> (*)(const Words&, const Context&);

struct CommandSpec {
    std::string_view name;
    std::string_view usage;
    Parser parse;
};

std::function<void(Session&)> Attach(const Words& w, const Context&) {
    Arity(w, 0, 0);
    return [](Session& s) { s.Attach(); };
}

std::function<void(Session&)> Resources(const Words& w, const Context& c) {
    Arity(w, 1, 1);
    std::filesystem::path directory(w[1]);
    if (directory.is_relative()) {
        directory = std::filesystem::path(c.options.baseDirectory) / directory;
    }
    // A missing folder is a case the dial handles (its icons are missing), so it is not refused.
    const std::string text = directory.lexically_normal().string();
    return [text](Session& s) { s.Resources(text); };
}

std::function<void(Session&)> ToolCommand(const Words& w, const Context& c) {
    Arity(w, 1, 64);
    const bool fromSelection = w[1] == "--from-selection";
    const std::string name = Join(w, fromSelection ? 2 : 1);
    if (name == "none") {
        return [fromSelection](Session& s) { s.SetTool({}, fromSelection); };
    }
    Kernel::Counted<Tool> tool = c.model.FindTool(name);
    if (!tool) {
        std::string known;
        for (const auto& candidate : c.model.tools) {
            known += (known.empty() ? "" : ", ") +
                     std::string(candidate->GetName().ToString().GetView());
        }
        throw Expected{"a tool of the host description (" + known + ") or none, not \"" + name +
                       "\""};
    }
    return [tool, fromSelection](Session& s) { s.SetTool(tool, fromSelection); };
}

std::function<void(Session&)> Select(const Words& w, const Context&) {
    Arity(w, 1, 64);
    const std::string entry = Join(w, 1);
    return [entry](Session& s) { s.Select(entry); };
}

std::function<void(Session&)> Rotate(const Words& w, const Context&) {
    Arity(w, 1, 4);
    const double degrees = ParseDouble(w[1], "DEGREES");
    int count = 1;
    std::int64_t every = 0;
    std::size_t next = 2;
    if (next < w.size() && w[next].starts_with('x')) {
        count = static_cast<int>(ParseWhole(w[next].substr(1), "the count after x", 1));
        ++next;
    }
    if (next < w.size()) {
        if (w[next] != "every" || next + 2 != w.size()) {
            throw Expected{""};
        }
        every = ParseWhole(w[next + 1], "MS", 0);
        next += 2;
    }
    if (next != w.size()) {
        throw Expected{""};
    }
    return [degrees, count, every](Session& s) { s.Rotate(degrees, count, every); };
}

std::function<void(Session&)> Click(const Words& w, const Context&) {
    Arity(w, 0, 0);
    return [](Session& s) { s.Click(); };
}

std::function<void(Session&)> ContactCommand(const Words& w, const Context&) {
    const Puck puck = ParsePuck(w, 1);
    return [puck](Session& s) { s.Contact(puck); };
}

std::function<void(Session&)> Move(const Words& w, const Context&) {
    const Puck puck = ParsePuck(w, 1);
    return [puck](Session& s) { s.Move(puck); };
}

std::function<void(Session&)> Lift(const Words& w, const Context&) {
    Arity(w, 0, 0);
    return [](Session& s) { s.Lift(); };
}

std::function<void(Session&)> Acquire(const Words& w, const Context&) {
    std::optional<Puck> puck;
    if (w.size() > 1) {
        puck = ParsePuck(w, 1);
    }
    return [puck](Session& s) { s.Acquire(puck); };
}

std::function<void(Session&)> Lose(const Words& w, const Context&) {
    Arity(w, 0, 0);
    return [](Session& s) { s.Lose(); };
}

std::function<void(Session&)> Key(const Words& w, const Context&) {
    Arity(w, 2, 2);
    int key = 0;
    if (w[1] == "ctrl") {
        key = VK_CONTROL;
    } else if (w[1] == "shift") {
        key = VK_SHIFT;
    } else {
        throw Expected{"ctrl or shift, not \"" + w[1] + "\""};
    }
    if (w[2] != "down" && w[2] != "up") {
        throw Expected{"down or up, not \"" + w[2] + "\""};
    }
    const bool down = w[2] == "down";
    return [key, down](Session& s) { s.Key(key, down); };
}

std::function<void(Session&)> Wait(const Words& w, const Context&) {
    Arity(w, 1, 1);
    const std::int64_t ms = ParseWhole(w[1], "MS", 0);
    return [ms](Session& s) { s.Wait(ms); };
}

std::function<void(Session&)> FailCommand(const Words& w, const Context&) {
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
        std::string known;
        for (const std::string_view name : SimPlatform::FaultableOperations()) {
            known += (known.empty() ? "" : ", ") + std::string(name);
        }
        throw Expected{"an operation of the platform (" + known + "), not \"" + operation + "\""};
    }
    const HRESULT code = ParseHresult(w[next + 1]);
    const std::string message = Join(w, next + 2);
    return [operation, code, message, mode](Session& s) { s.Fail(operation, code, message, mode); };
}

std::function<void(Session&)> Unsupported(const Words& w, const Context&) {
    Arity(w, 0, 0);
    return [](Session& s) { s.Unsupported(); };
}

std::function<void(Session&)> NotifyCommand(const Words& w, const Context&) {
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
            "invalidate-all, invalidate ITEM, update-all, update, adjustment), not \"" +
            w[1] + "\""};
    }
    std::uint32_t identifier = 0;
    if (kind->second == NotificationKind::Invalidate) {
        if (w.size() != 3 || w[2].size() != 4) {
            throw Expected{"invalidate ITEM, with the item's four-character identifier"};
        }
        // An identifier no item has is allowed: the host may name an item the dial never held.
        identifier = ParseIdentifier(w[2]);
    } else if (w.size() != 2) {
        throw Expected{""};
    }
    const NotificationKind chosen = kind->second;
    return [chosen, identifier](Session& s) { s.Notify(chosen, identifier); };
}

std::function<void(Session&)> History(const Words& w, const Context&) {
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

std::function<void(Session&)> SelectionCommand(const Words& w, const Context& c) {
    Arity(w, 1, 64);
    const std::string name = Join(w, 1);
    if (name != "none" && !c.model.selections.contains(name)) {
        throw Expected{"a selection of the host description, or none, not \"" + name + "\""};
    }
    return [name](Session& s) { s.SetSelection(name); };
}

std::function<void(Session&)> Show(const Words& w, const Context&) {
    Arity(w, 1, 1);
    if (w[1] == "items") {
        return [](Session& s) { s.ShowItems(); };
    }
    if (w[1] == "menu") {
        return [](Session& s) { s.ShowMenu(); };
    }
    throw Expected{"items or menu, not \"" + w[1] + "\""};
}

std::function<void(Session&)> ContextCommand(const Words& w, const Context&) {
    Arity(w, 1, 1);
    if (w[1] != "mta" && w[1] != "sta") {
        throw Expected{"mta or sta, not \"" + w[1] + "\""};
    }
    const bool multiThreaded = w[1] == "mta";
    return [multiThreaded](Session& s) { s.Context(multiThreaded); };
}

std::function<void(Session&)> FrameCommand(const Words& w, const Context&) {
    Arity(w, 1, 1);
    if (!w[1].ends_with(".png")) {
        throw Expected{"a file name ending in .png, not \"" + w[1] + "\""};
    }
    // Written where the simulator runs, like the transcript; made when the command runs.
    const std::string path = w[1];
    return [path](Session& s) { s.Frame(path); };
}

std::function<void(Session&)> Hit(const Words& w, const Context&) {
    Arity(w, 2, 2);
    const double x = ParseDouble(w[1], "X");
    const double y = ParseDouble(w[2], "Y");
    if (x < INT16_MIN || x > INT16_MAX || y < INT16_MIN || y > INT16_MAX) {
        throw Expected{"a point within -32768..32767 on both axes"};
    }
    return [x, y](Session& s) { s.Hit(static_cast<int>(x), static_cast<int>(y)); };
}

constexpr std::array kCommands = {
    CommandSpec{"attach", "attach", &Attach},
    CommandSpec{"resources", "resources DIR", &Resources},
    CommandSpec{"tool", "tool [--from-selection] NAME, or tool none", &ToolCommand},
    CommandSpec{"select", "select ENTRY", &Select},
    CommandSpec{"rotate", "rotate DEGREES [xCOUNT] [every MS]", &Rotate},
    CommandSpec{"click", "click", &Click},
    CommandSpec{"contact", "contact X Y [W H]", &ContactCommand},
    CommandSpec{"move", "move X Y [W H]", &Move},
    CommandSpec{"lift", "lift", &Lift},
    CommandSpec{"acquire", "acquire [X Y [W H]]", &Acquire},
    CommandSpec{"lose", "lose", &Lose},
    CommandSpec{"key", "key ctrl|shift down|up", &Key},
    CommandSpec{"wait", "wait MS", &Wait},
    CommandSpec{"fail", "fail [always] OPERATION HRESULT [MESSAGE]", &FailCommand},
    CommandSpec{"unsupported", "unsupported", &Unsupported},
    CommandSpec{"notify", "notify KIND, or notify invalidate ITEM", &NotifyCommand},
    CommandSpec{"history", "history push NAME, history undo or history redo", &History},
    CommandSpec{"selection", "selection NAME, or selection none", &SelectionCommand},
    CommandSpec{"show", "show items|menu", &Show},
    CommandSpec{"context", "context mta|sta", &ContextCommand},
    CommandSpec{"frame", "frame FILE.png", &FrameCommand},
    CommandSpec{"hit", "hit X Y", &Hit},
};

}  // namespace

std::vector<std::string> SplitWords(std::string_view line) {
    std::vector<std::string> words;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) {
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
            while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') {
                word += line[i++];
            }
        }
        words.push_back(std::move(word));
    }
    return words;
}

std::vector<Step> ParseScript(std::string_view text, const std::string& source,
                              const HostModel& model, const ScriptOptions& options) {
    std::vector<Step> steps;
    const Context context{model, options};
    int lineNumber = 0;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        const std::string_view line = text.substr(start, end - start);
        start = end + 1;
        ++lineNumber;

        Words words;
        try {
            words = SplitWords(line);
        } catch (const std::invalid_argument& missing) {
            throw ScriptError(source, lineNumber, std::string("expected ") + missing.what());
        }
        if (words.empty()) {
            continue;
        }
        const CommandSpec* command = nullptr;
        for (const CommandSpec& candidate : kCommands) {
            if (candidate.name == words[0]) {
                command = &candidate;
            }
        }
        if (!command) {
            std::string known;
            for (const CommandSpec& candidate : kCommands) {
                known += (known.empty() ? "" : ", ") + std::string(candidate.name);
            }
            throw ScriptError(source, lineNumber,
                              "expected a command (" + known + "), not \"" + words[0] + "\"");
        }
        try {
            steps.push_back(Step{lineNumber, Join(words, 0), command->parse(words, context)});
        } catch (const Expected& expected) {
            throw ScriptError(source, lineNumber,
                              "expected " +
                                  (expected.what.empty() ? std::string() : expected.what + "; ") +
                                  "usage: " + std::string(command->usage));
        } catch (const HostDescriptionError& error) {
            throw ScriptError(source, lineNumber, error.what());
        }
    }
    return steps;
}

}  // namespace Quarn::WinRT::sim
