#include "bindings/draw/pango_text.h"

#include <pango/pangocairo.h>
#include <utf8cpp/utf8.h>

#include <atomic>
#include <climits>
#include <cmath>
#include <iterator>
#include <memory>
#include <mutex>
#include <string>

namespace Quarn::WinRT::platform::draw {

namespace {

struct GObjectUnref {
    void operator()(void* object) const { g_object_unref(object); }
};
template <class T>
using GObjectPtr = std::unique_ptr<T, GObjectUnref>;

struct FontDescriptionFree {
    void operator()(PangoFontDescription* description) const {
        pango_font_description_free(description);
    }
};
using FontDescriptionPtr = std::unique_ptr<PangoFontDescription, FontDescriptionFree>;

// Every text factory draws with the one font map of the process, made at the first factory and
// kept to the end. A font map per factory (one per renderer) loaded the fonts again each time,
// and the making and release of each one, with Pango's fontconfig thread holding a weak
// reference to it, left now and then an 8-byte block of GLib 2.74's weak-reference bookkeeping
// that LeakSanitizer reports. A font map is not safe to use from two threads at once, so the lock
// guards every use of it, of the factories' contexts and of their layouts.
std::mutex& FontMapLock() {
    static std::mutex lock;
    return lock;
}

PangoFontMap* SharedFontMap() {
    static PangoFontMap* const fontMap = pango_cairo_font_map_new();
    return fontMap;
}

// Above this a size in Pango units no longer fits an int.
constexpr float kMaxFontSize = 1e6f;
constexpr char32_t kReplacement = 0xFFFD;

bool IsValidFontSize(float size) {
    return std::isfinite(size) && size > 0 && size <= kMaxFontSize;
}

float FromPango(int units) {
    return static_cast<float>(units) / PANGO_SCALE;
}

// DirectWrite takes any UTF-16, Pango only valid UTF-8 without NULs: unpaired surrogates and NULs
// become U+FFFD instead of making Pango warn and guess.
std::string ToUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t unit = text[i];
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            unit = 0x10000 + ((unit - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if ((unit >= 0xD800 && unit <= 0xDFFF) || unit == 0) {
            unit = kReplacement;
        }
        utf8::append(static_cast<std::uint32_t>(unit), std::back_inserter(out));
    }
    return out;
}

FontDescriptionPtr MakeDescription(std::u16string_view family, int weight, PangoStyle style,
                                   PangoStretch stretch, float size) {
    FontDescriptionPtr description(pango_font_description_new());
    pango_font_description_set_family(description.get(), ToUtf8(family).c_str());
    pango_font_description_set_weight(description.get(), static_cast<PangoWeight>(weight));
    pango_font_description_set_style(description.get(), style);
    pango_font_description_set_stretch(description.get(), stretch);
    // Sizes are pixels, as DirectWrite's are, not points.
    const int units = std::max(1, static_cast<int>(std::lround(size * PANGO_SCALE)));
    pango_font_description_set_absolute_size(description.get(), units);
    return description;
}

PangoAlignment ToPango(TextAlignment alignment) {
    switch (alignment) {
        case TextAlignment::Center:
            return PANGO_ALIGN_CENTER;
        case TextAlignment::Trailing:
            return PANGO_ALIGN_RIGHT;
        default:
            // Justified text that never wraps is leading-aligned, as in DirectWrite.
            return PANGO_ALIGN_LEFT;
    }
}

// Where alignment puts text of `width` in a box of `boxWidth`, from the box's left.
float AlignmentOffset(TextAlignment alignment, float boxWidth, float width) {
    switch (alignment) {
        case TextAlignment::Center:
            return (boxWidth - width) / 2;
        case TextAlignment::Trailing:
            return boxWidth - width;
        default:
            return 0;
    }
}

class PangoTextFormat final : public TextFormat {
public:
    PangoTextFormat(std::u16string_view family, FontWeight weight, PangoStyle style,
                    PangoStretch stretch, float size, std::u16string_view locale)
        : m_family(family),
          m_weight(weight),
          m_size(size),
          m_description(MakeDescription(family, static_cast<int>(weight), style, stretch, size)),
          m_language(locale.empty() ? nullptr
                                    : pango_language_from_string(ToUtf8(locale).c_str())) {}

    HRESULT SetTextAlignment(TextAlignment alignment) override {
        if (alignment < TextAlignment::Leading || alignment > TextAlignment::Justified) {
            return E_INVALIDARG;
        }
        m_alignment.store(alignment, std::memory_order_relaxed);
        return S_OK;
    }
    TextAlignment GetTextAlignment() const override {
        return m_alignment.load(std::memory_order_relaxed);
    }
    std::u16string GetFontFamilyName() const override { return m_family; }
    float GetFontSize() const override { return m_size; }
    FontWeight GetFontWeight() const override { return m_weight; }

