// The overlay's frame cost through the drawing interface against plain Cairo, and how long the
// host thread is held up by the render thread.

#include <benchmark/benchmark.h>
#include <cairo.h>
#include <pango/pangocairo.h>

#include <algorithm>
#include <chrono>

#include "bindings/corvanta/group.h"
#include "bindings/draw/cairo_draw.h"
#include "bindings/draw/cairo_target.h"
#include "bindings/draw/geometry_model.h"
#include "bindings/draw/pango_text.h"
#include "bindings/sim/sim_platform.h"
#include "bindings/vorta/attributes.h"
#include "bindings/vorta/document.h"
#include "bindings/vorta/tool.h"
#include "dial/history_cache.h"
#include "overlay/create_overlay.h"
#include "overlay/dial_overlay.h"
#include "overlay/dial_overlay_window.h"
#include "overlay/group_dial_overlay.h"
#include "overlay/history_dial_overlay.h"
#include "overlay/ring_geometry.h"

namespace {

using namespace Quarn::WinRT;
namespace draw = platform::draw;
using platform::MakeRef;
using platform::Ref;

constexpr int kSize = 382;
constexpr char16_t kText[] = u"Brush stroke 12 of 40";
constexpr char kTextUtf8[] = "Brush stroke 12 of 40";
constexpr draw::Point2F kAnchor{221, 191};  // 30 px right of a 160 px puck at the centre

// The label that both overlay kinds draw: white text in a black pill beside the puck.
class LabelOverlay final : public detail::DialOverlay {
public:
    detail::OverlayRect ComputeWindowRect(const detail::OverlayRect& contact) override {
        return contact;
    }
    void Draw(const detail::DrawContext& context) override {
        if (!m_white) {
            context.deviceContext->CreateSolidColourBrush({1, 1, 1, 1}, &m_white);
            context.deviceContext->CreateSolidColourBrush({0, 0, 0, 1}, &m_black);
        }
        DrawLabel(kText, kAnchor, context, m_white, GetTextFormat(context), m_black);
    }

private:
    Ref<draw::SolidColourBrush> m_white;
    Ref<draw::SolidColourBrush> m_black;
};

void BM_LabelFrameThroughInterface(benchmark::State& state) {
    sim::SimPlatform platform;
    draw::CairoImageTarget target(kSize, kSize);
    Ref<draw::Factory> factory = MakeRef<draw::ModelFactory>();
    Ref<draw::TextFactory> text = draw::CreatePangoTextFactory();
    Ref<draw::DeviceContext> context = draw::CreateCairoDeviceContext(factory, text);
    static_cast<draw::CairoDeviceContext*>(context.Get())->SetTarget(&target);
    LabelOverlay overlay;
    const detail::DrawContext frame{context, text, &platform.Windows()};
    for (auto _ : state) {
        context->BeginDraw();
        context->Clear(std::nullopt);
        overlay.Draw(frame);
        benchmark::DoNotOptimize(context->EndDraw());
    }
    state.counters["drawn"] =
        target.Pixel(static_cast<int>(kAnchor.x) + 40, static_cast<int>(kAnchor.y)) != 0;
}
BENCHMARK(BM_LabelFrameThroughInterface)->Unit(benchmark::kMicrosecond);

// The same picture in a few lines of Cairo and Pango: the floor the interface is held to. With
// `keepLayout` the text is shaped once for every frame, as the interface's text factory does
// while the label stays the same; without, it is shaped anew each frame.
void LabelFramePlainCairo(benchmark::State& state, bool keepLayout) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kSize, kSize);
    PangoFontMap* fonts = pango_cairo_font_map_new();
    PangoContext* pango = pango_font_map_create_context(fonts);
    PangoFontDescription* font = pango_font_description_from_string("DejaVu Sans");
    pango_font_description_set_absolute_size(font, 24 * PANGO_SCALE);
    PangoLayout* kept = nullptr;
    for (auto _ : state) {
        cairo_t* cr = cairo_create(surface);
        cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
        cairo_paint(cr);
        cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
        PangoLayout* layout = kept;
        if (!layout) {
            layout = pango_layout_new(pango);
            pango_layout_set_font_description(layout, font);
            pango_layout_set_text(layout, kTextUtf8, -1);
            if (keepLayout) {
                kept = layout;
            }
        }
        PangoRectangle logical;
        pango_layout_get_extents(layout, nullptr, &logical);
        const double w = logical.width / double(PANGO_SCALE);
        const double h = logical.height / double(PANGO_SCALE);
        const double left = kAnchor.x;
        const double top = kAnchor.y - h;
        const double right = kAnchor.x + w + 2 * h;
        const double r = 1.5 * h;
        cairo_new_sub_path(cr);
        cairo_arc(cr, right - r, top + r, r, -G_PI / 2, G_PI / 2);
        cairo_arc(cr, left + r, top + r, r, G_PI / 2, 3 * G_PI / 2);
        cairo_close_path(cr);
        cairo_set_source_rgba(cr, 0, 0, 0, 1);
        cairo_fill(cr);
        cairo_set_source_rgba(cr, 1, 1, 1, 1);
        cairo_move_to(cr, kAnchor.x + h, kAnchor.y);
        pango_cairo_show_layout(cr, layout);
        if (!keepLayout) {
            g_object_unref(layout);
        }
        cairo_destroy(cr);
        cairo_surface_flush(surface);
    }
    if (kept) {
        g_object_unref(kept);
    }
    pango_font_description_free(font);
    g_object_unref(pango);
    g_object_unref(fonts);
    cairo_surface_destroy(surface);
}
void BM_LabelFramePlainCairo(benchmark::State& state) {
    LabelFramePlainCairo(state, false);
}
void BM_LabelFramePlainCairoKeptLayout(benchmark::State& state) {
    LabelFramePlainCairo(state, true);
}
BENCHMARK(BM_LabelFramePlainCairo)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LabelFramePlainCairoKeptLayout)->Unit(benchmark::kMicrosecond);

