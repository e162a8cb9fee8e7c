// The drawing interface on Direct2D and DirectWrite, drawn into an offscreen target made by the
// overlay's device chain: the shapes, hit tests, text and error rules the overlays rely on, and
// the chain's steps beyond the target. What Wine does not implement is named where it is met.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <tuple>
#include <utility>

#include "bindings/platform/win_backends.h"
#include "bindings/render/d3d_graphics.h"
#include "overlay/dial_overlay_renderer.h"
#include "tests/windows/d2d_offscreen.h"
#include "tests/windows/win32_host.h"

namespace Quarn::WinRT::testing {
namespace {

namespace draw = platform::draw;
namespace render = platform::render;
using platform::Ref;

constexpr std::uint32_t kOpaqueRed = 0xFFFF0000u;  // premultiplied words: A, R, G, B from the top
constexpr int kSize = 64;

class D2DDrawTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string why;
        target = OffscreenTarget::Create(kSize, kSize, &why);
        ASSERT_TRUE(target) << why;
        ASSERT_HRESULT_SUCCEEDED(target->context->CreateSolidColourBrush({1, 0, 0, 1}, &red));
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

    // A path of straight lines through `points`, closed and filled or open and hollow.
    Ref<draw::PathGeometry> Path(std::initializer_list<draw::Point2F> points, bool closed) {
        Ref<draw::PathGeometry> path;
        Ref<draw::GeometrySink> sink;
        EXPECT_HRESULT_SUCCEEDED(target->factory->CreatePathGeometry(&path));
        EXPECT_HRESULT_SUCCEEDED(path->Open(&sink));
        sink->BeginFigure(*points.begin(),
                          closed ? draw::FigureBegin::Filled : draw::FigureBegin::Hollow);
        for (auto point = points.begin() + 1; point != points.end(); ++point) {
            sink->AddLine(*point);
        }
        sink->EndFigure(closed ? draw::FigureEnd::Closed : draw::FigureEnd::Open);
        EXPECT_HRESULT_SUCCEEDED(sink->Close());
        return path;
    }
    Ref<draw::PathGeometry> Triangle() { return Path({{8, 8}, {56, 8}, {8, 56}}, true); }

