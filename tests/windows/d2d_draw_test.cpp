// The drawing interface on Direct2D and DirectWrite, drawn into an offscreen Direct3D texture:
// the shapes, hit tests, text and error rules the overlays rely on. What Wine's Direct2D does
// not implement is skipped there, and the skip names it.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "bindings/draw/d2d_draw.h"
#include "tests/windows/d2d_offscreen.h"

namespace Quarn::WinRT::testing {
namespace {

namespace draw = platform::draw;
using platform::Ref;

constexpr std::uint32_t kTransparent = 0x00000000u;
constexpr std::uint32_t kOpaqueRed = 0xFFFF0000u;  // premultiplied words: A, R, G, B from the top
constexpr draw::ColourF kRed{1, 0, 0, 1};
constexpr int kSize = 64;

class D2DDrawTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string why;
        target = OffscreenTarget::Create(kSize, kSize, &why);
        ASSERT_TRUE(target) << why;
        ASSERT_HRESULT_SUCCEEDED(target->context->CreateSolidColourBrush(kRed, &red));
    }

    // One frame cleared to transparent black with `draw` in it; the frame's EndDraw must pass.
    Pixels Frame(const std::function<void(draw::DeviceContext&)>& draw) {
        draw::DeviceContext& context = *target->context;
        context.BeginDraw();
        context.Clear(std::nullopt);
        draw(context);
        context.SetTransform(draw::Matrix3x2F::Identity());
        EXPECT_HRESULT_SUCCEEDED(context.EndDraw());
        return target->Read();
    }

    Ref<draw::PathGeometry> Path(const std::function<void(draw::GeometrySink&)>& figures) {
        Ref<draw::PathGeometry> path;
        Ref<draw::GeometrySink> sink;
        EXPECT_HRESULT_SUCCEEDED(target->factory->CreatePathGeometry(&path));
        EXPECT_HRESULT_SUCCEEDED(path->Open(&sink));
        figures(*sink);
        EXPECT_HRESULT_SUCCEEDED(sink->Close());
        return path;
    }

    Ref<draw::PathGeometry> Triangle() {
        return Path([](draw::GeometrySink& sink) {
            sink.BeginFigure({8, 8}, draw::FigureBegin::Filled);
            sink.AddLine({56, 8});
            sink.AddLine({8, 56});
            sink.EndFigure(draw::FigureEnd::Closed);
        });
    }

    std::unique_ptr<OffscreenTarget> target;
    Ref<draw::SolidColourBrush> red;
};

struct ShapeCase {
    const char* name;
    std::function<void(draw::DeviceContext&)> draw;
    POINT painted;  // fully red
    POINT empty;    // untouched
};

TEST_F(D2DDrawTest, ShapesLandOnTheirPixels) {
    const ShapeCase cases[] = {
        {"ellipse outline",
         [&](draw::DeviceContext& c) {
             c.DrawEllipse({{32, 32}, 20, 20}, red.Get(), 6, nullptr);
         },
         {52, 32},
         {32, 32}},
        {"filled path of lines",
         [&](draw::DeviceContext& c) { c.FillGeometry(Triangle().Get(), red.Get()); },
         {16, 16},
         {48, 48}},
        {"stroked path of lines",
         [&](draw::DeviceContext& c) {
             auto line = Path([](draw::GeometrySink& sink) {
                 sink.BeginFigure({4, 32}, draw::FigureBegin::Hollow);
                 sink.AddLine({60, 32});
                 sink.EndFigure(draw::FigureEnd::Open);
             });
             c.DrawGeometry(line.Get(), red.Get(), 8, nullptr);
         },
         {32, 32},
         {32, 40}},
        {"filled ellipse geometry",
         [&](draw::DeviceContext& c) {
             Ref<draw::EllipseGeometry> disc;
             ASSERT_HRESULT_SUCCEEDED(
                 target->factory->CreateEllipseGeometry({{20, 20}, 10, 10}, &disc));
             c.FillGeometry(disc.Get(), red.Get());
         },
         {20, 20},
         {34, 20}},
        {"translated by the transform",
         [&](draw::DeviceContext& c) {
             c.SetTransform(draw::Matrix3x2F::Translation(30, 0));
             c.FillEllipse({{10, 32}, 8, 8}, red.Get());
         },
         {40, 32},
         {10, 32}},
        {"a null brush draws nothing",
         [&](draw::DeviceContext& c) {
             c.FillEllipse({{32, 32}, 20, 20}, nullptr);
         },
         {-1, -1},
         {32, 32}},
    };
    for (const ShapeCase& shape : cases) {
        SCOPED_TRACE(shape.name);
        const Pixels pixels = Frame(shape.draw);
        ASSERT_EQ(pixels.width, kSize);
        if (shape.painted.x >= 0) {
            EXPECT_EQ(pixels.At(shape.painted.x, shape.painted.y), kOpaqueRed);
        }
        EXPECT_EQ(pixels.At(shape.empty.x, shape.empty.y), kTransparent);
    }
}