// --- The two overlay kinds at their real window sizes: the ring around a 120-pixel puck in its
// 920-pixel window, the disc in the default 382-pixel box, the history label in its window
// grown by 500. Each beside the same picture drawn with Cairo and Pango directly, text laid out
// anew every frame as the overlays do.

constexpr float kPuck = 120;
constexpr int kRingWindow = 920;
constexpr int kDiscWindow = 382;
constexpr int kHistoryWindow = 1382;

struct OverlayFrameSetup {
    OverlayFrameSetup(int width, int height) : target(width, height) {
        static_cast<draw::CairoDeviceContext*>(context.Get())->SetTarget(&target);
    }
    template <class Overlay>
    void Frame(Overlay& overlay) {
        context->BeginDraw();
        context->Clear(std::nullopt);
        overlay.Draw(frame);
        benchmark::DoNotOptimize(context->EndDraw());
    }

    sim::SimPlatform platform;
    draw::CairoImageTarget target;
    Ref<draw::Factory> factory = MakeRef<draw::ModelFactory>();
    Ref<draw::TextFactory> text = draw::CreatePangoTextFactory();
    Ref<draw::DeviceContext> context = draw::CreateCairoDeviceContext(factory, text);
    detail::DrawContext frame{context, text, &platform.Windows()};
};

// Elements as a colour group has them: the first with a colour ramp, the rest plain.
std::vector<Kernel::Counted<Kernel::Reflected>> RingElements(int count) {
    static constexpr const char* kNames[] = {"Hue",     "Saturation", "Lightness", "Alpha",
                                             "Red",     "Green",      "Blue",      "Cyan",
                                             "Magenta", "Yellow",     "Key",       "Gamma"};
    std::vector<Kernel::Counted<Kernel::Reflected>> elements;
    for (int i = 0; i < count; ++i) {
        auto element = Kernel::MakeCounted<Kernel::ReflectedRangeT<double>>(
            static_cast<std::uint32_t>(0x656C0000 + i), kNames[i % 12], 0.1 + 0.07 * i, 0.0, 1.0);
        if (i == 0) {
            element->AppendAttribute(
                Kernel::MakeCounted<Corvanta::ColourRangeAttribute>(0x0000FFu, 0xFF0000u));
        }
        element->AppendAttribute(Kernel::MakeCounted<PrecisionAttribute>(2));
        elements.push_back(element);
    }
    return elements;
}

