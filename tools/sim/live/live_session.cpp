#include "tools/sim/live/live_session.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <iostream>
#include <sstream>

#include "tools/sim/limits.h"
#include "tools/sim/same_file.h"

namespace Quarn::WinRT::sim {

namespace fs = std::filesystem;

const std::string& TranscriptTail::Last(const std::string& topic) const {
    static const std::string kNone;
    return topic == "current" ? m_lastCurrent : topic == "value" ? m_lastValue : kNone;
}

TranscriptTail::int_type TranscriptTail::overflow(int_type c) {
    if (c != traits_type::eof()) {
        const char ch = traits_type::to_char_type(c);
        xsputn(&ch, 1);
    }
    return traits_type::not_eof(c);
}

std::streamsize TranscriptTail::xsputn(const char* text, std::streamsize count) {
    m_out.write(text, count);
    for (std::streamsize i = 0; i < count; ++i) {
        if (text[i] == '\n') {
            EndLine();
        } else {
            m_partial += text[i];
        }
    }
    return count;
}

void TranscriptTail::EndLine() {
    // "   1234 ms  topic text": the topic follows the stamp.
    const std::size_t stamp = m_partial.find(" ms  ");
    if (stamp != std::string::npos) {
        const std::string rest = m_partial.substr(stamp + 5);
        const std::size_t blank = rest.find(' ');
        const std::string topic = rest.substr(0, blank);
        const std::string text = blank == std::string::npos ? "" : rest.substr(blank + 1);
        if (topic == "current") {
            m_lastCurrent = text;
        } else if (topic == "value") {
            m_lastValue = text;
        }
    }
    m_lines.push_back(std::move(m_partial));
    m_partial.clear();
    if (m_lines.size() > kKeptLines) {
        m_lines.pop_front();
    }
}

std::string RotateCommand(double degrees) {
    const double bounded =
        std::round(std::clamp(degrees, -limits::kMaxDegrees, limits::kMaxDegrees) * 1e4) / 1e4;
    char text[32];
    const auto [end, error] = std::to_chars(text, text + sizeof text, bounded == 0 ? 0.0 : bounded);
    return "rotate " + std::string(text, end);
}

std::unique_ptr<LiveSession> LiveSession::Open(const LiveSetup& setup, std::string& problem) {
    std::unique_ptr<LiveSession> live(new LiveSession);
    std::ifstream hostFile(setup.hostPath, std::ios::binary);
    std::error_code error;
    if (!hostFile || fs::is_directory(setup.hostPath, error)) {
        problem = setup.hostPath + ": cannot be read";
        return nullptr;
    }
    std::ostringstream host;
    host << hostFile.rdbuf();
    try {
        live->m_model = ParseHostDescription(host.str(), setup.hostPath);
    } catch (const std::runtime_error& failure) {
        problem = failure.what();
        return nullptr;
    }
    if (live->m_model.tools.empty()) {
        problem = setup.hostPath + ": the host description has no tool to dial";
        return nullptr;
    }
    std::string tools;
    for (const auto& known : live->m_model.tools) {
        tools += (tools.empty() ? "" : ", ") + std::string(known->GetName().ToString().GetView());
    }
    if (!setup.tool.empty() && !live->m_model.FindTool(setup.tool)) {
        problem =
            "--tool \"" + setup.tool + "\": not a tool of the host description (" + tools + ")";
        return nullptr;
    }
    const std::string tool =
        setup.tool.empty()
            ? std::string(live->m_model.tools.front()->GetName().ToString().GetView())
            : setup.tool;
    // The first lines of the session, checked as a script before anything is made.
    std::string opening;
    const fs::path resources = fs::absolute(setup.hostPath).parent_path() / "resources";
    if (fs::is_directory(resources, error)) {
        opening += "resources \"" + resources.lexically_normal().string() + "\"\n";
    }
    opening += "attach\ntool " + tool + "\n";
    for (const std::string& output : {setup.recordPath, setup.transcriptPath}) {
        if (!output.empty() && SameFile(output, setup.hostPath)) {
            problem = output + ": would write over the host description";
            return nullptr;
        }
    }
    if (!setup.recordPath.empty() && (setup.recordPath == setup.transcriptPath ||
                                      SameFile(setup.recordPath, setup.transcriptPath))) {
        problem = "--record " + setup.recordPath + ": is also the transcript";
        return nullptr;
    }
    try {
        CheckScript(opening, setup.hostPath, live->m_model, live->m_scriptOptions);
    } catch (const ScriptError& failure) {
        problem = failure.what();
        return nullptr;
    }
    std::ostream* out = &std::cout;
    if (!setup.transcriptPath.empty()) {
        live->m_transcriptFile.open(setup.transcriptPath, std::ios::binary);
        if (!live->m_transcriptFile) {
            problem = "--transcript " + setup.transcriptPath + ": cannot be written";
            return nullptr;
        }
        out = &live->m_transcriptFile;
    }
    if (!setup.recordPath.empty()) {
        live->m_record.open(setup.recordPath, std::ios::binary);
        if (!live->m_record) {
            problem = "--record " + setup.recordPath + ": cannot be written";
            return nullptr;
        }
        live->m_recording = true;
        live->m_record << "# Recorded by quarn-dial-sim live from " << setup.hostPath << "\n";
    }
    live->m_tail = std::make_unique<TranscriptTail>(*out);
    live->m_tailStream = std::make_unique<std::ostream>(live->m_tail.get());
    LiveSession* self = live.get();
    live->m_transcript = std::make_unique<Transcript>(*live->m_tailStream, [self] {
        return self->m_session ? self->m_session->Platform().Clock().NowMs() : std::int64_t{0};
    });
    live->m_session = std::make_unique<Session>(live->m_model, *live->m_transcript);
    std::istringstream lines(opening);
    for (std::string line; std::getline(lines, line);) {
        live->Execute(line);
    }
    return live;
}

LiveSession::~LiveSession() {
    // The dial and its render thread go before the outputs they write to.
    m_session.reset();
}

std::int64_t LiveSession::RealMs() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 m_start)
        .count();
}

