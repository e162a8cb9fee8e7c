#include "tools/sim/run.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "tools/sim/host_description.h"
#include "tools/sim/script.h"
#include "tools/sim/session.h"
#include "tools/sim/transcript.h"

namespace Quarn::WinRT::sim {

namespace {

bool ReadText(const std::string& path, std::string& text) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return false;
    }
    std::ostringstream buffer;
    buffer << file.rdbuf();
    text = buffer.str();
    return true;
}

}  // namespace

int RunSessionText(const std::string& hostJson, const std::string& hostSource,
                   const std::string& script, const std::string& scriptSource,
                   const std::string& baseDirectory, std::ostream& transcript, std::ostream& errors,
                   const std::string& framesDirectory) {
    HostModel model;
    std::vector<Step> steps;
    try {
        model = ParseHostDescription(hostJson, hostSource);
        steps = ParseScript(script, scriptSource, model, ScriptOptions{baseDirectory});
    } catch (const HostDescriptionError& error) {
        errors << error.what() << '\n';
        return kExitBadInput;
    } catch (const ScriptError& error) {
        errors << error.what() << '\n';
        return kExitBadInput;
    }

    try {
        Session* current = nullptr;
        Transcript lines(transcript, [&current] {
            return current ? current->Platform().Clock().NowMs() : std::int64_t{0};
        });
        Session session(model, lines);
        session.SetFramesDirectory(framesDirectory);
        current = &session;
        for (const Step& step : steps) {
            session.Echo(step.text);
            step.run(session);
            session.ReportChanges();
        }
        current = nullptr;
    } catch (const std::exception& error) {
        // The dial catches what the platform raises; anything reaching here is a defect.
        errors << scriptSource << ": the session failed: " << error.what() << '\n';
        return kExitFailed;
    }
    return kExitOk;
}

int RunSession(const RunOptions& options, std::ostream& errors) {
    std::string host;
    std::string script;
    if (!ReadText(options.hostPath, host)) {
        errors << options.hostPath << ": cannot be read\n";
        return kExitBadInput;
    }
    if (!ReadText(options.scriptPath, script)) {
        errors << options.scriptPath << ": cannot be read\n";
        return kExitBadInput;
    }
    if (!options.framesDirectory.empty()) {
        std::error_code error;
        std::filesystem::create_directories(options.framesDirectory, error);
        if (error || !std::filesystem::is_directory(options.framesDirectory)) {
            errors << options.framesDirectory << ": cannot be made a folder for frames\n";
            return kExitBadInput;
        }
    }
    const std::string base = std::filesystem::path(options.scriptPath).parent_path().string();
    if (options.transcriptPath.empty()) {
        return RunSessionText(host, options.hostPath, script, options.scriptPath,
                              base.empty() ? "." : base, std::cout, errors,
                              options.framesDirectory);
    }
    std::ofstream out(options.transcriptPath, std::ios::binary);
    if (!out) {
        errors << options.transcriptPath << ": cannot be written\n";
        return kExitBadInput;
    }
    return RunSessionText(host, options.hostPath, script, options.scriptPath,
                          base.empty() ? "." : base, out, errors, options.framesDirectory);
}

}  // namespace Quarn::WinRT::sim