void RingFrameThroughInterface(benchmark::State& state, bool onScreen) {
    const int count = static_cast<int>(state.range(0));
    const int size = onScreen ? kRingWindow : kDiscWindow;
    OverlayFrameSetup setup(size, size);
    auto document = Kernel::MakeCounted<DocumentController>();
    auto tool = Kernel::MakeCounted<Tool>(1, "Brush", document);
    const auto elements = RingElements(count);
    detail::GroupDialOverlay overlay;
    overlay.SetItems(tool, elements, elements[elements.size() > 1 ? 1 : 0]);
    overlay.SetFactory(setup.factory);
    overlay.SetContact(onScreen);
    const float side = onScreen ? kPuck : static_cast<float>(kDiscWindow);
    const float at = onScreen ? 400 : 0;
    overlay.SetLayout({0, 0, static_cast<float>(size), static_cast<float>(size)},
                      {at, at, side, side});
    for (auto _ : state) {
        setup.Frame(overlay);
    }
    state.counters["drawn"] = setup.target.Pixel(size / 2, size / 2) != 0;
}
void BM_RingFrameThroughInterface(benchmark::State& state) {
    RingFrameThroughInterface(state, true);
}
void BM_DiscFrameThroughInterface(benchmark::State& state) {
    RingFrameThroughInterface(state, false);
}
BENCHMARK(BM_RingFrameThroughInterface)->Arg(1)->Arg(3)->Arg(12)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DiscFrameThroughInterface)->Arg(3)->Unit(benchmark::kMicrosecond);

void BM_HistoryFrameThroughInterface(benchmark::State& state) {
    OverlayFrameSetup setup(kHistoryWindow, kHistoryWindow);
    auto item = Kernel::MakeCounted<Kernel::Reflected>(Kernel::FourCC("hist"), "History");
    auto cache = Kernel::MakeCounted<detail::DocumentHistoryCacheAttribute>();
    cache->position = 12;
    cache->count = 40;
    cache->description = Kernel::String8("Brush stroke");
    item->AppendAttribute(cache);
    detail::HistoryDialOverlay overlay;
    overlay.SetItem(item);
    overlay.SetLayout({0, 0, kHistoryWindow, kHistoryWindow}, {500, 500, 382, 382});
    for (auto _ : state) {
        setup.Frame(overlay);
    }
    state.counters["drawn"] = setup.target.Pixel(950, 700) != 0;
}
BENCHMARK(BM_HistoryFrameThroughInterface)->Unit(benchmark::kMicrosecond);

// Plain Cairo and Pango: the same shapes and texts, the way one would write them by hand.
struct PlainCairo {
    PlainCairo(int width, int height)
        : surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height)),
          fonts(pango_cairo_font_map_new()),
          pango(pango_font_map_create_context(fonts)),
          font(pango_font_description_from_string("DejaVu Sans")),
          small(pango_font_description_from_string("DejaVu Sans")) {
        pango_font_description_set_absolute_size(font, 24 * PANGO_SCALE);
        pango_font_description_set_absolute_size(small, 20 * PANGO_SCALE);
    }
    ~PlainCairo() {
        pango_font_description_free(font);
        pango_font_description_free(small);
        g_object_unref(pango);
        g_object_unref(fonts);
        cairo_surface_destroy(surface);
    }
    cairo_t* Begin() {
        cairo_t* cr = cairo_create(surface);
        cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
        cairo_paint(cr);
        cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
        return cr;
    }
    void End(cairo_t* cr) {
        cairo_destroy(cr);
        cairo_surface_flush(surface);
    }
    // A new layout of the text, as every frame makes; its logical size in pixels.
    PangoLayout* Layout(const char* text, PangoFontDescription* description, double* width,
                        double* height) {
        PangoLayout* layout = pango_layout_new(pango);
        pango_layout_set_font_description(layout, description);
        pango_layout_set_text(layout, text, -1);
        pango_layout_set_alignment(layout, PANGO_ALIGN_CENTER);
        PangoRectangle logical;
        pango_layout_get_extents(layout, nullptr, &logical);
        *width = logical.width / double(PANGO_SCALE);
        *height = logical.height / double(PANGO_SCALE);
        return layout;
    }
    void Text(cairo_t* cr, const char* text, PangoFontDescription* description, double x, double y,
              bool centred) {
        double w = 0;
        double h = 0;
        PangoLayout* layout = Layout(text, description, &w, &h);
        cairo_move_to(cr, centred ? x - w / 2 : x, centred ? y - h / 2 : y);
        pango_cairo_show_layout(cr, layout);
        g_object_unref(layout);
    }
    void Disc(cairo_t* cr, double x, double y, double r) {
        cairo_new_sub_path(cr);
        cairo_arc(cr, x, y, r, 0, 2 * G_PI);
        cairo_fill(cr);
    }
    // An arc of `degrees` clockwise from the top.
    void ValueArc(cairo_t* cr, double x, double y, double r, double degrees, double width) {
        if (degrees <= 0) {
            return;
        }
        cairo_set_line_width(cr, width);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
        cairo_new_sub_path(cr);
        cairo_arc(cr, x, y, r, -G_PI / 2, -G_PI / 2 + degrees * G_PI / 180);
        cairo_stroke(cr);
    }
    void Pill(cairo_t* cr, const char* text, double ax, double ay) {
        double w = 0;
        double h = 0;
        PangoLayout* layout = Layout(text, font, &w, &h);
        const double r = 1.5 * h;
        const double top = ay - h;
        const double right = ax + w + 2 * h;
        cairo_set_source_rgba(cr, 0, 0, 0, 1);
        cairo_new_sub_path(cr);
        cairo_arc(cr, right - r, top + r, r, -G_PI / 2, G_PI / 2);
        cairo_arc(cr, ax + r, top + r, r, G_PI / 2, 3 * G_PI / 2);
        cairo_close_path(cr);
        cairo_fill(cr);
        cairo_set_source_rgba(cr, 1, 1, 1, 1);
        cairo_move_to(cr, ax + h, ay);
        pango_cairo_show_layout(cr, layout);
        g_object_unref(layout);
    }

    cairo_surface_t* surface;
    PangoFontMap* fonts;
    PangoContext* pango;
    PangoFontDescription* font;
    PangoFontDescription* small;
};

