// The overlays' own drawing code run on Direct2D and DirectWrite, compared pixel by pixel with
// the pictures the Linux build draws with Cairo and Pango (tests/overlay/reference, checked by
// the Linux pixel tests). Both use the same font, so what differs is antialiasing and glyph
// rasterisation; the pictures chosen use no arc segment, which Wine's Direct2D does not draw.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <iterator>
#include <string>

#include "bindings/corvanta/attributes.h"
#include "bindings/kernel/reflected.h"
#include "bindings/platform/win_backends.h"
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
    // The system's menu font is, for the test, the one the Linux build's pictures use (the
    // simulated platform's), so that both draw the same text; Wine's own is another.
    void SetUp() override {
        m_saved.cbSize = sizeof m_saved;
        ASSERT_TRUE(SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof m_saved, &m_saved, 0));
        NONCLIENTMETRICSW metrics = m_saved;
        const wchar_t face[] = L"DejaVu Sans";
        std::copy(std::begin(face), std::end(face), metrics.lfMenuFont.lfFaceName);
        ASSERT_TRUE(SystemParametersInfoW(SPI_SETNONCLIENTMETRICS, sizeof metrics, &metrics, 0));
    }
    void TearDown() override {
        SystemParametersInfoW(SPI_SETNONCLIENTMETRICS, sizeof m_saved, &m_saved, 0);
    }

    // The pixels of one frame of the overlay, in a target of its window's size, that do not
    // match the reference of that name; the numbers are printed for the record.
    int Unmatched(detail::DialOverlay& overlay, int width, int height, const std::string& name) {
        std::string why;
        const auto target = OffscreenTarget::Create(width, height, &why);
        if (!target) {
            ADD_FAILURE() << why;
            return INT32_MAX;
        }
        overlay.SetFactory(target->factory);
        target->context->BeginDraw();
        target->context->Clear(std::nullopt);
        overlay.Draw({target->context, target->text, &platform::Win32Windowing()});
        EXPECT_HRESULT_SUCCEEDED(target->context->EndDraw());
        const Pixels reference =
            LoadPng(QUARN_REFERENCE_DIR + std::wstring(name.begin(), name.end()) + L".png");
        EXPECT_FALSE(reference.pixels.empty()) << "cannot read the reference " << name;
        const PixelDifference difference = ComparePixels(target->Read(), reference, kTolerance);
        std::printf("%s: %d of %zu pixels unmatched, largest difference in place %d\n",
                    name.c_str(), difference.unmatchedPixels, reference.pixels.size(),
                    difference.largestChannelDifference);
        return difference.sizesMatch ? difference.unmatchedPixels : INT32_MAX;
    }

    Counted<DocumentController> document = MakeCounted<DocumentController>();
    Counted<Tool> tool = MakeCounted<Tool>(7, "Brush", document);

private:
    NONCLIENTMETRICSW m_saved{};
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
    EXPECT_LE(Unmatched(history, 1382, 1382, "history_label"), kMaxUnmatched);
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
    EXPECT_LE(Unmatched(disc, 382, 382, "offscreen_disc_no_arc"), kMaxUnmatched);
}

}  // namespace
}  // namespace Quarn::WinRT::testing
