#pragma once
// An overlay's frames as the recorder writes them, with the geometry model and text of fixed
// metrics (a 24-pixel line is 30 high, each UTF-16 unit 12 wide).

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

// A drawing setup for one overlay: the geometry model, the recorder, fixed-metrics text.
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
    Ref<draw::ModelFactory> factory = MakeRef<draw::ModelFactory>();
    Ref<draw::RecordingDeviceContext> context =
        MakeRef<draw::RecordingDeviceContext>(Ref<draw::Factory>(factory.Get()));
    Ref<draw::FixedMetricsTextFactory> text = MakeRef<draw::FixedMetricsTextFactory>();
};

}  // namespace Quarn::WinRT::testing
