#include "tools/sim/live/live_window.h"

#include <glib-unix.h>
#include <gtk/gtk.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <csignal>
#include <fstream>
#include <iostream>
#include <optional>
#include <vector>

#include "bindings/render/sim_render.h"
#include "tools/sim/live/live_layout.h"

namespace Quarn::WinRT::sim {

namespace {

using Clock = std::chrono::steady_clock;
using live::kMenuHeaderHeight;
using live::kMenuRowHeight;
using live::kPanelWidth;

constexpr guint kTickMs = 10;            // how often due timers are looked for
constexpr std::size_t kPanelChars = 44;  // a transcript line in the panel, cut to this

// A wheel event on its way to the screen, for the latency log.
struct PendingEvent {
    Clock::time_point received;
    Clock::time_point handled;
};

class LiveWindow final : public PresentListener {
public:
    LiveWindow(LiveSession& session, WheelDevice* device, double notchDegrees)
        : m_session(session), m_device(device), m_notch(notchDegrees) {}

    void Run();
    const std::vector<double>& Latencies() const { return m_latenciesMs; }

    // Render thread.
    void OnPresented(Clock::time_point frameBegun) override {
        m_presentedBegun.store(frameBegun.time_since_epoch().count(), std::memory_order_release);
        if (!m_fetchPending.exchange(true, std::memory_order_acq_rel)) {
            // Below GTK's redraw and input: when copying frames cannot keep up with the render
            // thread (under a sanitizer, say), the window still paints and answers.
            g_idle_add_full(G_PRIORITY_DEFAULT_IDLE, &LiveWindow::FetchFrame, this, nullptr);
        }
    }

private:
    void Build();
    // Runs one script command for an input, then refreshes the panel.
    void Do(const std::string& command);
    void UpdatePanel();
    void Resolve(Clock::time_point shownBegun);
    std::string PuckAt(const char* verb, double x, double y) const {
        return std::string(verb) + " " + std::to_string(std::lround(x)) + " " +
               std::to_string(std::lround(y));
    }

    static gboolean FetchFrame(gpointer self);
    static gboolean Tick(gpointer self);
    static gboolean Quit(gpointer self);
    static gboolean DeviceReadable(gint fd, GIOCondition condition, gpointer self);
    static gboolean DrawCanvas(GtkWidget*, cairo_t* cr, gpointer self);
    static gboolean DrawMenu(GtkWidget*, cairo_t* cr, gpointer self);
    static gboolean CanvasButton(GtkWidget*, GdkEventButton* event, gpointer self);
    static gboolean CanvasMotion(GtkWidget*, GdkEventMotion* event, gpointer self);
    static gboolean CanvasScroll(GtkWidget*, GdkEventScroll* event, gpointer self);
    static gboolean MenuButton(GtkWidget*, GdkEventButton* event, gpointer self);
    static gboolean Key(GtkWidget*, GdkEventKey* event, gpointer self);
    static gboolean Focus(GtkWidget*, GdkEventFocus* event, gpointer self);
    static gboolean Close(GtkWidget*, GdkEvent*, gpointer self);
    static void ToolChosen(GtkComboBox* combo, gpointer self);

    LiveSession& m_session;
    WheelDevice* m_device;
    const double m_notch;

    // Main thread only.
    GtkWidget* m_window = nullptr;
    GtkWidget* m_canvas = nullptr;
    GtkWidget* m_menu = nullptr;
    GtkWidget* m_tools = nullptr;
    gulong m_toolsHandler = 0;
    guint m_deviceSource = 0;
    GtkWidget* m_current = nullptr;
    GtkWidget* m_value = nullptr;
    GtkWidget* m_transcript = nullptr;
    std::vector<std::string> m_entries;
    int m_selected = -1;
    std::int64_t m_linesShown = -1;
    std::optional<SimFrame> m_frame;  // the frame on the canvas
    RECT m_frameRect{};               // where, in canvas pixels
    Clock::time_point m_frameBegun{};
    bool m_blankShown = true;  // the canvas shows no overlay pixels
    bool m_contact = false;
    long m_puckX = 0;
    long m_puckY = 0;
    bool m_ctrl = false;
    bool m_shift = false;
    bool m_space = false;
    std::vector<PendingEvent> m_pending;
    std::vector<double> m_latenciesMs;