    const PangoFontDescription* Description() const { return m_description.get(); }
    // Pango's languages are interned for the life of the process; null when none was given.
    PangoLanguage* Language() const { return m_language; }

private:
    const std::u16string m_family;
    const FontWeight m_weight;
    const float m_size;
    const FontDescriptionPtr m_description;
    PangoLanguage* const m_language;
    std::atomic<TextAlignment> m_alignment{TextAlignment::Leading};
};

class PangoTextLayout final : public TextLayout {
public:
    explicit PangoTextLayout(const TextMetrics& metrics) : m_metrics(metrics) {}
    HRESULT GetMetrics(TextMetrics* metrics) override {
        if (!metrics) {
            return E_POINTER;
        }
        *metrics = m_metrics;
        return S_OK;
    }

private:
    const TextMetrics m_metrics;
};

// The one way text becomes a Pango layout, for measuring and for drawing alike, so that what is
// drawn is what was measured. Null for a format that cannot be used or text Pango cannot hold.
GObjectPtr<PangoLayout> BuildLayout(PangoContext* context, std::u16string_view text,
                                    const TextFormat& format) {
    FontDescriptionPtr foreign;
    const PangoFontDescription* description = nullptr;
    PangoLanguage* language = nullptr;
    if (const auto* own = dynamic_cast<const PangoTextFormat*>(&format)) {
        description = own->Description();
        language = own->Language();
    } else {
        const int weight = static_cast<int>(format.GetFontWeight());
        if (!IsValidFontSize(format.GetFontSize()) || weight < 1 || weight > 999) {
            return nullptr;
        }
        foreign = MakeDescription(format.GetFontFamilyName(), weight, PANGO_STYLE_NORMAL,
                                  PANGO_STRETCH_NORMAL, format.GetFontSize());
        description = foreign.get();
    }
    const std::string utf8 = ToUtf8(text);
    if (utf8.size() > static_cast<std::size_t>(INT_MAX)) {
        return nullptr;
    }
    GObjectPtr<PangoLayout> layout(pango_layout_new(context));
    pango_layout_set_font_description(layout.get(), description);
    // DirectWrite keeps the format's reading direction; Pango would turn an Arabic paragraph
    // right to left and flip its alignment.
    pango_layout_set_auto_dir(layout.get(), FALSE);
    pango_layout_set_alignment(layout.get(), ToPango(format.GetTextAlignment()));
    if (language) {
        PangoAttrList* attributes = pango_attr_list_new();
        pango_attr_list_insert(attributes, pango_attr_language_new(language));
        pango_layout_set_attributes(layout.get(), attributes);
        pango_attr_list_unref(attributes);
    }
    pango_layout_set_text(layout.get(), utf8.data(), static_cast<int>(utf8.size()));
    return layout;
}

class PangoTextFactory final : public TextFactory {
public:
    explicit PangoTextFactory(GObjectPtr<PangoContext> context) : m_context(std::move(context)) {}
    ~PangoTextFactory() override {
        std::lock_guard lock(FontMapLock());
        m_cachedLayout.reset();
        m_context.reset();
    }

    HRESULT CreateTextFormat(std::u16string_view familyName, FontWeight weight, FontStyle style,
                             FontStretch stretch, float size, std::u16string_view localeName,
                             Ref<TextFormat>* format) override {
        if (!format) {
            return E_POINTER;
        }
        *format = nullptr;
        const int weightValue = static_cast<int>(weight);
        const int stretchValue = static_cast<int>(stretch);
        // DirectWrite's ranges: weights 1 to 999, stretches 1 (ultra-condensed) to 9.
        if (!IsValidFontSize(size) || weightValue < 1 || weightValue > 999 || stretchValue < 1 ||
            stretchValue > 9 || style < FontStyle::Normal || style > FontStyle::Italic) {
            return E_INVALIDARG;
        }
        const PangoStyle pangoStyle = style == FontStyle::Italic    ? PANGO_STYLE_ITALIC
                                      : style == FontStyle::Oblique ? PANGO_STYLE_OBLIQUE
                                                                    : PANGO_STYLE_NORMAL;
        // Pango counts stretches from 0.
        const auto pangoStretch = static_cast<PangoStretch>(stretchValue - 1);
        *format = MakeRef<PangoTextFormat>(familyName, weight, pangoStyle, pangoStretch, size,
                                           localeName);
        return S_OK;
    }

