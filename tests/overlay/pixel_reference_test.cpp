// The overlays drawn through Cairo and Pango at their real window sizes, against reference
// images under tests/overlay/reference (see tests/pixel_compare.h for the tolerance, what it
// catches and how to regenerate them).
#include "bindings/draw/cairo_draw.h"
#include "bindings/draw/cairo_target.h"
#include "bindings/draw/pango_text.h"
#include "dial/history_cache.h"
#include "overlay/history_dial_overlay.h"
#include "tests/overlay/group_fixture.h"
#include "tests/pixel_compare.h"

namespace Quarn::WinRT::testing {
namespace {

class PixelReferenceTest : public GroupOverlayTest {
protected:
    // Draws one frame of the overlay into a target of the window's size.
    PixelImage Render(detail::DialOverlay& drawn, int width, int height) {
        draw::CairoImageTarget target(width, height);
        auto* cairo = static_cast<draw::CairoDeviceContext*>(context.Get());
        cairo->SetTarget(&target);
        const detail::DrawContext frame{context, text, &setup.platform.Windows()};
        context->BeginDraw();
        context->Clear(std::nullopt);
        drawn.Draw(frame);
        context->EndDraw();
        cairo->SetTarget(nullptr);
        return PixelImage{target.Width(), target.Height(), target.CopyPixels()};
    }

    void Expect(const PixelImage& image, const std::string& name) {
        const std::string problem =
            MatchReference(image, QUARN_SOURCE_DIR "/tests/overlay/reference/" + name + ".png",
                           QUARN_PIXEL_OUTPUT_DIR);
        EXPECT_TRUE(problem.empty()) << problem;
    }

    // A ring around a 120-pixel puck, in its window (920 pixels wide while the ring keeps the
    // design's size).
    void ExpectRing(std::vector<Counted<Reflected>> elements, Counted<Reflected> current,
                    const std::string& name) {
        detail::GroupDialOverlay ring;
        ring.SetItems(tool, std::move(elements), std::move(current));
        ring.SetFactory(factory);
        ring.SetContact(true);
        const detail::OverlayRect window = ring.ComputeWindowRect({0, 0, 120, 120});
        ring.SetLayout(window, {-window.x, -window.y, 120, 120});
        Expect(Render(ring, static_cast<int>(window.width), static_cast<int>(window.height)), name);
    }