TEST_F(D2DDrawTest, ClearFillsEveryPixelAndTheTransformReadsBack) {
    const draw::Matrix3x2F skewed{1, 0.5f, -0.25f, 2, 3, 4};
    draw::Matrix3x2F readBack;
    const Pixels pixels = Frame([&](draw::DeviceContext& c) {
        c.Clear(draw::ColourF{0, 0, 1, 0.5f});
        c.SetTransform(skewed);
        readBack = c.GetTransform();
    });
    EXPECT_EQ(readBack, skewed);
    for (const std::uint32_t word : pixels.pixels) {
        ASSERT_NEAR(static_cast<int>(word >> 24), 0x80, 1) << "half alpha";
        ASSERT_EQ((word >> 16) & 0xFF, 0u);  // no red
        ASSERT_NEAR(static_cast<int>(word & 0xFF), 0x80, 1) << "blue premultiplied by alpha";
    }
}

TEST_F(D2DDrawTest, GeometriesAnswerWhetherTheirFillHoldsAPoint) {
    const Ref<draw::PathGeometry> triangle = Triangle();
    Ref<draw::EllipseGeometry> disc;
    ASSERT_HRESULT_SUCCEEDED(target->factory->CreateEllipseGeometry({{50, 50}, 20, 10}, &disc));
    EXPECT_EQ(disc->GetEllipse().radiusX, 20);
    const auto moved = draw::Matrix3x2F::Translation(100, 0);
    struct Case {
        const char* name;
        draw::Geometry* geometry;
        draw::Point2F point;
        draw::Matrix3x2F transform;
        bool inside;
    };
    const Case cases[] = {
        {"inside", triangle.Get(), {16, 16}, {}, true},
        {"beyond the slanted edge", triangle.Get(), {48, 48}, {}, false},
        {"left of the figure", triangle.Get(), {4, 16}, {}, false},
        {"moved onto the point by the transform", triangle.Get(), {116, 16}, moved, true},
        {"moved away by the transform", triangle.Get(), {16, 16}, moved, false},
        {"the ellipse's centre", disc.Get(), {50, 50}, {}, true},
        {"below the ellipse's 10-pixel radius", disc.Get(), {50, 62}, {}, false},
    };
    for (const Case& c : cases) {
        bool contains = !c.inside;
        const HRESULT hr = c.geometry->FillContainsPoint(
            c.point, c.transform, draw::kDefaultFlatteningTolerance, &contains);
        if (hr == E_NOTIMPL && c.geometry == disc.Get() && RunsUnderWine()) {
            EXPECT_FALSE(contains) << c.name << ": Wine's ellipse answers E_NOTIMPL, read as false";
            continue;
        }
        EXPECT_HRESULT_SUCCEEDED(hr) << c.name;
        EXPECT_EQ(contains, c.inside) << c.name;
    }
}

TEST_F(D2DDrawTest, APathIsOpenedOnceAndClosedWithNoFigureOpen) {
    Ref<draw::PathGeometry> path;
    ASSERT_HRESULT_SUCCEEDED(target->factory->CreatePathGeometry(&path));
    Ref<draw::GeometrySink> sink;
    ASSERT_HRESULT_SUCCEEDED(path->Open(&sink));
    Ref<draw::GeometrySink> second = sink;
    EXPECT_EQ(path->Open(&second), E_UNEXPECTED);
    EXPECT_FALSE(second) << "the out reference is emptied";

    sink->BeginFigure({1, 1}, draw::FigureBegin::Filled);
    sink->AddLine({10, 1});
    EXPECT_EQ(sink->Close(), E_UNEXPECTED) << "a figure is open";
    sink->EndFigure(draw::FigureEnd::Closed);
    EXPECT_HRESULT_SUCCEEDED(sink->Close());
    EXPECT_EQ(sink->Close(), E_UNEXPECTED) << "closed already";
}

