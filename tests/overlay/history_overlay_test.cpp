// The overlays' labels: the history overlay's text from the item's history cache, when it is
// drawn, and what any overlay does with a label it cannot lay out.
#include <gtest/gtest.h>

#include "bindings/vorta/tool.h"
#include "dial/history_cache.h"
#include "overlay/history_dial_overlay.h"
#include "tests/overlay/recording_setup.h"
#include "tests/overlay/test_overlay.h"

namespace Quarn::WinRT::testing {
namespace {

using Kernel::Counted;
using Kernel::MakeCounted;
using Kernel::Reflected;

Counted<Reflected> HistoryItem(std::int32_t position, std::int32_t count, const char* description) {
    auto item = MakeCounted<Reflected>(Kernel::FourCC("hist"), "History");
    auto cache = MakeCounted<detail::DocumentHistoryCacheAttribute>();
    cache->position = position;
    cache->count = count;
    cache->description = Kernel::String8(description);
    item->AppendAttribute(cache);
    return item;
}

std::string Utf8(const Kernel::String16& text) {
    std::string out;
    Kernel::AppendUtf8(out, text.GetView());
    return out;
}

TEST(HistoryOverlayTest, TheLabelIsPositionCountAndDescription) {
    struct Case {
        const char* name;
        Counted<Reflected> item;
        const char* text;
    };
    const Case cases[] = {
        {"three of ten", HistoryItem(3, 10, "Brush stroke"), "3/10: Brush stroke"},
        {"position 0 still shows 0", HistoryItem(0, 10, "Open"), "0/10: Open"},
        {"no digit grouping", HistoryItem(12345, 1234567, "Fill"), "12345/1234567: Fill"},
        {"non-ASCII description", HistoryItem(1, 2, "F\xC3\xBCllung"), "1/2: F\xC3\xBCllung"},
        {"an empty description: no label", HistoryItem(3, 10, ""), ""},
        {"no history cache: no label", MakeCounted<Reflected>(Kernel::FourCC("hist"), "H"), ""},
        {"no item", {}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        detail::HistoryDialOverlay overlay;
        overlay.SetItem(c.item);
        EXPECT_EQ(Utf8(overlay.GetText()), c.text);
    }
}

// A black pill 30 pixels right of the puck with the text in white; nothing without a text or a
// size.
TEST(HistoryOverlayTest, TheLabelBesideThePuckInAWindowGrownBy500NothingWithoutTextOrSize) {
    RecordingSetup setup;
    detail::HistoryDialOverlay overlay;
    overlay.SetItem(HistoryItem(3, 10, "Brush stroke"));
    const detail::OverlayRect contact{100, 200, 382, 382};
    EXPECT_EQ(overlay.ComputeWindowRect(contact), (detail::OverlayRect{-400, -300, 1382, 1382}));
    overlay.SetLayout({-400, -300, 1382, 1382}, {500, 500, 382, 0});
    EXPECT_TRUE(setup.Frame(overlay).empty());
    overlay.SetLayout({-400, -300, 1382, 1382}, {500, 500, 382, 382});
    const std::vector<std::string> label = {
        "FillRoundedRectangle (912,661,1188,751) radii=(45,45) brush=(0,0,0,1)",
        "DrawText \"3/10: Brush stroke\" rect=(942,691,1158,721) size=24 brush=(1,1,1,1)"};
    EXPECT_EQ(setup.Frame(overlay), label);
    overlay.SetItem(HistoryItem(0, 10, ""));
    EXPECT_TRUE(setup.Frame(overlay).empty());
}

// A new overlay is hidden. The menu font is made once, and asked again after a failure to read
// it; a label that cannot be laid out (no format, failing layout or metrics) is not drawn.
TEST(OverlayBaseTest, HiddenUntilShownAndNoLabelThatCannotBeLaidOut) {
    RecordingSetup setup;
    TestOverlay overlay;
    EXPECT_FALSE(overlay.IsVisible()) << "a new overlay is hidden until shown";
    setup.platform.Faults().Fail(sim::ops::kSystemParametersInfoW, E_FAIL);
    EXPECT_FALSE(overlay.GetTextFormat(setup.Context()));
    detail::LabelLayout layout;
    EXPECT_FALSE(detail::DialOverlay::MeasureLabel(u"x", {}, setup.Context(), nullptr, &layout));
    setup.platform.Windows().SetMenuFontFace(u"DejaVu Sans Mono");
    auto format = overlay.GetTextFormat(setup.Context());
    ASSERT_TRUE(format);
    EXPECT_EQ(format->GetFontFamilyName(), u"DejaVu Sans Mono");
    EXPECT_EQ(overlay.GetTextFormat(setup.Context()), format) << "made once, then cached";
    for (auto fail : {&draw::FixedMetricsTextFactory::FailLayouts,
                      &draw::FixedMetricsTextFactory::FailMetrics}) {
        auto factory = MakeRef<draw::FixedMetricsTextFactory>();
        ((*factory).*fail)(E_OUTOFMEMORY);
        const detail::DrawContext context{Ref<draw::DeviceContext>(setup.context.Get()),
                                          Ref<draw::TextFactory>(factory.Get()),
                                          &setup.platform.Windows()};
        EXPECT_FALSE(detail::DialOverlay::MeasureLabel(u"x", {}, context, format.Get(), &layout));
        detail::DialOverlay::DrawLabel(u"x", {}, context, nullptr, format, nullptr);
        EXPECT_TRUE(setup.context->Lines().empty());
    }
}

}  // namespace
}  // namespace Quarn::WinRT::testing