void LiveSession::Execute(const std::string& command) {
    // Parsed as a script line, so the live session runs what its recording says, to the bit.
    const std::vector<Step> steps = ParseScript(command, "live", m_model, m_scriptOptions);
    for (const Step& step : steps) {
        m_session->Echo(step.text);
        step.run(*m_session);
        m_session->ReportChanges();
        if (m_recording) {
            m_record << step.text << '\n';
        }
    }
    // Each input is on disk before the next: a reader of the files sees the session as it goes.
    m_tailStream->flush();
    if (m_transcriptFile.is_open()) {
        m_transcriptFile.flush();
    } else {
        std::cout.flush();
    }
    if (m_recording) {
        m_record.flush();
    }
}

void LiveSession::CatchUp() {
    const std::int64_t behind = RealMs() - m_session->Platform().Clock().NowMs();
    if (behind > 0) {
        Execute("wait " + std::to_string(std::min(behind, limits::kMaxWaitMs)));
    }
}

void LiveSession::Run(const std::string& command) {
    CatchUp();
    Execute(command);
}

void LiveSession::Tick() {
    const auto& timers = m_session->Platform().Windows().Timers();
    const std::int64_t now = RealMs();
    if (std::any_of(timers.begin(), timers.end(),
                    [now](const SimTimer& timer) { return timer.dueMs <= now; })) {
        CatchUp();
    }
}

bool LiveSession::Finish(std::ostream& errors) {
    CatchUp();
    m_tailStream->flush();
    bool complete = true;
    if (m_transcriptFile.is_open()) {
        m_transcriptFile.flush();
        complete = static_cast<bool>(m_transcriptFile);
    } else {
        std::cout.flush();
    }
    if (!complete) {
        errors << "the transcript could not be written completely\n";
    }
    if (m_recording) {
        m_record.flush();
        if (!m_record) {
            errors << "the recording could not be written completely\n";
            complete = false;
        }
    }
    return complete;
}

std::optional<RECT> LiveSession::OverlayRect() {
    SimWindowing& windows = m_session->Platform().Windows();
    const SimWindow* overlay = windows.Find(OverlayWindow());
    if (!overlay) {
        return std::nullopt;
    }
    const RECT& host = m_model.window;
    return RECT{overlay->rect.left - host.left, overlay->rect.top - host.top,
                overlay->rect.right - host.left, overlay->rect.bottom - host.top};
}

std::vector<std::string> LiveSession::MenuEntries() {
    std::vector<std::string> entries;
    if (SimController* controller = m_session->Platform().Wheel().ActiveController()) {
        for (const auto& entry : controller->GetSimMenu().Entries()) {
            std::string text;
            Kernel::AppendUtf8(text, entry->DisplayText());
            entries.push_back(std::move(text));
        }
    }
    return entries;
}

int LiveSession::SelectedEntry() {
    if (SimController* controller = m_session->Platform().Wheel().ActiveController()) {
        const auto& entries = controller->GetSimMenu().Entries();
        const auto selected = controller->GetSimMenu().GetSelectedMenuItem();
        for (std::size_t i = 0; i < entries.size(); ++i) {
            if (selected && entries[i].Get() == selected.Get()) {
                return static_cast<int>(i);
            }
        }
    }
    return -1;
}

std::string LiveSession::ToolName() {
    const auto tool = m_session->Dial().GetTool();
    return tool ? std::string(tool->GetName().ToString().GetView()) : std::string("none");
}

}  // namespace Quarn::WinRT::sim
