#include "tools/sim/run.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>

#include "tools/sim/host_description.h"
#include "tools/sim/limits.h"
#include "tools/sim/same_file.h"
#include "tools/sim/script.h"
#include "tools/sim/session.h"
#include "tools/sim/text_stream.h"
#include "tools/sim/transcript.h"

namespace Quarn::WinRT::sim {

namespace {

namespace fs = std::filesystem;

// The whole file, or a message that says why not (a folder, missing, not readable, too large).
std::optional<std::string> ReadText(const std::string& path, std::uintmax_t maximumBytes,
                                    std::string& text) {
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    if (error || !fs::exists(status)) {
        return path + ": no such file";
    }
    if (fs::is_directory(status)) {
        return path + ": is a folder, not a file";
    }
    if (fs::is_regular_file(status)) {
        const std::uintmax_t size = fs::file_size(path, error);
        if (!error && size > maximumBytes) {
            return path + ": expected at most " + std::to_string(maximumBytes) + " bytes, not " +
                   std::to_string(size);
        }
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return path + ": cannot be read: " + std::strerror(errno);
    }
    std::ostringstream buffer;
    buffer << file.rdbuf();
    if (file.bad()) {
        return path + ": cannot be read";
    }
    text = buffer.str();
    return std::nullopt;
}

// The script is read twice, once to check it and once to run it, straight from its file, so
// that memory stays flat whatever its length. What cannot be read twice (a pipe, say) is read
// whole into memory once, as the host description is.
std::optional<std::string> OpenScript(const std::string& path,
                                      std::unique_ptr<std::istream>& script) {
    std::error_code error;
    if (fs::is_regular_file(path, error)) {
        const std::uintmax_t size = fs::file_size(path, error);
        if (!error && size > limits::kMaxScriptBytes) {
            return path + ": expected at most " + std::to_string(limits::kMaxScriptBytes) +
                   " bytes, not " + std::to_string(size);
        }
        auto file = std::make_unique<std::ifstream>(path, std::ios::binary);
        if (!*file) {
            return path + ": cannot be read: " + std::strerror(errno);
        }
        script = std::move(file);
        return std::nullopt;
    }
    std::string text;
    if (auto problem = ReadText(path, limits::kMaxScriptBytes, text)) {
        return problem;
    }
    script = std::make_unique<std::istringstream>(std::move(text));
    return std::nullopt;
}

// Back to the start for the second pass; false when the stream could not be read to its end.
bool Rewind(std::istream& script) {
    if (script.bad()) {
        return false;
    }
    script.clear();
    script.seekg(0);
    return static_cast<bool>(script);
}

// Where the transcript and frames go must not be an input, and must be what it says.
std::optional<std::string> CheckOutputs(const RunOptions& options) {
    const std::string inputs[] = {options.hostPath, options.scriptPath};
    if (!options.transcriptPath.empty()) {
        for (const std::string& input : inputs) {
            if (SameFile(options.transcriptPath, input)) {
                return "--transcript " + options.transcriptPath +
                       ": would write over an input file";
            }
        }
        std::error_code error;
        if (fs::is_directory(options.transcriptPath, error)) {
            return "--transcript " + options.transcriptPath + ": is a folder, not a file";
        }
    }
    if (options.framesDirectory) {
        const std::string& folder = *options.framesDirectory;
        if (folder.empty()) {
            return "--frames: expected a folder, not an empty name";
        }
        std::error_code error;
        if (fs::exists(folder, error) && !fs::is_directory(folder, error)) {
            return "--frames " + folder + ": is not a folder";
        }
        // Frames are named frame-NNN.png: none of those may be an input or the transcript.
        for (const std::string& file : {inputs[0], inputs[1], options.transcriptPath}) {
            const fs::path path(file);
            const std::string name = path.filename().string();
            if (!file.empty() && name.starts_with("frame-") && name.ends_with(".png") &&
                SameFile(path.parent_path().empty() ? "." : path.parent_path().string(), folder)) {
                return "--frames " + folder + ": its frames would write over " + file;
            }
        }
    }
    return std::nullopt;
}

std::optional<std::string> MakeFramesFolder(const std::string& folder) {
    std::error_code error;
    fs::create_directories(folder, error);
    if (error || !fs::is_directory(folder, error)) {
        return "--frames " + folder + ": cannot be made a folder for frames";
    }
    return std::nullopt;
}

// Runs a script that CheckScript has accepted, from the start of `script`. The session changes
// the model as the host would.
int RunChecked(HostModel& model, std::istream& script, const std::string& scriptSource,
               const ScriptOptions& scriptOptions, std::ostream& transcript, std::ostream& errors,
               const std::string& framesDirectory) {
    int errorCount = 0;
    try {
        Session* current = nullptr;
        Transcript lines(transcript, [&current] {
            return current ? current->Platform().Clock().NowMs() : std::int64_t{0};
        });
        Session session(model, lines);
        session.SetFramesDirectory(framesDirectory);
        current = &session;
        // Each line is parsed again as it runs: nothing of a line outlives it. A file changed
        // since its check can hold a line that no longer parses: that ends the session.
        ForEachStep(script, scriptSource, model, scriptOptions, [&](const Step& step) {
            session.Echo(step.text);
            step.run(session);
            session.ReportChanges();
            if (session.ErrorCount() != errorCount) {
                errorCount = session.ErrorCount();
                errors << scriptSource << ":" << step.line << ": " << session.LastError() << '\n';
            }
        });
        current = nullptr;
    } catch (const std::exception& error) {
        // The dial catches what the platform raises; anything reaching here is a defect.
        errors << scriptSource << ": the session failed: " << error.what() << '\n';
        return kExitFailed;
    }
    if (script.bad()) {
        errors << scriptSource << ": could not be read to its end\n";
        return kExitFailed;
    }
    transcript.flush();
    if (!transcript) {
        errors << "the transcript could not be written completely\n";
        return kExitFailed;
    }
    if (errorCount > 0) {
        errors << scriptSource << ": " << errorCount << (errorCount == 1 ? " command" : " commands")
               << " failed\n";
        return kExitFailed;
    }
    return kExitOk;
}

}  // namespace

int RunSessionText(const std::string& hostJson, const std::string& hostSource,
                   const std::string& script, const std::string& scriptSource,
                   const std::string& baseDirectory, std::ostream& transcript, std::ostream& errors,
                   const std::string& framesDirectory,
                   const std::vector<std::string>& protectedPaths) {
    HostModel model;
    const ScriptOptions scriptOptions{baseDirectory, protectedPaths};
    try {
        model = ParseHostDescription(hostJson, hostSource);
        CheckScript(script, scriptSource, model, scriptOptions);
    } catch (const HostDescriptionError& error) {
        errors << error.what() << '\n';
        return kExitBadInput;
    } catch (const ScriptError& error) {
        errors << error.what() << '\n';
        return kExitBadInput;
    }
    TextStream lines(script);
    return RunChecked(model, lines, scriptSource, scriptOptions, transcript, errors,
                      framesDirectory);
}

int RunSession(const RunOptions& options, std::ostream& errors) {
    std::string host;
    if (const auto problem = ReadText(options.hostPath, limits::kMaxHostBytes, host)) {
        errors << *problem << '\n';
        return kExitBadInput;
    }
    std::unique_ptr<std::istream> script;
    if (const auto problem = OpenScript(options.scriptPath, script)) {
        errors << *problem << '\n';
        return kExitBadInput;
    }
    if (const auto problem = CheckOutputs(options)) {
        errors << *problem << '\n';
        return kExitBadInput;
    }
    const std::string base = fs::path(options.scriptPath).parent_path().string();
    std::vector<std::string> protectedPaths = {options.hostPath, options.scriptPath};
    if (!options.transcriptPath.empty()) {
        protectedPaths.push_back(options.transcriptPath);
    }
    const ScriptOptions scriptOptions{base.empty() ? "." : base, protectedPaths};
    const std::string frames = options.framesDirectory.value_or(std::string());
    // The inputs are checked before the transcript file and the frames folder are made, so a
    // bad input leaves nothing behind.
    HostModel model;
    try {
        model = ParseHostDescription(host, options.hostPath);
        CheckScript(*script, options.scriptPath, model, scriptOptions);
    } catch (const std::runtime_error& error) {
        errors << error.what() << '\n';
        return kExitBadInput;
    }
    if (!Rewind(*script)) {
        errors << options.scriptPath << ": cannot be read\n";
        return kExitBadInput;
    }
    if (!frames.empty()) {
        if (const auto problem = MakeFramesFolder(frames)) {
            errors << *problem << '\n';
            return kExitBadInput;
        }
    }
    if (options.transcriptPath.empty()) {
        return RunChecked(model, *script, options.scriptPath, scriptOptions, std::cout, errors,
                          frames);
    }
    std::ofstream out(options.transcriptPath, std::ios::binary);
    if (!out) {
        errors << "--transcript " << options.transcriptPath
               << ": cannot be written: " << std::strerror(errno) << '\n';
        return kExitBadInput;
    }
    return RunChecked(model, *script, options.scriptPath, scriptOptions, out, errors, frames);
}

}  // namespace Quarn::WinRT::sim
