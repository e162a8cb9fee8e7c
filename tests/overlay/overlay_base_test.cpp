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

// A new overlay is hidden. The menu font is made once, and asked again after a failure to read
// it; a label that cannot be laid out (no format, failing layout or metrics) is not drawn.
TEST_F(OverlayBaseTest, HiddenUntilShownAndNoLabelThatCannotBeLaidOut) {
    EXPECT_FALSE(overlay.IsVisible()) << "a new overlay is hidden until shown";
    platform.Faults().Fail(sim::ops::kSystemParametersInfoW, E_FAIL);
    EXPECT_FALSE(overlay.GetTextFormat(Context()));
    detail::LabelLayout layout;
    EXPECT_FALSE(detail::DialOverlay::MeasureLabel(u"x", {}, Context(), nullptr, &layout));
    platform.Windows().SetMenuFontFace(u"DejaVu Sans Mono");
    auto format = overlay.GetTextFormat(Context());
    ASSERT_TRUE(format);
    EXPECT_EQ(format->GetFontFamilyName(), u"DejaVu Sans Mono");
    EXPECT_EQ(overlay.GetTextFormat(Context()), format) << "made once, then cached";
    for (auto fail : {&draw::FixedMetricsTextFactory::FailLayouts,
                      &draw::FixedMetricsTextFactory::FailMetrics}) {
        auto factory = MakeRef<draw::FixedMetricsTextFactory>();
        ((*factory).*fail)(E_OUTOFMEMORY);
        const detail::DrawContext context{recorder, Ref<draw::TextFactory>(factory.Get()),
                                          &platform.Windows()};
        EXPECT_FALSE(detail::DialOverlay::MeasureLabel(u"x", {}, context, format.Get(), &layout));
        detail::DialOverlay::DrawLabel(u"x", {}, context, nullptr, format, nullptr);
        EXPECT_TRUE(recorder->Lines().empty());
    }
}

}  // namespace
}  // namespace Quarn::WinRT::testing
