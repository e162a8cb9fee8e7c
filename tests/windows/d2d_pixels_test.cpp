// The overlays' own drawing code run on Direct2D and DirectWrite, compared pixel by pixel with
// the pictures the Linux build draws with Cairo and Pango (tests/overlay/reference, checked by
// the Linux pixel tests). Both use the same font, so what differs is antialiasing and glyph
// rasterisation; the pictures chosen use no arc segment, which Wine's Direct2D does not draw.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "bindings/corvanta/attributes.h"
#include "bindings/kernel/reflected.h"
#include "bindings/vorta/attributes.h"
#include "bindings/vorta/document.h"
#include "bindings/vorta/tool.h"
#include "dial/history_cache.h"
#include "overlay/draw_context.h"
#include "overlay/group_dial_overlay.h"
#include "overlay/history_dial_overlay.h"
#include "tests/windows/d2d_offscreen.h"

namespace Quarn::WinRT::testing {
namespace {

using Kernel::Counted;
using Kernel::FourCC;
using Kernel::MakeCounted;
using Kernel::Reflected;

// Measured under Wine 8 against the Cairo pictures: Wine fills shapes without antialiasing,
// and DirectWrite's line height for the font is a pixel below Pango's, which moves the label's
// pill edges and text by a pixel or two. These tolerances absorb that; when they were set, the
// disc drawn without its text (a menu font Wine cannot measure) failed them by far.
constexpr PixelTolerance kTolerance{.channel = 48, .blurRadius = 3, .shift = 1};
constexpr int kMaxUnmatched = 300;

class D2DPixelTest : public ::testing::Test {
protected:
    // One frame of the overlay in a target of its window's size, read back.
    Pixels Render(detail::DialOverlay& overlay, int width, int height,
                  platform::Windowing& system) {
        std::string why;
        auto target = OffscreenTarget::Create(width, height, &why);
        EXPECT_TRUE(target) << why;
        if (!target) {
            return {};
        }
        const detail::DrawContext frame{target->context, target->text, &system};
        overlay.SetFactory(target->factory);
        target->context->BeginDraw();
        target->context->Clear(std::nullopt);
        overlay.Draw(frame);
        EXPECT_HRESULT_SUCCEEDED(target->context->EndDraw());
        return target->Read();
    }

    // The pixels that do not match the reference of that name; the numbers are printed for the
    // record.
    int Unmatched(const Pixels& actual, const std::string& name) {
        const std::wstring file(name.begin(), name.end());
        const Pixels reference = LoadPng(QUARN_REFERENCE_DIR + file + L".png");
        EXPECT_FALSE(reference.pixels.empty()) << "cannot read the reference " << name;
        const PixelDifference difference = ComparePixels(actual, reference, kTolerance);
        EXPECT_TRUE(difference.sizesMatch) << name;
        std::printf("%s: %d of %zu pixels unmatched, largest difference in place %d\n",
                    name.c_str(), difference.unmatchedPixels, actual.pixels.size(),
                    difference.largestChannelDifference);
        return difference.sizesMatch ? difference.unmatchedPixels : INT32_MAX;
    }

    MenuFontWindowing windowing{u"DejaVu Sans"};  // the simulated platform's menu font
    Counted<DocumentController> document = MakeCounted<DocumentController>();
    Counted<Tool> tool = MakeCounted<Tool>(7, "Brush", document);
};

TEST_F(D2DPixelTest, TheHistoryLabel) {
    auto item = MakeCounted<Reflected>(FourCC("hist"), "History");
    auto cache = MakeCounted<detail::DocumentHistoryCacheAttribute>();
    cache->position = 7;
    cache->count = 12;
    cache->description = Kernel::String8("Brush stroke");
    item->AppendAttribute(cache);
    detail::HistoryDialOverlay history;
    history.SetItem(item);
    history.SetLayout({0, 0, 1382, 1382}, {500, 500, 382, 382});
    EXPECT_LE(Unmatched(Render(history, 1382, 1382, windowing), "history_label"), kMaxUnmatched);
}

TEST_F(D2DPixelTest, TheDiscOffTheScreenWithoutAValueArc) {
    using Range = Kernel::ReflectedRangeT<double>;
    auto hue = MakeCounted<Range>(FourCC("hue "), "Hue", 0.0, 0.0, 360.0);
    hue->AppendAttribute(MakeCounted<Corvanta::ColourRangeAttribute>(0x0000FFu, 0xFF0000u));
    auto saturation = MakeCounted<Range>(FourCC("satu"), "Saturation", 0.5, 0.0, 1.0);
    saturation->AppendAttribute(MakeCounted<Corvanta::SaturationColourRangeAttribute>());
    saturation->AppendAttribute(MakeCounted<PrecisionAttribute>(2));
    saturation->AppendAttribute(MakeCounted<ColourAttribute>(0x00FF00u));
    auto lightness = MakeCounted<Range>(FourCC("ligh"), "Lightness", 0.25, 0.0, 1.0);

    detail::GroupDialOverlay disc;
    disc.SetItems(
        tool,
        {Counted<Reflected>(hue), Counted<Reflected>(saturation), Counted<Reflected>(lightness)},
        Counted<Reflected>(hue));
    disc.SetLayout({0, 0, 382, 382}, {0, 0, 382, 382});
    EXPECT_LE(Unmatched(Render(disc, 382, 382, windowing), "offscreen_disc_no_arc"), kMaxUnmatched);
}

}  // namespace
}  // namespace Quarn::WinRT::testing
