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
#include "bindings/vorta/document.h"
#include "bindings/vorta/tool.h"
#include "overlay/create_overlay.h"
#include "overlay/dial_overlay.h"
#include "overlay/dial_overlay_window.h"

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
