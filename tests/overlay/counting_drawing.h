#pragma once
// The recorder with factories that count what an overlay creates: geometries, stroke styles and
// text formats. What an overlay caches is created once; what it makes per frame is
// created again every frame.

#include <atomic>
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
        return inner.CreateTextLayout(text, format, maxWidth, maxHeight, layout);
    }
    draw::FixedMetricsTextFactory inner;
    std::atomic<int> formats{0};
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
        context->ClearLines();
        context->BeginDraw();
        overlay.Draw(Context());
        context->EndDraw();
        std::vector<std::string> lines = context->LastFrame();
        return std::vector<std::string>(lines.begin() + 1, lines.end() - 1);
    }

    sim::SimPlatform platform;
    Ref<CountingFactory> factory = MakeRef<CountingFactory>();
    Ref<draw::RecordingDeviceContext> context =
        MakeRef<draw::RecordingDeviceContext>(Ref<draw::Factory>(factory.Get()));
    Ref<CountingTextFactory> text = MakeRef<CountingTextFactory>();
};

}  // namespace Quarn::WinRT::testing