void BM_RingFramePlainCairo(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    PlainCairo plain(kRingWindow, kRingWindow);
    const detail::RingGeometry ring({460, 460}, kPuck, static_cast<std::size_t>(count));
    const double R = ring.valueRadius;
    const auto elements = RingElements(count);
    const int current = count > 1 ? 1 : 0;
    for (auto _ : state) {
        cairo_t* cr = plain.Begin();
        cairo_set_source_rgba(cr, 0, 0, 0, 1);
        plain.Disc(cr, 460, 460, R + 14);
        cairo_set_source_rgba(cr, 0.3, 0.3, 0.3, 1);
        plain.Disc(cr, 460, 460, R);
        // The track: a band 140 wide with round ends along the ring.
        cairo_set_source_rgba(cr, 0, 0, 0, 1);
        cairo_set_line_width(cr, 140);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        cairo_new_sub_path(cr);
        cairo_arc(cr, 460, 460, ring.ringRadius, ring.firstAngle,
                  ring.firstAngle + ring.TrackSweep());
        cairo_stroke(cr);
        for (int i = 0; i < count; ++i) {
            const auto centre = ring.ElementCentre(static_cast<std::size_t>(i));
            cairo_set_source_rgba(cr, 0.8, 0.2, 0.3, 1);
            if (i == current) {
                plain.Disc(cr, centre.x, centre.y, 56);
            } else {
                cairo_save(cr);
                cairo_new_sub_path(cr);
                cairo_arc(cr, centre.x, centre.y, 56, 0, 2 * G_PI);
                cairo_clip(cr);
                cairo_set_line_width(cr, 20);
                cairo_new_sub_path(cr);
                cairo_arc(cr, centre.x, centre.y, 56, 0, 2 * G_PI);
                cairo_stroke(cr);
                cairo_restore(cr);
            }
        }
        for (int i = 0; i < count; ++i) {
            const auto centre = ring.ElementCentre(static_cast<std::size_t>(i));
            if (i == current) {
                cairo_set_source_rgba(cr, 1, 1, 1, 1);
                plain.Text(cr, "0.17", plain.font, centre.x, centre.y, true);
                plain.Text(cr, "", plain.small, centre.x, centre.y + 15, true);
            } else {
                cairo_set_source_rgba(cr, 0.3, 0.3, 0.3, 1);
                const char initial[2] = {
                    elements[static_cast<std::size_t>(i)]->GetName().ToString().GetView()[0], 0};
                plain.Text(cr, initial, plain.font, centre.x, centre.y, true);
            }
            cairo_set_source_rgba(cr, 1, 1, 1, 1);
            plain.ValueArc(cr, centre.x, centre.y, 51, (0.1 + 0.07 * i) * 360, 10);
        }
        const auto anchor = ring.LabelAnchor();
        plain.Pill(cr, "Saturation", anchor.x, anchor.y);
        plain.End(cr);
    }
}
BENCHMARK(BM_RingFramePlainCairo)->Arg(1)->Arg(3)->Arg(12)->Unit(benchmark::kMicrosecond);

