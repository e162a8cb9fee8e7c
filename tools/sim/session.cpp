#include "tools/sim/session.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include "bindings/corvanta/group.h"
#include "bindings/kernel/format.h"
#include "bindings/vorta/notifications.h"

#include "overlay/dial_overlay_renderer.h"
#include "overlay/dial_overlay_window.h"
#include "overlay/group_dial_overlay.h"
#include "overlay/history_dial_overlay.h"
#include "quarn/winrt/context.h"
#include "tools/sim/describe.h"

namespace Quarn::WinRT::sim {

// The editor's side of the centre mapping: the view fills the host window at 100 % zoom, so
// a point in the view is its offset from the window's corner.
class Session::Callbacks final : public IDialCallbacks {
public:
    explicit Callbacks(const RECT& window) : m_window(window) {}

    bool ComputeDialCentres(const Kernel::PointT<double>& screen, Kernel::PointT<double>& logical,
                            Kernel::PointT<double>& view) override {
        if (screen.x < m_window.left || screen.x >= m_window.right || screen.y < m_window.top ||
            screen.y >= m_window.bottom) {
            return false;
        }
        view = {screen.x - m_window.left, screen.y - m_window.top};
        logical = view;
        return true;
    }

private:
    RECT m_window;
};

Session::Session(HostModel& model, Transcript& transcript)
    : m_model(model), m_transcript(transcript) {
    m_host.SetListener([this](const sample::HostEvent& event) { OnHostEvent(event); });
    // The overlay draws at a display's pace, as it would on the desk.
    m_platform.Graphics().SetPacing(FramePacing::RealTime, 60.0);
    m_window = m_platform.Windows().CreateHostWindow(model.window, "Editor");
    m_callbacks = std::make_unique<Callbacks>(model.window);
    m_dial = detail::Dial::Create(m_window, m_callbacks.get());
    m_seenCurrent = CurrentItemState();
    m_seenOverlay = OverlayState();
}

Session::~Session() {
    // The dial goes first: its teardown still reports to the recorder and the platform.
    m_dial.Reset();
    for (void* context : m_contexts) {
        DestroyContext(context);
    }
    m_host.SetListener({});
}

void Session::Echo(std::string_view commandLine) {
    m_transcript.Line(">", commandLine);
}

void Session::OnHostEvent(const sample::HostEvent& event) {
    using Kind = sample::HostEvent::Kind;
    switch (event.kind) {
        case Kind::Log:
            m_transcript.Line("log", Quoted(event.text));
            break;
        case Kind::Trace:
            m_transcript.Line("trace", Quoted(event.text));
            break;
        case Kind::ValueWritten: {
            // The item itself names it: two tools may use one identifier for different items.
            std::string text =
                (event.item ? ItemLabel(*event.item) : ItemLabel(event.itemId, m_model)) + " = " +
                event.text;
            const auto choices = m_model.enumChoices.find(event.itemId);
            if (choices != m_model.enumChoices.end()) {
                const int index = std::atoi(event.text.c_str());
                if (index >= 0 && static_cast<std::size_t>(index) < choices->second.size()) {
                    text += " " + choices->second[static_cast<std::size_t>(index)];
                }
            }
            m_transcript.Line("value", text + (event.flag ? ", flag true" : ", flag false"));
            break;
        }
        case Kind::Notification:
            m_transcript.Line("notification",
                              event.notification
                                  ? DescribeNotification(*event.notification, event.text)
                                  : std::string("(empty)"));
            break;
        case Kind::HistoryIndexSet: {
            const auto history = m_model.document->GetHistory();
            m_transcript.Line("history", event.text + " asks for index " +
                                             std::to_string(event.index) + "; history at " +
                                             std::to_string(history->GetPosition()) + " of " +
                                             std::to_string(history->GetCount()));
            break;
        }
        case Kind::RefreshParameters:
            m_transcript.Line("refresh", event.text + " re-reads its layer's parameters");
            break;
    }
}

void Session::Statuses(std::string_view event, const std::vector<std::int32_t>& statuses,
                       std::int32_t success) {
    if (statuses.empty()) {
        m_transcript.Line("device", std::string(event) + " reached no controller");
    }
    for (const std::int32_t status : statuses) {
        if (status != success) {
            m_transcript.Line("status", std::string(event) + " handler answered 0x" +
                                            std::string(Kernel::ToStringBase<Kernel::TEncUtf8>(
                                                            static_cast<std::uint32_t>(status), 16,
                                                            8, Kernel::kPadZeros)
                                                            .GetView()));
        }
    }
}

void Session::ReportLines(std::string_view topic, const std::vector<std::string>& lines) {
    for (const std::string& line : lines) {
        m_transcript.Line(topic, line);
    }
}

std::string Session::CurrentItemState() {
    std::string text;
    const auto item = m_dial->GetCurrentItem();
    text = item ? ItemLabel(*item) : std::string("none");
    if (SimController* controller = m_platform.Wheel().ActiveController()) {
        text += "; resolution " + Number(controller->CurrentResolution(), 1) +
                " degrees, haptics " + (controller->UseAutomaticHapticFeedback() ? "on" : "off");
    }
    return text;
}

namespace {

// What the overlay shows, as a user would say it: the ring or the disc of a group with its
// current element's value, or the history label.
std::string DescribeOverlay(const detail::DialOverlay* overlay) {
    if (const auto* group = dynamic_cast<const detail::GroupDialOverlay*>(overlay)) {
        std::string text = "group overlay, ";
        text += group->IsOnScreen()
                    ? "a ring of " + std::to_string(group->GetElementCount()) + " around the puck"
                    : std::string("a disc");
        const auto current = group->GetCurrent();
        const auto record = current ? group->GetRecord(current->GetIdentifier())
                                    : std::optional<detail::GroupItem>();
        if (record) {
            text += ", current " + std::string(record->name.GetView()) + " " +
                    std::string(record->valueText.GetView());
            if (!record->unitText.IsEmpty()) {
                text += " " + std::string(record->unitText.GetView());
            }
        } else {
            text += ", no current element";
        }
        return text;
    }
    if (const auto* history = dynamic_cast<const detail::HistoryDialOverlay*>(overlay)) {
        std::string label;
        Kernel::AppendUtf8(label, history->GetText().GetView());
        return "history overlay, " + (label.empty() ? std::string("no label") : Quoted(label));
    }
    return overlay ? "an overlay" : "no overlay";
}

}  // namespace

std::string Session::OverlayState() {
    const detail::DialOverlayWindow& overlay = m_dial->GetOverlayWindow();
    const platform::draw::Point2F centre = overlay.GetCentre();
    std::string placement = "no window";
    if (const SimWindow* window = m_platform.Windows().Find(overlay.GetHandle())) {
        const RECT& r = window->rect;
        placement = "window (" + std::to_string(r.left) + ", " + std::to_string(r.top) + ") " +
                    std::to_string(r.right - r.left) + "x" + std::to_string(r.bottom - r.top);
    }
    return std::string(overlay.IsVisible() ? "shown" : "hidden") + ", " + placement + ", centre (" +
           Number(centre.x, 1) + ", " + Number(centre.y, 1) + "), " +
           DescribeOverlay(overlay.GetOverlay());
}

std::string Session::SaveFrame(const std::string& path) {
    const HWND window = m_dial->GetOverlayWindow().GetHandle();
    const std::optional<SimFrame> frame = m_platform.Graphics().RunFrame(window);
    // How the device chain fared on the way: made again after a lost device, or failing to be.
    std::string chain;
    if (const detail::DialOverlayRenderer* renderer = m_dial->GetOverlayWindow().GetRenderer()) {
        if (const unsigned again = renderer->ChainsBuilt(); again > 1) {
            chain = "; device chain made again " + std::to_string(again - 1) + " time" +
                    (again == 2 ? "" : "s") + " after a lost device";
        }
        if (const HRESULT failure = renderer->ChainFailure(); FAILED(failure)) {
            chain += "; the device chain cannot be made: 0x" +
                     std::string(Kernel::ToStringBase<Kernel::TEncUtf8>(
                                     static_cast<std::uint32_t>(failure), 16, 8, Kernel::kPadZeros)
                                     .GetView());
        }
    }
    if (!frame) {
        return "no frame: nothing presents into the overlay window" + chain;
    }
    if (!frame->SavePng(path)) {
        Error(path + ": the frame could not be written");
        return {};
    }
    const auto drawn = std::count_if(frame->pixels.begin(), frame->pixels.end(),
                                     [](std::uint32_t pixel) { return pixel != 0; });
    return path + ": " + std::to_string(frame->width) + "x" + std::to_string(frame->height) +
           (drawn == 0 ? ", fully transparent" : ", " + std::to_string(drawn) + " pixels drawn") +
           chain;
}

void Session::Frame(const std::string& path) {
    if (const std::string saved = SaveFrame(path); !saved.empty()) {
        m_transcript.Line("frame", saved);
    }
}

void Session::Error(std::string_view text) {
    m_transcript.Line("error", text);
    m_lastError = text;
    ++m_errorCount;
}

void Session::Hit(int x, int y) {
    const SimWindow* hostWindow = m_platform.Windows().Find(m_window);
    const RECT host = hostWindow ? hostWindow->rect : RECT{};
    const POINT screen{host.left + x, host.top + y};
    const HWND overlay = m_dial->GetOverlayWindow().GetHandle();
    const LRESULT answer = m_platform.Windows().Send(overlay, WM_NCHITTEST, 0,
                                                     platform::LParamFromPoint(screen.x, screen.y));
    const HWND target = m_platform.Windows().WindowFromPoint(screen);
    std::string reaches = "no window";
    if (const SimWindow* window = m_platform.Windows().Find(target)) {
        reaches = "the " + window->title + " window";
    }
    std::string claim = answer == HTCLIENT ? "client, the overlay claims it" : "transparent";
    const auto* group =
        dynamic_cast<const detail::GroupDialOverlay*>(m_dial->GetOverlayWindow().GetOverlay());
    const SimWindow* overlayWindow = m_platform.Windows().Find(overlay);
    if (answer == HTCLIENT && group && overlayWindow) {
        // The badge under the point, in the overlay window's own pixels.
        if (const auto id =
                group->ElementAt(static_cast<int>(screen.x - overlayWindow->rect.left),
                                 static_cast<int>(screen.y - overlayWindow->rect.top))) {
            const auto record = group->GetRecord(*id);
            claim += " for the badge of " +
                     (record ? std::string(record->name.GetView()) : Kernel::FourCCToString(*id));
        }
    }
    m_transcript.Line("hit", "(" + std::to_string(x) + ", " + std::to_string(y) + "): " + claim +
                                 "; the mouse reaches " + reaches);
}

void Session::ReportChanges() {
    std::vector<std::string> items = DescribeItems(*m_dial, m_model, false);
    if (items != m_seenItems) {
        ReportLines("items", DescribeItems(*m_dial, m_model));
        m_seenItems = std::move(items);
    }
    SimController* controller = m_platform.Wheel().ActiveController();
    std::vector<std::string> menu = DescribeMenu(
        controller,
        controller ? m_platform.Wheel().ConfigurationFor(controller->Window()) : nullptr,
        m_resources);
    if (menu != m_seenMenu) {
        ReportLines("menu", menu);
        m_seenMenu = std::move(menu);
    }
    std::string current = CurrentItemState();
    if (current != m_seenCurrent) {
        m_transcript.Line("current", current);
        m_seenCurrent = std::move(current);
    }
    std::string overlay = OverlayState();
    if (overlay != m_seenOverlay) {
        m_transcript.Line("overlay", overlay);
        m_seenOverlay = std::move(overlay);
        if (!m_framesDirectory.empty()) {
            char name[32];
            std::snprintf(name, sizeof name, "frame-%03d.png", ++m_framesWritten);
            const std::string saved =
                SaveFrame((std::filesystem::path(m_framesDirectory) / name).string());
            if (!saved.empty()) {
                m_transcript.Line("frame", saved);
            }
        }
    }
}

void Session::Attach() {
    m_dial->SetCurrentWindow(m_window);
    SimController* controller = m_platform.Wheel().ActiveController();
    m_transcript.Line("attach", controller && controller->Window() == m_window
                                    ? "the dial has a controller for the window"
                                    : "the dial has no controller");
}

void Session::Resources(const std::string& directory) {
    m_resources = directory;
    m_dial->SetResourcesDirectory(Kernel::String8(directory));
}

void Session::SetTool(Kernel::Counted<Tool> tool, bool defaultFromSelection) {
    if (m_dial->IsMenuFrozen()) {
        m_transcript.Line("tool",
                          "the menu is frozen while the history item is current: "
                          "the dial ignores the change");
    }
    m_dial->Update(std::move(tool), defaultFromSelection);
    // Shown after every change of tool, even when the list reads as before.
    m_seenItems.clear();
    m_seenMenu.clear();
}

void Session::Select(const std::string& entryText) {
    SimController* controller = m_platform.Wheel().ActiveController();
    if (!controller) {
        Error("no menu to choose " + Quoted(entryText) + " from: the dial has no controller");
        return;
    }
    const auto& entries = controller->GetSimMenu().Entries();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        std::string text;
        Kernel::AppendUtf8(text, entries[i]->DisplayText());
        if (text == entryText) {
            std::int32_t status = 0;
            m_platform.Wheel().InvokeMenuItem(i, &status);
            Statuses("Invoked", {status});
            return;
        }
    }
    Error("the menu has no entry " + Quoted(entryText));
}