    std::unique_ptr<OffscreenTarget> target;
    Ref<draw::SolidColourBrush> red;
};

// A frame cleared to half-transparent blue, with a shape in red; a null brush draws nothing.
TEST_F(D2DDrawTest, ClearAndShapesLandOnTheirPixels) {
    using Draw = std::function<void(draw::DeviceContext&)>;
    const std::tuple<const char*, Draw, POINT> cases[] = {
        // name, drawing, a pixel fully red
        {"ellipse outline",
         [&](draw::DeviceContext& c) {
             c.DrawEllipse({{32, 32}, 20, 20}, red.Get(), 6, nullptr);
         },
         {52, 32}},
        {"filled path of lines",
         [&](draw::DeviceContext& c) { c.FillGeometry(Triangle().Get(), red.Get()); },
         {16, 16}},
        {"stroked path of lines",
         [&](draw::DeviceContext& c) {
             c.DrawGeometry(Path({{4, 32}, {60, 32}}, false).Get(), red.Get(), 8, nullptr);
         },
         {32, 32}},
        {"a null brush",
         [&](draw::DeviceContext& c) {
             c.FillEllipse({{32, 32}, 9, 9}, nullptr);
         },
         {-1, -1}},
    };
    const draw::Matrix3x2F skewed{1, 0.5f, -0.25f, 2, 3, 4};
    for (const auto& [name, drawing, painted] : cases) {
        draw::Matrix3x2F readBack;
        const Pixels pixels = Frame([&](draw::DeviceContext& c) {
            c.Clear(draw::ColourF{0, 0, 1, 0.5f});
            drawing(c);
            c.SetTransform(skewed);
            readBack = c.GetTransform();
        });
        EXPECT_EQ(readBack, skewed);
        ASSERT_EQ(pixels.width, kSize) << name;
        const auto halfBlue = [](std::uint32_t word) {  // blue premultiplied by half alpha
            return std::abs(static_cast<int>(word >> 24) - 0x80) <= 1 &&
                   std::abs(static_cast<int>(word & 0xFF) - 0x80) <= 1 && (word & 0xFFFF00u) == 0;
        };
        EXPECT_TRUE(halfBlue(pixels.At(0, 0))) << name << ": " << std::hex << pixels.At(0, 0);
        EXPECT_TRUE(painted.x < 0
                        ? std::all_of(pixels.pixels.begin(), pixels.pixels.end(), halfBlue)
                        : pixels.At(painted.x, painted.y) == kOpaqueRed)
            << name;
    }
}

TEST_F(D2DDrawTest, GeometriesAnswerWhetherTheirFillHoldsAPoint) {
    const Ref<draw::PathGeometry> triangle = Triangle();
    Ref<draw::EllipseGeometry> disc;
    ASSERT_HRESULT_SUCCEEDED(target->factory->CreateEllipseGeometry({{50, 50}, 20, 10}, &disc));
    EXPECT_EQ(disc->GetEllipse().radiusX, 20);
    const auto moved = draw::Matrix3x2F::Translation(100, 0);
    const std::tuple<draw::Geometry*, draw::Point2F, draw::Matrix3x2F, bool> cases[] = {
        {triangle.Get(), {16, 16}, {}, true},
        {triangle.Get(), {48, 48}, {}, false},  // beyond the slanted edge
        {triangle.Get(), {4, 16}, {}, false},
        {triangle.Get(), {116, 16}, moved, true},
        {triangle.Get(), {16, 16}, moved, false},
        {disc.Get(), {50, 50}, {}, true},
        {disc.Get(), {50, 62}, {}, false},  // below the 10-pixel radius
    };
    for (const auto& [geometry, point, transform, inside] : cases) {
        bool contains = !inside;
        const HRESULT hr = geometry->FillContainsPoint(
            point, transform, draw::kDefaultFlatteningTolerance, &contains);
        if (hr == E_NOTIMPL && geometry == disc.Get() && RunsUnderWine()) {
            EXPECT_FALSE(contains) << "Wine's ellipse answers E_NOTIMPL, read as false";
            continue;
        }
        EXPECT_HRESULT_SUCCEEDED(hr);
        EXPECT_EQ(contains, inside) << point.x << ", " << point.y;
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

TEST_F(D2DDrawTest, TextFormatsLayoutsMeasureAndAlignAndBadArgumentsAreRefused) {
    const auto makeFormat = [&](float size, Ref<draw::TextFormat>* format) {
        return target->text->CreateTextFormat(u"DejaVu Sans", draw::FontWeight::Normal,
                                              draw::FontStyle::Normal, draw::FontStretch::Normal,
                                              size, u"", format);
    };
    Ref<draw::TextFormat> format;
    ASSERT_HRESULT_SUCCEEDED(makeFormat(24, &format));
    EXPECT_EQ(format->GetFontFamilyName(), u"DejaVu Sans");

    // Refused creations answer their error and leave the out reference empty.
    EXPECT_EQ(target->context->CreateSolidColourBrush({}, nullptr), E_POINTER);
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

    // Where the text starts in a 400-pixel box, as a share of the room left; a second line.
    for (const auto& [alignment, leftOfWidth] : {std::pair{draw::TextAlignment::Leading, 0.0f},
                                                 std::pair{draw::TextAlignment::Center, 0.5f},
                                                 std::pair{draw::TextAlignment::Trailing, 1.0f}}) {
        ASSERT_HRESULT_SUCCEEDED(format->SetTextAlignment(alignment));
        Ref<draw::TextLayout> layout;
        ASSERT_HRESULT_SUCCEEDED(target->text->CreateTextLayout(u"Brush stroke\n90 \u00B0",
                                                                format.Get(), 400, 100, &layout));
        draw::TextMetrics metrics;
        ASSERT_HRESULT_SUCCEEDED(layout->GetMetrics(&metrics));
        EXPECT_TRUE(metrics.width > 100 && metrics.width < 200) << metrics.width;
        EXPECT_TRUE(metrics.height > 48 && metrics.height < 72) << "two lines taller than the font";
        EXPECT_EQ(metrics.lineCount, 2u);
        EXPECT_NEAR(metrics.left, (400 - metrics.width) * leftOfWidth, 0.5f);
    }
}

// The chain's steps beyond the target: the swap chain and composition device exist on Windows,
// not on Wine; arguments of another backend or none are refused, not followed; a frame's time
// without a device is about one refresh period.
TEST_F(D2DDrawTest, TheChainBeyondTheTarget) {
    render::Graphics& graphics = platform::Direct3DGraphics();
    EXPECT_EQ(target->context->GetFactory(), target->factory);
    Ref<render::DxgiFactory> dxgiFactory;
    ASSERT_HRESULT_SUCCEEDED(graphics.CreateDxgiFactory(0, &dxgiFactory));
    render::SwapChainDescription description;
    description.width = description.height = 382;
    Ref<render::SwapChain> swapChain;
    const HRESULT swapChainResult = dxgiFactory->CreateSwapChainForComposition(
        target->dxgiDevice.Get(), description, &swapChain);
    Ref<render::CompositionDevice> composition;
    const HRESULT compositionResult =
        graphics.CreateCompositionDevice(target->dxgiDevice.Get(), &composition);
    const HRESULT expected = RunsUnderWine() ? E_NOTIMPL : S_OK;
    EXPECT_EQ(swapChainResult, expected);
    EXPECT_EQ(!swapChain, FAILED(expected));
    EXPECT_EQ(compositionResult, expected);
    EXPECT_EQ(!composition, FAILED(expected));

    Ref<render::DxgiDevice> refused = target->dxgiDevice;
    EXPECT_EQ(graphics.QueryDxgiDevice(nullptr, &refused), E_INVALIDARG);
    EXPECT_FALSE(refused);
    Ref<render::DrawingDevice> drawingDevice;
    ASSERT_HRESULT_SUCCEEDED(graphics.CreateDrawingDevice(
        target->factory.Get(), target->dxgiDevice.Get(), &drawingDevice));
    EXPECT_EQ(graphics.CreateDrawingDevice(target->factory.Get(), nullptr, &drawingDevice),
              E_INVALIDARG);
    EXPECT_FALSE(drawingDevice);

    const auto waitStart = std::chrono::steady_clock::now();
    graphics.WaitForNextFrame();
    const auto waited = std::chrono::steady_clock::now() - waitStart;
    EXPECT_GE(waited, std::chrono::milliseconds(2));
    EXPECT_LT(waited, std::chrono::milliseconds(500));
}

// What the overlay window does when its chain fails is the simulated overlay tests'; here the
// real chain's objects are let go.
TEST(D3DChainTest, UnderWineTheRendererStopsAtTheSwapChainAndLetsTheChainGo) {
    if (!RunsUnderWine()) {
        GTEST_SKIP() << "the whole chain exists here";
    }
    const HostWindow host{RECT{100, 50, 900, 650}};
    const int before = platform::Direct3DChainObjects();
    detail::DialOverlayRenderer renderer(platform::Direct3DGraphics(), platform::Win32Windowing());
    EXPECT_FALSE(renderer.Start(host.Handle()));
    EXPECT_FALSE(renderer.IsRunning()) << "no render thread without a device context";
    EXPECT_EQ(platform::Direct3DChainObjects(), before) << "what was made is let go at once";
}

}  // namespace
}  // namespace Quarn::WinRT::testing