    // Written by the render thread, read by the main thread.
    std::atomic<Clock::rep> m_presentedBegun{0};
    std::atomic<bool> m_fetchPending{false};
};

GtkWidget* PanelLabel(const char* css) {
    GtkWidget* label = gtk_label_new("");
    gtk_label_set_xalign(GTK_LABEL(label), 0);
    gtk_label_set_line_wrap(GTK_LABEL(label), TRUE);
    gtk_label_set_max_width_chars(GTK_LABEL(label), static_cast<gint>(kPanelChars));
    if (css) {
        gtk_style_context_add_class(gtk_widget_get_style_context(label), css);
    }
    return label;
}

void LiveWindow::Build() {
    const RECT& host = m_session.Model().window;
    m_window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_title(GTK_WINDOW(m_window), "quarn-dial-sim live");
    gtk_window_set_resizable(GTK_WINDOW(m_window), FALSE);
    GtkWidget* row = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 0);
    gtk_container_add(GTK_CONTAINER(m_window), row);

    m_canvas = gtk_drawing_area_new();
    gtk_widget_set_size_request(m_canvas, host.right - host.left, host.bottom - host.top);
    gtk_widget_add_events(m_canvas, GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK |
                                        GDK_BUTTON3_MOTION_MASK | GDK_SCROLL_MASK |
                                        GDK_SMOOTH_SCROLL_MASK);
    gtk_box_pack_start(GTK_BOX(row), m_canvas, FALSE, FALSE, 0);

    GtkWidget* panel = gtk_box_new(GTK_ORIENTATION_VERTICAL, 6);
    gtk_widget_set_size_request(panel, kPanelWidth, -1);
    gtk_box_pack_start(GTK_BOX(row), panel, FALSE, FALSE, 0);
    m_menu = gtk_drawing_area_new();
    gtk_widget_add_events(m_menu, GDK_BUTTON_PRESS_MASK);
    gtk_box_pack_start(GTK_BOX(panel), m_menu, FALSE, FALSE, 0);
    m_tools = gtk_combo_box_text_new();
    for (const auto& tool : m_session.Model().tools) {
        gtk_combo_box_text_append_text(GTK_COMBO_BOX_TEXT(m_tools),
                                       std::string(tool->GetName().ToString().GetView()).c_str());
    }
    gtk_combo_box_text_append_text(GTK_COMBO_BOX_TEXT(m_tools), "none");
    gtk_box_pack_start(GTK_BOX(panel), m_tools, FALSE, FALSE, 0);
    m_current = PanelLabel(nullptr);
    m_value = PanelLabel(nullptr);
    m_transcript = PanelLabel("monospace");
    gtk_label_set_line_wrap(GTK_LABEL(m_transcript), FALSE);
    for (GtkWidget* label : {m_current, m_value, m_transcript}) {
        gtk_box_pack_start(GTK_BOX(panel), label, FALSE, FALSE, 0);
    }

