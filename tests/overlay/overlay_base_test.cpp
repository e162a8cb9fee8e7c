#include <gtest/gtest.h>

#include "bindings/draw/geometry_model.h"
#include "bindings/draw/recorder.h"
#include "bindings/sim/sim_platform.h"
#include "tests/overlay/test_overlay.h"

namespace Quarn::WinRT::testing {
namespace {

namespace draw = platform::draw;
using platform::MakeRef;
using platform::Ref;

class OverlayBaseTest : public ::testing::Test {
protected:
    detail::DrawContext Context() {
        return detail::DrawContext{recorder, Ref<draw::TextFactory>(text.Get()),
                                   &platform.Windows()};
    }

    sim::SimPlatform platform;
    Ref<draw::RecordingDeviceContext> recorder =
        MakeRef<draw::RecordingDeviceContext>(MakeRef<draw::ModelFactory>());
    Ref<draw::FixedMetricsTextFactory> text = MakeRef<draw::FixedMetricsTextFactory>();
    TestOverlay overlay;
};

TEST_F(OverlayBaseTest, TheLabelPillPadsTheTextByOneLineOnEverySide) {
    auto format = overlay.GetTextFormat(Context());
    ASSERT_TRUE(format);
    // "Undo" at 24 px: 4 units × 12 px wide, one line 30 px high.
    detail::LabelLayout layout;
    ASSERT_TRUE(
        detail::DialOverlay::MeasureLabel(u"Undo", {100, 200}, Context(), format.Get(), &layout));
    EXPECT_EQ(layout.text, (draw::RectF{130, 200, 178, 230}));
    EXPECT_EQ(layout.pill, (draw::RectF{100, 170, 208, 260}));

    Ref<draw::SolidColourBrush> white;
    recorder->CreateSolidColourBrush({1, 1, 1, 1}, &white);
    detail::DialOverlay::DrawLabel(u"Undo", {100, 200}, Context(), white, format,
                                   overlay.GetGreyBrush(recorder.Get()));
    const auto lines = recorder->Lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0],
              "FillRoundedRectangle (100,170,208,260) radii=(45,45) brush=(0.301961,0.301961,"
              "0.301961,1)");
    EXPECT_EQ(lines[1], "DrawText \"Undo\" rect=(130,200,178,230) size=24 brush=(1,1,1,1)");
}

TEST_F(OverlayBaseTest, ALabelThatCannotBeLaidOutIsNotDrawn) {
    auto format = overlay.GetTextFormat(Context());
    struct Case {
        const char* name;
        void (draw::FixedMetricsTextFactory::*fail)(HRESULT);
    };
    for (const Case& c : {Case{"layout", &draw::FixedMetricsTextFactory::FailLayouts},
                          Case{"metrics", &draw::FixedMetricsTextFactory::FailMetrics}}) {
        SCOPED_TRACE(c.name);
        auto factory = MakeRef<draw::FixedMetricsTextFactory>();
        ((*factory).*c.fail)(E_OUTOFMEMORY);
        detail::DrawContext context{recorder, Ref<draw::TextFactory>(factory.Get()),
                                    &platform.Windows()};
        detail::LabelLayout layout;
        EXPECT_FALSE(detail::DialOverlay::MeasureLabel(u"x", {}, context, format.Get(), &layout));
        detail::DialOverlay::DrawLabel(u"x", {}, context, nullptr, format, nullptr);
        EXPECT_TRUE(recorder->Lines().empty());
    }
    // A null format (the menu font was unavailable) cannot be laid out either.
    detail::LabelLayout layout;
    EXPECT_FALSE(detail::DialOverlay::MeasureLabel(u"x", {}, Context(), nullptr, &layout));
}

TEST_F(OverlayBaseTest, TheTextFormatIsTheMenuFontAt24AndIsRetriedAfterAFailure) {
    platform.Faults().Fail(sim::ops::kSystemParametersInfoW, E_FAIL);
    EXPECT_FALSE(overlay.GetTextFormat(Context()));

    platform.Windows().SetMenuFontFace(u"DejaVu Sans Mono");
    auto format = overlay.GetTextFormat(Context());
    ASSERT_TRUE(format);
    EXPECT_EQ(format->GetFontFamilyName(), u"DejaVu Sans Mono");
    EXPECT_FLOAT_EQ(format->GetFontSize(), 24.0f);
    EXPECT_EQ(format->GetFontWeight(), draw::FontWeight::Normal);
    EXPECT_EQ(overlay.GetTextFormat(Context()), format) << "made once, then cached";
    EXPECT_EQ(overlay.GetGreyBrush(recorder.Get()), overlay.GetGreyBrush(recorder.Get()));
}

TEST_F(OverlayBaseTest, ANewOverlayIsHiddenOffScreenAndWithoutSize) {
    EXPECT_FALSE(overlay.IsVisible());
    EXPECT_FALSE(overlay.IsOnScreen());
    EXPECT_EQ(overlay.GetContactRect(), detail::OverlayRect{});
    EXPECT_FALSE(overlay.GetFactory());
    overlay.SetLayout({1, 2, 300, 400}, {10, 20, 30, 50});
    EXPECT_FLOAT_EQ(overlay.GetPuckCentre().x, 25);
    EXPECT_FLOAT_EQ(overlay.GetPuckCentre().y, 45);
    EXPECT_FALSE(overlay.OnButtonClicked({}, nullptr));
    EXPECT_FALSE(overlay.OnRotation({}, nullptr, 3.0));
}

}  // namespace
}  // namespace Quarn::WinRT::testing
