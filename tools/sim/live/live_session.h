#pragma once
// A live session: the scripted simulator's Session driven by a person instead of a script.
// Every input becomes one script command, parsed and run exactly as a script line would be,
// echoed to the transcript and appended to the recording, so that replaying the recording gives
// the same transcript. Real time reaches the virtual clock as `wait` commands: before each
// input, and whenever one of the dial's timers comes due.
//
// Threads: the host thread (the live window's main thread) makes, drives and destroys it, and
// owns everything in it. The render thread reaches only the present listener that a caller
// installs on Graphics().

#include <chrono>
#include <cstdint>
#include <deque>
#include <fstream>
#include <memory>
#include <optional>
#include <ostream>
#include <streambuf>
#include <string>
#include <vector>

#include "overlay/dial_overlay_window.h"
#include "tools/sim/host_description.h"
#include "tools/sim/script.h"
#include "tools/sim/session.h"
#include "tools/sim/transcript.h"

namespace Quarn::WinRT::sim {

struct LiveSetup {
    std::string hostPath;
    std::string tool;            // empty: the host description's first tool
    std::string recordPath;      // empty: no recording
    std::string transcriptPath;  // empty: standard output
};

// Passes the transcript on and keeps its last lines for the window to show.
class TranscriptTail final : public std::streambuf {
public:
    static constexpr std::size_t kKeptLines = 12;

    explicit TranscriptTail(std::ostream& out) : m_out(out) {}
    const std::deque<std::string>& Lines() const { return m_lines; }
    // The text of the last line of a topic ("current", "value"), or empty.
    const std::string& Last(const std::string& topic) const;

private:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* text, std::streamsize count) override;
    void EndLine();

    std::ostream& m_out;
    std::string m_partial;
    std::deque<std::string> m_lines;
    std::string m_lastCurrent;
    std::string m_lastValue;
};

class LiveSession {
public:
    // Null with `problem` set when the host description cannot be read or parsed, the tool is
    // unknown or an output cannot be written.
    static std::unique_ptr<LiveSession> Open(const LiveSetup& setup, std::string& problem);
    ~LiveSession();
    LiveSession(const LiveSession&) = delete;
    LiveSession& operator=(const LiveSession&) = delete;

    // Brings the virtual clock up to real time, then runs one script command.
    void Run(const std::string& command);
    // Brings the virtual clock up to real time when a timer has come due on the way.
    void Tick();
    // Brings the clock up to real time and flushes the outputs: the session is complete.
    // False when the transcript or the recording could not be written.
    bool Finish(std::ostream& errors);

    const HostModel& Model() const { return m_model; }
    Session& Sim() { return *m_session; }
    SimGraphics& Graphics() { return m_session->Platform().Graphics(); }
    HWND OverlayWindow() { return m_session->Dial().GetOverlayWindow().GetHandle(); }
    // The overlay window's rectangle in the host window's pixels, when it exists.
    std::optional<RECT> OverlayRect();
    std::vector<std::string> MenuEntries();
    int SelectedEntry();  // -1 for none
    std::string ToolName();
    const TranscriptTail& Tail() const { return *m_tail; }
    std::int64_t LineCount() const { return m_transcript->LineCount(); }

private:
    LiveSession() = default;
    void Execute(const std::string& command);
    void CatchUp();
    std::int64_t RealMs() const;

    HostModel m_model;
    ScriptOptions m_scriptOptions;
    std::ofstream m_transcriptFile;
    std::ofstream m_record;
    bool m_recording = false;
    std::unique_ptr<TranscriptTail> m_tail;
    std::unique_ptr<std::ostream> m_tailStream;
    std::unique_ptr<Transcript> m_transcript;
    std::unique_ptr<Session> m_session;
    std::chrono::steady_clock::time_point m_start = std::chrono::steady_clock::now();
};

// A rotation of `degrees` as the command a script writes: within a script's bounds, rounded to
// 1e-4 degree, shortest text.
std::string RotateCommand(double degrees);

}  // namespace Quarn::WinRT::sim