    HRESULT CreateTextLayout(std::u16string_view text, TextFormat* format, float maxWidth,
                             float maxHeight, Ref<TextLayout>* layout) override {
        if (!layout) {
            return E_POINTER;
        }
        *layout = nullptr;
        if (!format || !(maxWidth >= 0) || !(maxHeight >= 0)) {
            return E_INVALIDARG;
        }
        TextMetrics metrics;
        {
            std::lock_guard lock(FontMapLock());
            PangoLayout* pango = LayoutFor(text, *format);
            if (!pango) {
                return E_INVALIDARG;
            }
            PangoRectangle logical;
            pango_layout_get_extents(pango, nullptr, &logical);
            metrics.width = FromPango(logical.width);
            metrics.height = FromPango(logical.height);
            metrics.lineCount = static_cast<std::uint32_t>(pango_layout_get_line_count(pango));
        }
        metrics.widthIncludingTrailingWhitespace = metrics.width;
        metrics.left = AlignmentOffset(format->GetTextAlignment(), maxWidth, metrics.width);
        metrics.top = 0;
        metrics.layoutWidth = maxWidth;
        metrics.layoutHeight = maxHeight;
        *layout = MakeRef<PangoTextLayout>(metrics);
        return S_OK;
    }

    bool Show(cairo_t* cr, std::u16string_view text, const TextFormat& format, const RectF& rect,
              bool clip) {
        std::lock_guard lock(FontMapLock());
        PangoLayout* pango = LayoutFor(text, format);
        if (!pango) {
            return false;
        }
        PangoRectangle logical;
        pango_layout_get_extents(pango, nullptr, &logical);
        const double x = rect.left - FromPango(logical.x) +
                         AlignmentOffset(format.GetTextAlignment(), rect.right - rect.left,
                                         FromPango(logical.width));
        const double y = rect.top - FromPango(logical.y);
        // Centred or trailing text in an unbounded box lands near 1e38, where Cairo's fixed-point
        // coordinates overflow and wrap back onto the surface: it is far outside, so skip it.
        constexpr double kFarOutside = 1 << 20;
        double deviceX = x;
        double deviceY = y;
        cairo_user_to_device(cr, &deviceX, &deviceY);
        if (!(std::abs(deviceX) < kFarOutside && std::abs(deviceY) < kFarOutside)) {
            return true;
        }
        cairo_save(cr);
        if (clip) {
            cairo_rectangle(cr, rect.left, rect.top, rect.right - rect.left,
                            rect.bottom - rect.top);
            cairo_clip(cr);
        }
        cairo_move_to(cr, x, y);
        pango_cairo_show_layout(cr, pango);
        cairo_restore(cr);
        return true;
    }

private:
    // The layout of the text last measured or drawn. Text is measured and then drawn with the
    // same format (a label, a value), so the drawing finds the layout the measuring built and
    // Pango shapes the text once per frame, not twice. The format is held so that its address
    // cannot be reused by another one. Called under FontMapLock().
    PangoLayout* LayoutFor(std::u16string_view text, const TextFormat& format) {
        if (m_cachedLayout && m_cachedFormat.Get() == &format && m_cachedText == text) {
            // Alignment is the one thing a format may change between the two uses.
            const PangoAlignment alignment = ToPango(format.GetTextAlignment());
            if (pango_layout_get_alignment(m_cachedLayout.get()) != alignment) {
                pango_layout_set_alignment(m_cachedLayout.get(), alignment);
            }
            return m_cachedLayout.get();
        }
        m_cachedLayout = BuildLayout(m_context.get(), text, format);
        m_cachedFormat = m_cachedLayout ? Ref<const TextFormat>(&format) : nullptr;
        m_cachedText.assign(text);
        return m_cachedLayout.get();
    }

    // Used under FontMapLock() only.
    GObjectPtr<PangoContext> m_context;
    std::u16string m_cachedText;
    Ref<const TextFormat> m_cachedFormat;
    GObjectPtr<PangoLayout> m_cachedLayout;
};

}  // namespace

Ref<TextFactory> CreatePangoTextFactory() {
    std::unique_lock lock(FontMapLock());
    PangoFontMap* fontMap = SharedFontMap();
    if (!fontMap) {
        return nullptr;
    }
    GObjectPtr<PangoContext> context(pango_font_map_create_context(fontMap));
    if (!context) {
        return nullptr;
    }
    pango_context_set_base_dir(context.get(), PANGO_DIRECTION_LTR);
    lock.unlock();
    return MakeRef<PangoTextFactory>(std::move(context));
}

bool IsPangoTextFactory(const TextFactory* factory) {
    return dynamic_cast<const PangoTextFactory*>(factory) != nullptr;
}

bool ShowPangoText(TextFactory& factory, cairo_t* cr, std::u16string_view text,
                   const TextFormat& format, const RectF& rect, bool clip) {
    auto* pango = dynamic_cast<PangoTextFactory*>(&factory);
    return pango && pango->Show(cr, text, format, rect, clip);
}

}  // namespace Quarn::WinRT::platform::draw