    Ref<draw::Factory> factory = MakeRef<draw::ModelFactory>();
    Ref<draw::TextFactory> text = draw::CreatePangoTextFactory();
    Ref<draw::DeviceContext> context = draw::CreateCairoDeviceContext(factory, text);
};

TEST_F(PixelReferenceTest, RingsOfOneThreeSevenAndTwelveElements) {
    ExpectRing({Counted<Reflected>(lightness)}, Counted<Reflected>(lightness), "ring_1");
    ExpectRing(Elements(), Counted<Reflected>(saturation), "ring_3");
    std::vector<Counted<Reflected>> twelve;
    static constexpr char kIds[12][5] = {"e000", "e001", "e002", "e003", "e004", "e005",
                                         "e006", "e007", "e008", "e009", "e010", "e011"};
    static constexpr const char* kNames[12] = {"Alpha", "Beta",  "Gamma",   "Delta",
                                               "Eta",   "Theta", "Iota",    "Kappa",
                                               "Mu",    "Nu",    "Omicron", "Rho"};
    for (int i = 0; i < 12; ++i) {
        auto element = Element(kIds[i], kNames[i], i / 11.0);
        if (i % 3 == 0) {
            element->AppendAttribute(MakeCounted<Corvanta::ColourRangeAttribute>(
                0x00FFFFu, static_cast<std::uint32_t>(0x3311AA + i * 0x0A0A00)));
        }
        twelve.push_back(element);
    }
    ExpectRing({twelve.begin(), twelve.begin() + 7}, twelve[4], "ring_7");
    ExpectRing(twelve, twelve[4], "ring_12");
}

TEST_F(PixelReferenceTest, TheCurrentElementAtItsMinimumItsMaximumAndOutsideItsRange) {
    struct Case {
        const char* name;
        double value;
    };
    for (const Case& c : {Case{"current_minimum", 0.0}, Case{"current_maximum", 1.0},
                          Case{"current_outside", 1.4}}) {
        SCOPED_TRACE(c.name);
        auto current = With<PrecisionAttribute>(
            With<Corvanta::SaturationColourRangeAttribute>(Element("satu", "Saturation", c.value)),
            2);
        ExpectRing(
            {Counted<Reflected>(hue), Counted<Reflected>(current), Counted<Reflected>(lightness)},
            Counted<Reflected>(current), c.name);
    }
}

TEST_F(PixelReferenceTest, BadgesShowTheWholeFirstCharacterOfTheirNames) {
    ExpectRing({Counted<Reflected>(Element("acce", "\xC3\x84hnlichkeit", 0.3)),
                Counted<Reflected>(Element("oel ", "\xC3\x96lfarbe", 0.6)),
                Counted<Reflected>(Element("euro", "\xE2\x82\xAC per litre", 0.9)),
                Counted<Reflected>(hue)},
               Counted<Reflected>(hue), "initial_non_ascii");
}

// Off the screen, one disc. At its minimum, with no north of its own, the current element's value
// arc is empty: the disc is drawn with fills and text alone. The Windows build draws that picture
// with Direct2D and compares it with this reference.
TEST_F(PixelReferenceTest, TheDiscOffTheScreenWithAndWithoutAValueArc) {
    auto atMinimum = With<Corvanta::ColourRangeAttribute>(Element("hue ", "Hue", 0, 0, 360),
                                                          0x0000FFu, 0xFF0000u);
    for (const auto& [current, name] :
         {std::pair{Counted<Reflected>(hue), "offscreen_disc"},
          std::pair{Counted<Reflected>(atMinimum), "offscreen_disc_no_arc"}}) {
        detail::GroupDialOverlay disc;
        disc.SetItems(tool,
                      {current, Counted<Reflected>(saturation), Counted<Reflected>(lightness)},
                      current);
        disc.SetFactory(factory);
        disc.SetLayout({0, 0, 382, 382}, {0, 0, 382, 382});
        Expect(Render(disc, 382, 382), name);
    }
}

TEST_F(PixelReferenceTest, TheHistoryLabelAndAnEmptyHistory) {
    auto item = MakeCounted<Reflected>(FourCC("hist"), "History");
    auto cache = MakeCounted<detail::DocumentHistoryCacheAttribute>();
    cache->position = 7;
    cache->count = 12;
    cache->description = Kernel::String8("Brush stroke");
    item->AppendAttribute(cache);
    detail::HistoryDialOverlay history;
    history.SetItem(item);
    history.SetLayout({0, 0, 1382, 1382}, {500, 500, 382, 382});
    Expect(Render(history, 1382, 1382), "history_label");

    cache->position = 0;
    cache->description = Kernel::String8();
    history.OnToolChanged({});
    const PixelImage empty = Render(history, 1382, 1382);
    EXPECT_TRUE(std::all_of(empty.pixels.begin(), empty.pixels.end(),
                            [](std::uint32_t pixel) { return pixel == 0; }));
}

TEST_F(PixelReferenceTest, AChangedPictureFailsAndLeavesTheActualAndADifferenceImage) {
    if (const char* update = std::getenv("QUARN_UPDATE_REFERENCES"); update && *update == '1') {
        GTEST_SKIP() << "references are being rewritten";
    }
    // Lightness current instead of Saturation: another value disc, badge and label.
    detail::GroupDialOverlay ring;
    ring.SetItems(tool, Elements(), Counted<Reflected>(lightness));
    ring.SetFactory(factory);
    ring.SetContact(true);
    ring.SetLayout(kWindow, kContact);
    const std::string failures = std::string(QUARN_PIXEL_OUTPUT_DIR) + "/deliberate";
    std::filesystem::remove_all(failures);
    const std::string problem = MatchReference(
        Render(ring, 920, 920), QUARN_SOURCE_DIR "/tests/overlay/reference/ring_3.png", failures);
    EXPECT_NE(problem.find("pixels differ beyond the tolerance"), std::string::npos) << problem;
    EXPECT_TRUE(std::filesystem::exists(failures + "/ring_3.actual.png"));
    EXPECT_TRUE(std::filesystem::exists(failures + "/ring_3.difference.png"));
}

}  // namespace
}  // namespace Quarn::WinRT::testing
