#pragma once
// A simulator session: the sample host of a host description, one dial on the simulated
// platform, and the operations a session script drives, each reporting what it caused to the
// transcript. After every operation the session compares what a user could see (the items,
// the device's menu, the current item with its rotation settings, the overlay) with what it
// saw before and reports the differences.
//
// Thread rule: the host thread only, like the dial.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "bindings/platform/geometry.h"
#include "bindings/sample_host/recorder.h"
#include "bindings/sim/fault.h"
#include "bindings/sim/sim_platform.h"
#include "dial/dial.h"
#include "tools/sim/host_description.h"
#include "tools/sim/transcript.h"

namespace Quarn::WinRT::sim {

enum class NotificationKind {
    Selection,           // the selection changed
    TemporarySelection,  // the selection changed for a moment (a drag)
    History,             // the document's history changed
    InvalidateAll,       // the tool's items are stale as a whole
    Invalidate,          // one item is stale
    UpdateAll,
    Update,
    AdjustmentParameters,  // the selected adjustment layer's parameters changed
};

struct Puck {
    float x = 0;  // centre, in the host window's pixels
    float y = 0;
    float width = 120;
    float height = 120;

    platform::Rect Bounds() const { return {x - width / 2, y - height / 2, width, height}; }
};

class Session {
public:
    Session(HostModel& model, Transcript& transcript);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    void Echo(std::string_view commandLine);

    void Attach();
    void Resources(const std::string& directory);
    // Null for no tool.
    void SetTool(Kernel::Counted<Tool> tool, bool defaultFromSelection);
    void Select(const std::string& entryText);
    void Rotate(double degrees, int count, std::int64_t everyMs);
    void Click();
    void Contact(Puck puck);
    void Move(Puck puck);
    void Lift();
    void Acquire(std::optional<Puck> puck);
    void Lose();
    void Key(int virtualKey, bool down);
    void Wait(std::int64_t ms);
    void Fail(const std::string& operation, HRESULT code, const std::string& message,
              FaultMode mode);
    void Unsupported();
    void Notify(NotificationKind kind, std::uint32_t identifier);
    void HistoryPush(const std::string& name);
    void HistoryUndo();
    void HistoryRedo();
    void SetSelection(const std::string& name);
    // CreateContext on this thread; the context is kept until the session ends.
    void Context(bool multiThreaded);
    void ShowItems();
    void ShowMenu();
    // Renders the overlay window's next frame into a PNG file.
    void Frame(const std::string& path);
    // How the overlay window answers a mouse at (x, y) in the host window's pixels.
    void Hit(int x, int y);
    // Writes a numbered PNG into `directory` whenever what the overlay shows changes.
    void SetFramesDirectory(std::string directory) { m_framesDirectory = std::move(directory); }

    // After each operation: reports what changed since the last look.
    void ReportChanges();

    // A command that could not do what the script asked (an entry the menu does not have, a
    // frame that cannot be written): an "error" line, and the run ends with a failure.
    void Error(std::string_view text);
    int ErrorCount() const { return m_errorCount; }
    const std::string& LastError() const { return m_lastError; }
    const sample::HostRecorder& Host() const { return m_host; }

    SimPlatform& Platform() { return m_platform; }
    detail::Dial& Dial() { return *m_dial; }

private:
    class Callbacks;

    void OnHostEvent(const sample::HostEvent& event);
    // Reports the history after a push, undo or redo, or `otherwise` when it did not move.
    void HistoryMoved(bool moved, std::string_view otherwise);
    // Reports the handlers' answers that are not `success`.
    void Statuses(std::string_view event, const std::vector<std::int32_t>& statuses,
                  std::int32_t success = 0);
    void ReportLines(std::string_view topic, const std::vector<std::string>& lines);
    std::string CurrentItemState();
    std::string OverlayState();
    // Saves the next frame; a line for the transcript that says what it holds.
    std::string SaveFrame(const std::string& path);

    HostModel& m_model;
    Transcript& m_transcript;
    SimPlatform m_platform;
    // Listens only: a session keeps no event, however long it runs.
    sample::HostRecorder m_host{sample::HostRecorder::Retention::ListenOnly};
    HWND m_window = nullptr;
    std::unique_ptr<Callbacks> m_callbacks;
    Kernel::Counted<detail::Dial> m_dial;
    std::string m_resources;
    std::vector<void*> m_contexts;

    std::vector<std::string> m_seenItems;  // without values: the value lines report those
    std::vector<std::string> m_seenMenu;
    std::string m_seenCurrent;
    std::string m_seenOverlay;
    std::string m_framesDirectory;
    int m_framesWritten = 0;
    int m_errorCount = 0;
    std::string m_lastError;
};

}  // namespace Quarn::WinRT::sim