TEST_F(D2DDrawTest, TextFormatsKeepTheirFontLayoutsMeasureAndAlignAndBadArgumentsAreRefused) {
    const auto makeFormat = [&](float size, Ref<draw::TextFormat>* format) {
        return target->text->CreateTextFormat(u"DejaVu Sans", draw::FontWeight::Normal,
                                              draw::FontStyle::Normal, draw::FontStretch::Normal,
                                              size, u"", format);
    };
    Ref<draw::TextFormat> format;
    ASSERT_HRESULT_SUCCEEDED(makeFormat(24, &format));
    EXPECT_EQ(format->GetFontFamilyName(), u"DejaVu Sans");
    EXPECT_EQ(format->GetFontSize(), 24);

    // Refused creations answer their error and leave the out reference empty.
    EXPECT_EQ(target->context->CreateSolidColourBrush(kRed, nullptr), E_POINTER);
    EXPECT_EQ(target->factory->CreateEllipseGeometry({}, nullptr), E_POINTER);
    Ref<draw::TextFormat> refused = format;
    EXPECT_EQ(makeFormat(0, &refused), E_INVALIDARG);
    EXPECT_FALSE(refused);
    Ref<draw::TextLayout> noLayout;
    ASSERT_HRESULT_SUCCEEDED(target->text->CreateTextLayout(u"x", format.Get(), 9, 9, &noLayout));
    EXPECT_EQ(target->text->CreateTextLayout(u"x", nullptr, 9, 9, &noLayout), E_INVALIDARG);
    EXPECT_FALSE(noLayout);
    EXPECT_EQ(format->SetTextAlignment(static_cast<draw::TextAlignment>(9)), E_INVALIDARG);
    EXPECT_EQ(format->GetTextAlignment(), draw::TextAlignment::Leading);

    struct Case {
        draw::TextAlignment alignment;
        float leftOfWidth;  // where the text starts in a 400-pixel box, as a share of the room left
    };
    for (const Case c :
         {Case{draw::TextAlignment::Leading, 0}, Case{draw::TextAlignment::Center, 0.5f},
          Case{draw::TextAlignment::Trailing, 1}}) {
        ASSERT_HRESULT_SUCCEEDED(format->SetTextAlignment(c.alignment));
        EXPECT_EQ(format->GetTextAlignment(), c.alignment);
        Ref<draw::TextLayout> layout;
        ASSERT_HRESULT_SUCCEEDED(
            target->text->CreateTextLayout(u"Brush stroke", format.Get(), 400, 100, &layout));
        draw::TextMetrics metrics;
        ASSERT_HRESULT_SUCCEEDED(layout->GetMetrics(&metrics));
        EXPECT_GT(metrics.width, 100);
        EXPECT_LT(metrics.width, 200);
        EXPECT_GT(metrics.height, 24) << "a line is taller than the font's size";
        EXPECT_LT(metrics.height, 36);
        EXPECT_NEAR(metrics.left, (400 - metrics.width) * c.leftOfWidth, 0.5f);
    }

    ASSERT_HRESULT_SUCCEEDED(format->SetTextAlignment(draw::TextAlignment::Leading));
    Ref<draw::TextLayout> twoLines;
    ASSERT_HRESULT_SUCCEEDED(target->text->CreateTextLayout(u"Hue:\n90 \u00B0", format.Get(),
                                                            draw::kUnboundedExtent,
                                                            draw::kUnboundedExtent, &twoLines));
    draw::TextMetrics metrics;
    ASSERT_HRESULT_SUCCEEDED(twoLines->GetMetrics(&metrics));
    EXPECT_EQ(metrics.lineCount, 2u);
}

}  // namespace
}  // namespace Quarn::WinRT::testing