void BM_DiscFramePlainCairo(benchmark::State& state) {
    PlainCairo plain(kDiscWindow, kDiscWindow);
    const double c = kDiscWindow / 2.0;
    for (auto _ : state) {
        cairo_t* cr = plain.Begin();
        cairo_set_source_rgba(cr, 0, 0, 0, 1);
        plain.Disc(cr, c, c, c);
        cairo_set_source_rgba(cr, 0.3, 0.3, 0.3, 1);
        plain.Disc(cr, c, c, c - 20);
        cairo_set_source_rgba(cr, 0, 0, 0, 1);
        plain.Disc(cr, c, c, c * 0.5);
        cairo_set_source_rgba(cr, 1, 1, 1, 1);
        plain.Text(cr, "Saturation:\n0.17 ", plain.font, c, c, true);
        plain.ValueArc(cr, c, c, c - 30, 0.17 * 360, 20);
        plain.End(cr);
    }
}
BENCHMARK(BM_DiscFramePlainCairo)->Unit(benchmark::kMicrosecond);

void BM_HistoryFramePlainCairo(benchmark::State& state) {
    PlainCairo plain(kHistoryWindow, kHistoryWindow);
    for (auto _ : state) {
        cairo_t* cr = plain.Begin();
        plain.Pill(cr, "12/40: Brush stroke", 500 + 382 + 30, 691);
        plain.End(cr);
    }
}
BENCHMARK(BM_HistoryFramePlainCairo)->Unit(benchmark::kMicrosecond);

std::unique_ptr<detail::DialOverlay> MakeLabelOverlay(
    Kernel::Counted<Tool>, std::vector<Kernel::Counted<Kernel::Reflected>>,
    Kernel::Counted<Kernel::Reflected>) {
    return std::make_unique<LabelOverlay>();
}

// Show, Place and Hide on the host thread while the render thread draws as fast as it can:
// the host thread waits for nothing but the overlay's short locks.
void BM_HostCallsWhileRendering(benchmark::State& state) {
    sim::SimPlatform platform;
    platform.Graphics().SetPacing(sim::FramePacing::RealTime, 100000.0);
    detail::ScopedOverlayKinds kinds{detail::OverlayKinds{nullptr, &MakeLabelOverlay}};
    const HWND host = platform.Windows().CreateHostWindow(RECT{0, 0, 1280, 800});
    auto document = Kernel::MakeCounted<DocumentController>();
    auto tool = Kernel::MakeCounted<Tool>(1, "Brush", document);
    auto element = Kernel::MakeCounted<Kernel::ReflectedRangeT<double>>(2, "Size", 1.0, 0.0, 2.0);
    auto group = Kernel::MakeCounted<Corvanta::ReflectedGroup>(
        3, "Brush", std::vector<Kernel::Counted<Kernel::Reflected>>{element});
    detail::DialOverlayWindow window(host);
    window.SetItem(tool, group, nullptr);

    std::chrono::nanoseconds worst{0};
    std::int64_t calls = 0;
    for (auto _ : state) {
        for (int i = 0; i < 10000; ++i) {
            const auto start = std::chrono::steady_clock::now();
            window.Place(static_cast<float>(i % 900), 300, 160, 160);
            window.Show();
            const auto took = std::chrono::steady_clock::now() - start;
            worst = std::max(worst, std::chrono::duration_cast<std::chrono::nanoseconds>(took));
            ++calls;
        }
        window.Hide();
    }
    state.counters["worst_us"] = static_cast<double>(worst.count()) / 1000.0;
    state.counters["calls"] = static_cast<double>(calls);
}
BENCHMARK(BM_HostCallsWhileRendering)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
