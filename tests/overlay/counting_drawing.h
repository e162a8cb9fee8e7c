#pragma once
// The recorder behind decorators that count what an overlay creates: brushes by colour,
// geometries and stroke styles, text formats and layouts. What an overlay caches is created
// once; what it makes per frame is created again every frame.

#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "bindings/draw/geometry_model.h"
#include "bindings/draw/recorder.h"
#include "bindings/sim/sim_platform.h"
#include "overlay/draw_context.h"

namespace Quarn::WinRT::testing {

namespace draw = platform::draw;
using platform::MakeRef;
using platform::Ref;

class CountingFactory final : public draw::Factory {
public:
    HRESULT CreateEllipseGeometry(const draw::Ellipse& ellipse,
                                  Ref<draw::EllipseGeometry>* geometry) override {
        ++ellipses;
        return m_model.CreateEllipseGeometry(ellipse, geometry);
    }
    HRESULT CreatePathGeometry(Ref<draw::PathGeometry>* geometry) override {
        ++paths;
        return m_model.CreatePathGeometry(geometry);
    }
    HRESULT CreateStrokeStyle(const draw::StrokeStyleProperties& properties,
                              Ref<draw::StrokeStyle>* style) override {
        ++strokeStyles;
        return m_model.CreateStrokeStyle(properties, style);
    }
    std::atomic<int> ellipses{0};
    std::atomic<int> paths{0};
    std::atomic<int> strokeStyles{0};

private:
    draw::ModelFactory m_model;
};

class CountingTextFactory final : public draw::TextFactory {
public:
    HRESULT CreateTextFormat(std::u16string_view familyName, draw::FontWeight weight,
                             draw::FontStyle style, draw::FontStretch stretch, float size,
                             std::u16string_view localeName,
                             Ref<draw::TextFormat>* format) override {
        ++formats;
        return inner.CreateTextFormat(familyName, weight, style, stretch, size, localeName, format);
    }
    HRESULT CreateTextLayout(std::u16string_view text, draw::TextFormat* format, float maxWidth,
                             float maxHeight, Ref<draw::TextLayout>* layout) override {
        ++layouts;
        return inner.CreateTextLayout(text, format, maxWidth, maxHeight, layout);
    }
    draw::FixedMetricsTextFactory inner;
    std::atomic<int> formats{0};
    std::atomic<int> layouts{0};
};

// Forwards to a recorder; counts brushes by their colour as the recorder prints it.
class CountingContext final : public draw::DeviceContext {
public:
    explicit CountingContext(Ref<draw::Factory> factory)
        : recorder(MakeRef<draw::RecordingDeviceContext>(std::move(factory))) {}

    int BrushesMade() const {
        std::lock_guard lock(m_mutex);
        int total = 0;
        for (const auto& [colour, count] : m_brushes) {
            total += count;
        }
        return total;
    }
    void ResetBrushCount() {
        std::lock_guard lock(m_mutex);
        m_brushes.clear();
    }

    Ref<draw::Factory> GetFactory() override { return recorder->GetFactory(); }
    HRESULT CreateSolidColourBrush(const draw::ColourF& colour,
                                   Ref<draw::SolidColourBrush>* brush) override {
        {
            std::lock_guard lock(m_mutex);
            ++m_brushes[{colour.r, colour.g, colour.b, colour.a}];
        }
        return recorder->CreateSolidColourBrush(colour, brush);
    }
    void BeginDraw() override { recorder->BeginDraw(); }
    HRESULT EndDraw() override { return recorder->EndDraw(); }
    void Clear(std::optional<draw::ColourF> colour) override { recorder->Clear(colour); }
    void SetTransform(const draw::Matrix3x2F& transform) override {
        recorder->SetTransform(transform);
    }
    draw::Matrix3x2F GetTransform() const override { return recorder->GetTransform(); }
    void FillEllipse(const draw::Ellipse& ellipse, draw::Brush* brush) override {
        recorder->FillEllipse(ellipse, brush);
    }
    void DrawEllipse(const draw::Ellipse& ellipse, draw::Brush* brush, float width,
                     draw::StrokeStyle* style) override {
        recorder->DrawEllipse(ellipse, brush, width, style);
    }
    void FillGeometry(draw::Geometry* geometry, draw::Brush* brush) override {
        recorder->FillGeometry(geometry, brush);
    }
    void DrawGeometry(draw::Geometry* geometry, draw::Brush* brush, float width,
                      draw::StrokeStyle* style) override {
        recorder->DrawGeometry(geometry, brush, width, style);
    }
    void FillRoundedRectangle(const draw::RoundedRect& rect, draw::Brush* brush) override {
        recorder->FillRoundedRectangle(rect, brush);
    }
    void DrawText(std::u16string_view text, draw::TextFormat* format, const draw::RectF& rect,
                  draw::Brush* brush, draw::DrawTextOptions options,
                  draw::MeasuringMode mode) override {
        recorder->DrawText(text, format, rect, brush, options, mode);
    }
    void PushLayer(const draw::LayerParameters& parameters) override {
        recorder->PushLayer(parameters);
    }
    void PopLayer() override { recorder->PopLayer(); }

    Ref<draw::RecordingDeviceContext> recorder;

private:
    struct Key {
        float r, g, b, a;
        auto operator<=>(const Key&) const = default;
    };
    mutable std::mutex m_mutex;
    std::map<Key, int> m_brushes;
};

// A drawing setup for one overlay: counting factory, recorder, fixed-metrics text.
struct RecordingSetup {
    detail::DrawContext Context() {
        return detail::DrawContext{Ref<draw::DeviceContext>(context.Get()),
                                   Ref<draw::TextFactory>(text.Get()), &platform.Windows()};
    }
    // Draws one frame of the overlay; its lines without BeginDraw and EndDraw.
    template <class Overlay>
    std::vector<std::string> Frame(Overlay& overlay) {
        context->recorder->ClearLines();
        context->BeginDraw();
        overlay.Draw(Context());
        context->EndDraw();
        std::vector<std::string> lines = context->recorder->LastFrame();
        return std::vector<std::string>(lines.begin() + 1, lines.end() - 1);
    }

    sim::SimPlatform platform;
    Ref<CountingFactory> factory = MakeRef<CountingFactory>();
    Ref<CountingContext> context = MakeRef<CountingContext>(Ref<draw::Factory>(factory.Get()));
    Ref<CountingTextFactory> text = MakeRef<CountingTextFactory>();
};

}  // namespace Quarn::WinRT::testing