void Session::Rotate(double degrees, int count, std::int64_t everyMs) {
    for (int i = 0; i < count; ++i) {
        if (i > 0 && everyMs > 0) {
            m_platform.Advance(everyMs);
        }
        // The rotation handler answers 1 for an event it handled.
        Statuses("RotationChanged", m_platform.Wheel().Rotate(degrees), 1);
    }
}

void Session::Click() {
    Statuses("ButtonClicked", m_platform.Wheel().Click());
}

void Session::Contact(Puck puck) {
    Statuses("ScreenContactStarted", m_platform.Wheel().ContactStart(puck.Bounds()));
}

void Session::Move(Puck puck) {
    Statuses("ScreenContactContinued", m_platform.Wheel().ContactMove(puck.Bounds()));
}

void Session::Lift() {
    Statuses("ScreenContactEnded", m_platform.Wheel().ContactEnd());
}

void Session::Acquire(std::optional<Puck> puck) {
    std::optional<platform::Rect> bounds;
    if (puck) {
        bounds = puck->Bounds();
    }
    Statuses("ControlAcquired", m_platform.Wheel().Acquire(bounds));
}

void Session::Lose() {
    Statuses("ControlLost", m_platform.Wheel().Lose());
}

void Session::Key(int virtualKey, bool down) {
    m_platform.Keys().SetKeyDown(virtualKey, down);
}

