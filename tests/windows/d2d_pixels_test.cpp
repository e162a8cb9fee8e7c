// The overlays' own drawing code run on Direct2D and DirectWrite, compared pixel by pixel with
// the pictures the Linux build draws with Cairo and Pango (tests/overlay/reference, checked by
// the Linux pixel tests). Both use the same font, so what differs is antialiasing and glyph
// rasterisation; the pictures chosen use no arc segment, which Wine's Direct2D does not draw.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
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

// A channel may differ by this much (antialiasing of edges), and this share of the pixels by
// more (glyphs that FreeType under DirectWrite and Pango hint and position a little apart).
constexpr int kChannelTolerance = 48;
constexpr double kMaxShareBeyondTolerance = 0.01;

class D2DPixelTest : public ::testing::Test {
protected:
    // One frame of the overlay in a target of its window's size, read back, and compared with
    // the reference of that name. The numbers are printed for the record.
    void ExpectLikeReference(detail::DialOverlay& overlay, int width, int height,
                             const std::string& name) {
        std::string why;
        auto target = OffscreenTarget::Create(width, height, &why);
        ASSERT_TRUE(target) << why;
        const detail::DrawContext frame{target->context, target->text, &windowing};
        overlay.SetFactory(target->factory);
        target->context->BeginDraw();
        target->context->Clear(std::nullopt);
        overlay.Draw(frame);
        ASSERT_HRESULT_SUCCEEDED(target->context->EndDraw());
        const Pixels actual = target->Read();

        const std::wstring file(name.begin(), name.end());
        const Pixels reference = LoadPng(QUARN_REFERENCE_DIR + file + L".png");
        ASSERT_FALSE(reference.words.empty()) << "cannot read the reference " << name;
        const PixelDifference difference = Compare(actual, reference, kChannelTolerance);
        ASSERT_TRUE(difference.sizesMatch) << name;
        const double share = static_cast<double>(difference.pixelsBeyondTolerance) /
                             static_cast<double>(actual.words.size());
        std::printf("%s: %d of %zu pixels beyond %d per channel (%.3f%%), largest difference %d\n",
                    name.c_str(), difference.pixelsBeyondTolerance, actual.words.size(),
                    kChannelTolerance, share * 100, difference.largestChannelDifference);
        if (share > kMaxShareBeyondTolerance) {
            std::filesystem::create_directories(QUARN_PIXEL_OUTPUT_DIR);
            SavePng(actual, QUARN_PIXEL_OUTPUT_DIR + file + L".direct2d.png");
        }
        EXPECT_LE(share, kMaxShareBeyondTolerance)
            << name << ": the Direct2D picture is written beside the test's build folder";
        // Something was drawn at all: a blank frame must not pass for a match by tolerance.
        EXPECT_NE(std::count(actual.words.begin(), actual.words.end(), 0u),
                  static_cast<std::ptrdiff_t>(actual.words.size()));
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
    ExpectLikeReference(history, 1382, 1382, "history_label");
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
    ExpectLikeReference(disc, 382, 382, "offscreen_disc_no_arc");
}

}  // namespace
}  // namespace Quarn::WinRT::testing
