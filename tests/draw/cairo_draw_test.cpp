#include <gtest/gtest.h>

#include "bindings/draw/cairo_draw.h"
#include "bindings/draw/cairo_target.h"
#include "bindings/draw/geometry_model.h"
#include "bindings/draw/pango_text.h"

namespace Quarn::WinRT::platform::draw {
namespace {

std::uint32_t Alpha(std::uint32_t pixel) {
    return pixel >> 24;
}

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

    int InkedPixels(int left, int top, int right, int bottom) {
        int count = 0;
        for (int y = top; y < bottom; ++y) {
            for (int x = left; x < right; ++x) {
                count += Alpha(target.Pixel(x, y)) > 0 ? 1 : 0;
            }
        }
        return count;
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
        EXPECT_EQ(Alpha(target.Pixel(155, 100)) > 0, c.pastTheEnd);
        EXPECT_EQ(Alpha(target.Pixel(100, 100)), 255u);
    }
}

TEST_F(CairoDrawTest, DrawingOutsideAFrameIsAnError) {
    context->FillEllipse({{100, 100}, 10, 10}, white.Get());
    EXPECT_EQ(context->EndDraw(), kDrawErrorWrongState);
    EXPECT_EQ(target.Pixel(100, 100), 0u);
    EXPECT_EQ(Frame([](DeviceContext&) {}), S_OK) << "the error was reported once";
}

TEST_F(CairoDrawTest, TextIsMeasuredAndDrawnCentredInItsRectangle) {
    Ref<TextFormat> format;
    ASSERT_EQ(text->CreateTextFormat(u"DejaVu Sans", FontWeight::Normal, FontStyle::Normal,
                                     FontStretch::Normal, 24, u"", &format),
              S_OK);
    TextMetrics narrow, wide, accented;
    for (auto [content, metrics] : {std::pair{u"Ab", &narrow}, std::pair{u"Abcdefgh", &wide},
                                    std::pair{u"Écart ñ", &accented}}) {
        Ref<TextLayout> layout;
        ASSERT_EQ(text->CreateTextLayout(content, format.Get(), kUnboundedExtent, kUnboundedExtent,
                                         &layout),
                  S_OK);
        ASSERT_EQ(layout->GetMetrics(metrics), S_OK);
    }
    EXPECT_GT(wide.width, narrow.width * 2);
    EXPECT_GT(narrow.height, 20);
    EXPECT_LT(narrow.height, 40);
    EXPECT_GT(accented.width, narrow.width);
    EXPECT_EQ(narrow.left, 0);

    ASSERT_EQ(format->SetTextAlignment(TextAlignment::Center), S_OK);
    ASSERT_EQ(Frame([&](DeviceContext& dc) {
                  dc.DrawText(u"Écart", format.Get(), {0, 80, 200, 120}, white.Get(),
                              DrawTextOptions::None, MeasuringMode::Natural);
              }),
              S_OK);
    const int left = InkedPixels(0, 80, 100, 120);
    const int right = InkedPixels(100, 80, 200, 120);
    EXPECT_GT(left, 20);
    EXPECT_GT(right, 20);
    EXPECT_LT(std::abs(left - right), (left + right) / 3) << "about as much ink on each side";
    EXPECT_EQ(InkedPixels(0, 0, 200, 70), 0);
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