void Session::Wait(std::int64_t ms) {
    m_platform.Advance(ms);
}

void Session::Fail(const std::string& operation, HRESULT code, const std::string& message,
                   FaultMode mode) {
    m_platform.Faults().Fail(operation, code, message, mode);
}

void Session::Unsupported() {
    m_platform.Wheel().SetSupported(false);
}

void Session::Notify(NotificationKind kind, std::uint32_t identifier) {
    const Kernel::Counted<DocumentController>& document = m_model.document;
    // The stale items belong to the tool holding the item, or else to the dial's tool.
    Kernel::Counted<Kernel::Reflectable> owner = m_dial->GetTool();
    for (const Kernel::Counted<Tool>& tool : m_model.tools) {
        for (const auto& item : tool->GetDialReflecteds()) {
            if (item->GetIdentifier() == identifier) {
                owner = tool;
            }
        }
    }
    Kernel::Counted<Kernel::Notification> notification;
    switch (kind) {
        case NotificationKind::Selection:
        case NotificationKind::TemporarySelection:
            notification = Kernel::MakeCounted<NewSelectionNotification>(
                document, false, kind == NotificationKind::TemporarySelection);
            break;
        case NotificationKind::History:
            notification = Kernel::MakeCounted<DocumentHistoryChangedNotification>(document, false);
            break;
        case NotificationKind::InvalidateAll:
            notification = Kernel::MakeCounted<Kernel::InvalidateReflectedsNotification>(owner);
            break;
        case NotificationKind::Invalidate:
            notification =
                Kernel::MakeCounted<Kernel::InvalidateReflectedNotification>(owner, identifier);
            break;
        case NotificationKind::UpdateAll:
            notification = Kernel::MakeCounted<Kernel::UpdateReflectedsNotification>();
            break;
        case NotificationKind::Update:
            notification = Kernel::MakeCounted<Kernel::UpdateReflectedNotification>();
            break;
        case NotificationKind::AdjustmentParameters:
            notification =
                Kernel::MakeCounted<AdjustmentNodeParametersChangedNotification>(document, false);
            break;
    }
    m_dial->OnNotify(std::move(notification));
}

