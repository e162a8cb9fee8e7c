#pragma once
// Surfaces a Cairo device context draws into. A target hands the context one image surface per
// frame; an image target keeps it in memory, where tests read pixels back and tools save frames.
//
// Pixels are Cairo's ARGB32: one native-endian 32-bit word per pixel, alpha in the top byte,
// colour premultiplied by alpha.

#include <cstdint>
#include <string>
#include <vector>

#include "bindings/platform/win_types.h"

// Cairo's own opaque type, declared the way cairo.h declares it, so that users of the target do
// not need Cairo's headers.
typedef struct _cairo_surface cairo_surface_t;

namespace Quarn::WinRT::platform::draw {

class CairoTarget {
public:
    virtual ~CairoTarget() = default;
    CairoTarget(const CairoTarget&) = delete;
    CairoTarget& operator=(const CairoTarget&) = delete;

    // Called by BeginDraw: the ARGB32 image surface this frame draws into, owned by the target
    // and valid until EndFrame. Null when the frame cannot be drawn; the frame then draws nothing
    // and EndDraw reports E_FAIL.
    virtual cairo_surface_t* BeginFrame() = 0;
    // Called by EndDraw, after every drawing operation of the frame has reached the surface. Also
    // called when the frame's surface was null, so that every BeginFrame has its EndFrame. A
    // failure is EndDraw's (a target whose device went away answers D2DERR_RECREATE_TARGET).
    virtual HRESULT EndFrame() = 0;

protected:
    CairoTarget() = default;
};

// A target in memory. Its pixels start transparent black and keep what the last frame drew.
// Negative sizes count as zero; a zero-sized target draws nothing. A size Cairo cannot allocate
// (over 32767 on a side) leaves the target unusable: frames fail and it reads as empty.
class CairoImageTarget final : public CairoTarget {
public:
    CairoImageTarget(int width, int height);
    ~CairoImageTarget() override;

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    // The pixel at (x, y); 0 outside the target.
    std::uint32_t Pixel(int x, int y) const;
    // Every pixel, row by row, with no padding between rows.
    std::vector<std::uint32_t> CopyPixels() const;
    // False when the file cannot be written, and for a zero-sized target (PNG has no empty
    // images).
    bool SavePng(const std::string& path) const;

    cairo_surface_t* BeginFrame() override;
    HRESULT EndFrame() override;

private:
    const std::uint32_t* Row(int y) const;

    cairo_surface_t* m_surface = nullptr;
    int m_width = 0;
    int m_height = 0;
};

// Writes ARGB32 pixels (see above) as a PNG file, rows `strideBytes` apart. False for a null or
// empty image, a stride shorter than a row or not a whole number of pixels, or a write failure.
bool SaveArgbPng(const std::uint32_t* pixels, int width, int height, int strideBytes,
                 const std::string& path);

}  // namespace Quarn::WinRT::platform::draw
