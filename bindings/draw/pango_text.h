#pragma once
// DirectWrite's text formats and layouts on Pango. A layout is one paragraph per line break,
// never wrapped, laid out left to right (DirectWrite's default reading direction); its metrics
// are Pango's logical extents in pixels, placed in the layout box the way DirectWrite places
// them.
//
// Sizes are in pixels. Pango's logical width includes trailing whitespace, so `width` and
// `widthIncludingTrailingWhitespace` are the same.
//
// Thread rule: Pango objects are not thread safe, so each text factory owns its own font map and
// Pango context and serialises everything done with them. Formats are immutable data apart from
// their alignment, which any thread may set. Layouts hold only their metrics.

#include <string_view>

#include "bindings/draw/draw.h"

typedef struct _cairo cairo_t;

namespace Quarn::WinRT::platform::draw {

// Null only when Pango cannot make a font map.
Ref<TextFactory> CreatePangoTextFactory();

bool IsPangoTextFactory(const TextFactory* factory);

// Draws the text with the factory's fonts as DrawText does: its layout's top left at the rect's
// top, aligned within the rect's width, in the source and transform already set on `cr`; clipped
// to the rect when `clip`. The format may come from any text factory (formats of other factories
// are read through the interface: family, size, weight, alignment). False when `factory` is not
// a Pango one or the text is too long for Pango.
bool ShowPangoText(TextFactory& factory, cairo_t* cr, std::u16string_view text,
                   const TextFormat& format, const RectF& rect, bool clip);

}  // namespace Quarn::WinRT::platform::draw