void Session::HistoryPush(const std::string& name) {
    m_model.document->GetHistory()->Push(Kernel::LocalisedString(Kernel::String8(name)));
    HistoryMoved(true, "");
}

void Session::HistoryUndo() {
    HistoryMoved(m_model.document->GetHistory()->Undo(), "nothing to undo");
}

void Session::HistoryRedo() {
    HistoryMoved(m_model.document->GetHistory()->Redo(), "nothing to redo");
}

void Session::HistoryMoved(bool moved, std::string_view otherwise) {
    if (!moved) {
        m_transcript.Line("document", otherwise);
        return;
    }
    const auto history = m_model.document->GetHistory();
    m_transcript.Line("document", "history at " + std::to_string(history->GetPosition()) + " of " +
                                      std::to_string(history->GetCount()));
    // The editor announces every change of its history.
    Notify(NotificationKind::History, 0);
}

void Session::SetSelection(const std::string& name) {
    const auto found = m_model.selections.find(name);
    m_model.document->SetSelection(found == m_model.selections.end() ? Selection() : found->second);
    m_transcript.Line("document",
                      std::to_string(m_model.document->GetSelection().GetSize()) + " selected");
    // The editor announces every change of selection.
    Notify(NotificationKind::Selection, 0);
}

void Session::Context(bool multiThreaded) {
    void* context = CreateContext(multiThreaded);
    const auto apartment = m_platform.Com().CurrentApartment();
    m_transcript.Line("context",
                      std::string(context ? "created" : "none") + "; the thread's apartment is " +
                          (!apartment                               ? "none"
                           : *apartment == Apartment::MultiThreaded ? "multi-threaded"
                                                                    : "single-threaded"));
    if (context) {
        m_contexts.push_back(context);
    }
}

void Session::ShowItems() {
    m_seenItems = DescribeItems(*m_dial, m_model, false);
    ReportLines("items", DescribeItems(*m_dial, m_model));
}

void Session::ShowMenu() {
    m_seenMenu.clear();
}

}  // namespace Quarn::WinRT::sim
