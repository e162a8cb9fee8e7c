#include <gtest/gtest.h>

#include "bindings/draw/cairo_draw.h"
#include "bindings/draw/cairo_target.h"
#include "bindings/draw/geometry_model.h"
#include "bindings/draw/pango_text.h"

namespace Quarn::WinRT::platform::draw {
namespace {

class CairoDrawTest : public ::testing::Test {
protected:
    CairoDrawTest() {
        static_cast<CairoDeviceContext*>(context.Get())->SetTarget(&target);
        context->CreateSolidColourBrush({1, 1, 1, 1}, &white);
    }

    // Draws one frame with `paint` and answers EndDraw's result.
    template <class Paint>
    HRESULT Frame(Paint paint) {
        context->BeginDraw();
        context->Clear(std::nullopt);
        paint(*context);
        return context->EndDraw();
    }

    CairoImageTarget target{200, 200};
    Ref<Factory> factory = MakeRef<ModelFactory>();
    Ref<TextFactory> text = CreatePangoTextFactory();
    Ref<DeviceContext> context = CreateCairoDeviceContext(factory, text);
    Ref<SolidColourBrush> white;
};

TEST_F(CairoDrawTest, RoundCapsReachPastTheEndOfAStrokeFlatOnesDoNot) {
    struct Case {
        CapStyle cap;
        bool pastTheEnd;
    };
    for (const Case& c : {Case{CapStyle::Flat, false}, Case{CapStyle::Round, true}}) {
        Ref<StrokeStyle> style;
        StrokeStyleProperties properties;
        properties.startCap = properties.endCap = c.cap;
        factory->CreateStrokeStyle(properties, &style);
        Ref<PathGeometry> line;
        factory->CreatePathGeometry(&line);
        Ref<GeometrySink> sink;
        line->Open(&sink);
        sink->BeginFigure({50, 100}, FigureBegin::Hollow);
        sink->AddLine({150, 100});
        sink->EndFigure(FigureEnd::Open);
        sink->Close();
        Frame(
            [&](DeviceContext& dc) { dc.DrawGeometry(line.Get(), white.Get(), 20, style.Get()); });
        EXPECT_EQ(target.Pixel(155, 100) >> 24 > 0, c.pastTheEnd) << "alpha past the end";
        EXPECT_EQ(target.Pixel(100, 100) >> 24, 255u);
    }
}

TEST_F(CairoDrawTest, DrawingOutsideAFrameIsAnError) {
    context->FillEllipse({{100, 100}, 10, 10}, white.Get());
    EXPECT_EQ(context->EndDraw(), kDrawErrorWrongState);
    EXPECT_EQ(target.Pixel(100, 100), 0u);
    EXPECT_EQ(Frame([](DeviceContext&) {}), S_OK) << "the error was reported once";
}

TEST_F(CairoDrawTest, AnEmptyTargetDrawsNothingAndDoesNotFail) {
    CairoImageTarget empty(0, 0);
    static_cast<CairoDeviceContext*>(context.Get())->SetTarget(&empty);
    Frame([&](DeviceContext& dc) { dc.FillEllipse({{0, 0}, 10, 10}, white.Get()); });
    EXPECT_EQ(empty.Pixel(0, 0), 0u);
    EXPECT_TRUE(empty.CopyPixels().empty());
}

}  // namespace
}  // namespace Quarn::WinRT::platform::draw