    g_signal_connect(m_canvas, "draw", G_CALLBACK(DrawCanvas), this);
    g_signal_connect(m_canvas, "button-press-event", G_CALLBACK(CanvasButton), this);
    g_signal_connect(m_canvas, "button-release-event", G_CALLBACK(CanvasButton), this);
    g_signal_connect(m_canvas, "motion-notify-event", G_CALLBACK(CanvasMotion), this);
    g_signal_connect(m_canvas, "scroll-event", G_CALLBACK(CanvasScroll), this);
    g_signal_connect(m_menu, "draw", G_CALLBACK(DrawMenu), this);
    g_signal_connect(m_menu, "button-press-event", G_CALLBACK(MenuButton), this);
    m_toolsHandler = g_signal_connect(m_tools, "changed", G_CALLBACK(ToolChosen), this);
    g_signal_connect(m_window, "key-press-event", G_CALLBACK(Key), this);
    g_signal_connect(m_window, "key-release-event", G_CALLBACK(Key), this);
    g_signal_connect(m_window, "focus-in-event", G_CALLBACK(Focus), this);
    g_signal_connect(m_window, "focus-out-event", G_CALLBACK(Focus), this);
    g_signal_connect(m_window, "delete-event", G_CALLBACK(Close), this);
    UpdatePanel();
}

void LiveWindow::Run() {
    Build();
    m_session.Graphics().SetPresentListener(this);
    const guint tick = g_timeout_add(kTickMs, &LiveWindow::Tick, this);
    const guint interrupt = g_unix_signal_add(SIGINT, &LiveWindow::Quit, this);
    const guint terminate = g_unix_signal_add(SIGTERM, &LiveWindow::Quit, this);
    if (m_device) {
        m_deviceSource = g_unix_fd_add(m_device->Descriptor(),
                                       static_cast<GIOCondition>(G_IO_IN | G_IO_HUP | G_IO_ERR),
                                       &LiveWindow::DeviceReadable, this);
    }
    gtk_widget_show_all(m_window);
    gtk_main();
    // No frame is announced any more once the listener is gone; then the last announcement
    // still queued is dropped, so nothing calls into this window after it.
    m_session.Graphics().SetPresentListener(nullptr);
    while (g_idle_remove_by_data(this)) {
    }
    for (const guint source : {tick, interrupt, terminate, m_deviceSource}) {
        if (source != 0) {
            g_source_remove(source);
        }
    }
    gtk_widget_destroy(m_window);
    while (gtk_events_pending()) {
        gtk_main_iteration();
    }
}

void LiveWindow::Do(const std::string& command) {
    try {
        m_session.Run(command);
    } catch (const std::exception& error) {
        // A menu entry or tool whose name a script line cannot hold, say: said, and skipped.
        std::cerr << "live: " << command << ": " << error.what() << '\n';
    }
    UpdatePanel();
}

void LiveWindow::UpdatePanel() {
    if (m_session.LineCount() == m_linesShown) {
        return;
    }
    m_linesShown = m_session.LineCount();
    std::vector<std::string> entries = m_session.MenuEntries();
    const int selected = m_session.SelectedEntry();
    if (entries != m_entries || selected != m_selected) {
        m_entries = std::move(entries);
        m_selected = selected;
        gtk_widget_set_size_request(
            m_menu, kPanelWidth,
            kMenuHeaderHeight + static_cast<int>(m_entries.size()) * kMenuRowHeight);
        gtk_widget_queue_draw(m_menu);
    }
    // The chooser follows the dial's tool, without that counting as a choice.
    const std::string tool = m_session.ToolName();
    const auto& tools = m_session.Model().tools;
    int index = static_cast<int>(tools.size());
    for (std::size_t i = 0; i < tools.size(); ++i) {
        if (std::string(tools[i]->GetName().ToString().GetView()) == tool) {
            index = static_cast<int>(i);
        }
    }
    g_signal_handler_block(m_tools, m_toolsHandler);
    gtk_combo_box_set_active(GTK_COMBO_BOX(m_tools), index);
    g_signal_handler_unblock(m_tools, m_toolsHandler);

    const TranscriptTail& tail = m_session.Tail();
    gtk_label_set_text(GTK_LABEL(m_current), ("Current: " + tail.Last("current")).c_str());
    gtk_label_set_text(GTK_LABEL(m_value), ("Value: " + tail.Last("value")).c_str());
    std::string lines;
    for (const std::string& line : tail.Lines()) {
        lines += (lines.empty() ? "" : "\n") + line.substr(0, kPanelChars);
    }
    gtk_label_set_text(GTK_LABEL(m_transcript), lines.c_str());
}

// Every wheel event handled before the frame began is shown by it.
void LiveWindow::Resolve(Clock::time_point shownBegun) {
    const Clock::time_point now = Clock::now();
    std::erase_if(m_pending, [&](const PendingEvent& event) {
        if (event.handled > shownBegun) {
            return false;
        }
        m_latenciesMs.push_back(
            std::chrono::duration<double, std::milli>(now - event.received).count());
        return true;
    });
}

gboolean LiveWindow::FetchFrame(gpointer data) {
    auto* self = static_cast<LiveWindow*>(data);
    self->m_fetchPending.store(false, std::memory_order_release);
    const Clock::time_point begun{
        Clock::duration(self->m_presentedBegun.load(std::memory_order_acquire))};
    // A hidden overlay presents empty frames: once the canvas shows one, the rest are skipped
    // unread, which keeps the window's cost near nothing while the dial rests.
    if (self->m_blankShown && !self->m_session.Sim().Dial().GetOverlayWindow().IsVisible()) {
        self->Resolve(begun);
        return G_SOURCE_REMOVE;
    }
    std::optional<SimFrame> frame =
        self->m_session.Graphics().LatestFrame(self->m_session.OverlayWindow());
    const RECT rect = self->m_session.OverlayRect().value_or(RECT{});
    const bool same = frame && self->m_frame && frame->pixels == self->m_frame->pixels &&
                      rect.left == self->m_frameRect.left && rect.top == self->m_frameRect.top;
    if (same || (!frame && !self->m_frame)) {
        self->Resolve(begun);  // nothing to paint: what is on the screen shows it already
        return G_SOURCE_REMOVE;
    }
    // Only the overlay's old and new places change on the canvas.
    for (const RECT& area : {self->m_frameRect, rect}) {
        gtk_widget_queue_draw_area(self->m_canvas, area.left, area.top, area.right - area.left,
                                   area.bottom - area.top);
    }
    self->m_blankShown = !frame || frame->IsFullyTransparent();
    self->m_frame = std::move(frame);
    self->m_frameRect = rect;
    self->m_frameBegun = begun;
    return G_SOURCE_REMOVE;
}

gboolean LiveWindow::DrawCanvas(GtkWidget*, cairo_t* cr, gpointer data) {
    auto* self = static_cast<LiveWindow*>(data);
    cairo_set_source_rgb(cr, live::kCanvasGrey, live::kCanvasGrey, live::kCanvasGrey);
    cairo_paint(cr);
    cairo_set_source_rgb(cr, 0.45, 0.45, 0.45);
    cairo_move_to(cr, 12, 22);
    cairo_show_text(cr, "Host window: wheel turns, right button puts the puck down, middle clicks");
    if (self->m_frame && self->m_frame->width > 0) {
        SimFrame& frame = *self->m_frame;
        // The frame's words are Cairo's own ARGB32: premultiplied, alpha in the top byte.
        cairo_surface_t* surface = cairo_image_surface_create_for_data(
            reinterpret_cast<unsigned char*>(frame.pixels.data()), CAIRO_FORMAT_ARGB32, frame.width,
            frame.height, frame.width * 4);
        cairo_set_source_surface(cr, surface, self->m_frameRect.left, self->m_frameRect.top);
        cairo_paint(cr);
        cairo_surface_destroy(surface);
    }
    self->Resolve(self->m_frameBegun);
    return TRUE;
}

gboolean LiveWindow::DrawMenu(GtkWidget* widget, cairo_t* cr, gpointer data) {
    auto* self = static_cast<LiveWindow*>(data);
    const int width = gtk_widget_get_allocated_width(widget);
    cairo_select_font_face(cr, "sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    cairo_set_font_size(cr, 13);
    cairo_set_source_rgb(cr, 0.2, 0.2, 0.2);
    cairo_move_to(cr, 8, kMenuHeaderHeight - 9);
    cairo_show_text(cr, self->m_entries.empty() ? "Radial menu (empty)" : "Radial menu");
    cairo_select_font_face(cr, "sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    for (std::size_t i = 0; i < self->m_entries.size(); ++i) {
        const double top = kMenuHeaderHeight + static_cast<double>(i) * kMenuRowHeight;
        const bool selected = static_cast<int>(i) == self->m_selected;
        cairo_set_source_rgb(cr, selected ? 0.75 : 0.93, selected ? 0.85 : 0.93, 1.0);
        cairo_rectangle(cr, 4, top + 1, width - 8, kMenuRowHeight - 2);
        cairo_fill(cr);
        cairo_set_source_rgb(cr, 0.1, 0.1, 0.1);
        cairo_move_to(cr, 12, top + kMenuRowHeight - 9);
        cairo_show_text(cr, self->m_entries[i].c_str());
    }
    return TRUE;
}

gboolean LiveWindow::MenuButton(GtkWidget*, GdkEventButton* event, gpointer data) {
    auto* self = static_cast<LiveWindow*>(data);
    if (event->type != GDK_BUTTON_PRESS || event->button != 1) {
        return FALSE;
    }
    const int row = static_cast<int>(std::floor((event->y - kMenuHeaderHeight) / kMenuRowHeight));
    if (event->y >= kMenuHeaderHeight && row >= 0 &&
        row < static_cast<int>(self->m_entries.size())) {
        self->Do("select " + self->m_entries[static_cast<std::size_t>(row)]);
    }
    return TRUE;
}

gboolean LiveWindow::CanvasButton(GtkWidget*, GdkEventButton* event, gpointer data) {
    auto* self = static_cast<LiveWindow*>(data);
    if (event->type == GDK_BUTTON_PRESS && event->button == 2) {
        self->Do("click");
    } else if (event->type == GDK_BUTTON_PRESS && event->button == 3 && !self->m_contact) {
        self->m_contact = true;
        self->m_puckX = std::lround(event->x);
        self->m_puckY = std::lround(event->y);
        self->Do(self->PuckAt("contact", event->x, event->y));
    } else if (event->type == GDK_BUTTON_RELEASE && event->button == 3 && self->m_contact) {
        self->m_contact = false;
        self->Do("lift");
    }
    return TRUE;
}

gboolean LiveWindow::CanvasMotion(GtkWidget*, GdkEventMotion* event, gpointer data) {
    auto* self = static_cast<LiveWindow*>(data);
    if (self->m_contact &&
        (std::lround(event->x) != self->m_puckX || std::lround(event->y) != self->m_puckY)) {
        self->m_puckX = std::lround(event->x);
        self->m_puckY = std::lround(event->y);
        self->Do(self->PuckAt("move", event->x, event->y));
    }
    return TRUE;
}

gboolean LiveWindow::CanvasScroll(GtkWidget*, GdkEventScroll* event, gpointer data) {
    auto* self = static_cast<LiveWindow*>(data);
    const Clock::time_point received = Clock::now();
    double notches = 0;
    switch (event->direction) {
        case GDK_SCROLL_UP:
            notches = 1;
            break;
        case GDK_SCROLL_DOWN:
            notches = -1;
            break;
        case GDK_SCROLL_SMOOTH:
            // A high-resolution wheel or a touchpad: fractions of a notch, away from you is up.
            notches = -event->delta_y;
            break;
        default:
            return FALSE;
    }
    if (notches == 0) {
        return TRUE;
    }
    self->Do(RotateCommand(notches * self->m_notch));
    // Until the dial first makes an overlay no frame is presented: nothing shows the turn.
    if (self->m_session.Graphics().IsPresenting(self->m_session.OverlayWindow())) {
        self->m_pending.push_back({received, Clock::now()});
    }
    return TRUE;
}

gboolean LiveWindow::Key(GtkWidget*, GdkEventKey* event, gpointer data) {
    auto* self = static_cast<LiveWindow*>(data);
    const bool down = event->type == GDK_KEY_PRESS;
    // Held keys repeat their presses: only changes count.
    auto change = [&](bool& state, const char* key) {
        if (state != down) {
            state = down;
            self->Do(std::string("key ") + key + (down ? " down" : " up"));
        }
    };
    switch (event->keyval) {
        case GDK_KEY_Control_L:
        case GDK_KEY_Control_R:
            change(self->m_ctrl, "ctrl");
            return FALSE;
        case GDK_KEY_Shift_L:
        case GDK_KEY_Shift_R:
            change(self->m_shift, "shift");
            return FALSE;
        case GDK_KEY_space:
            if (down && !self->m_space) {
                self->Do("click");
            }
            self->m_space = down;
            return TRUE;
        default:
            return FALSE;
    }
}

gboolean LiveWindow::Focus(GtkWidget*, GdkEventFocus* event, gpointer data) {
    static_cast<LiveWindow*>(data)->Do(event->in ? "acquire" : "lose");
    return FALSE;
}

gboolean LiveWindow::Close(GtkWidget*, GdkEvent*, gpointer) {
    gtk_main_quit();
    return TRUE;  // destroyed after the loop, once nothing can call into it
}

gboolean LiveWindow::Quit(gpointer) {
    gtk_main_quit();
    return G_SOURCE_CONTINUE;
}

gboolean LiveWindow::Tick(gpointer data) {
    auto* self = static_cast<LiveWindow*>(data);
    self->m_session.Tick();
    self->UpdatePanel();
    return G_SOURCE_CONTINUE;
}

void LiveWindow::ToolChosen(GtkComboBox* combo, gpointer data) {
    auto* self = static_cast<LiveWindow*>(data);
    gchar* text = gtk_combo_box_text_get_active_text(GTK_COMBO_BOX_TEXT(combo));
    if (text) {
        const std::string tool = text;
        g_free(text);
        self->Do("tool " + tool);
    }
}

gboolean LiveWindow::DeviceReadable(gint, GIOCondition, gpointer data) {
    auto* self = static_cast<LiveWindow*>(data);
    const WheelDevice::Handlers handlers{
        [self](int detents) { self->Do(RotateCommand(detents * self->m_notch)); },
        [self] { self->Do("click"); }};
    if (!self->m_device->ReadPending(handlers)) {
        std::cerr << "live: " << self->m_device->Path() << ": the device is gone\n";
        self->m_deviceSource = 0;
        return G_SOURCE_REMOVE;
    }
    return G_SOURCE_CONTINUE;
}

}  // namespace

void RunLiveWindow(LiveSession& session, WheelDevice* device, double notchDegrees,
                   const std::string& latencyLog) {
    LiveWindow window(session, device, notchDegrees);
    window.Run();
    if (!latencyLog.empty()) {
        std::ofstream log(latencyLog);
        for (const double ms : window.Latencies()) {
            log << ms << '\n';
        }
    }
}

}  // namespace Quarn::WinRT::sim
