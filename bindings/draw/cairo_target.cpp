#include "bindings/draw/cairo_target.h"

#include <cairo.h>

#include <algorithm>

namespace Quarn::WinRT::platform::draw {

CairoImageTarget::CairoImageTarget(int width, int height)
    : m_surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, std::max(width, 0),
                                           std::max(height, 0))) {
    // Cairo answers a failed allocation with a surface in an error state, never null.
    if (cairo_surface_status(m_surface) == CAIRO_STATUS_SUCCESS) {
        m_width = std::max(width, 0);
        m_height = std::max(height, 0);
    }
}

CairoImageTarget::~CairoImageTarget() {
    cairo_surface_destroy(m_surface);
}

const std::uint32_t* CairoImageTarget::Row(int y) const {
    // Cairo may still hold drawing back (it batches); flush before reading memory directly.
    cairo_surface_flush(m_surface);
    const unsigned char* data = cairo_image_surface_get_data(m_surface);
    const int stride = cairo_image_surface_get_stride(m_surface);
    return reinterpret_cast<const std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
}

std::uint32_t CairoImageTarget::Pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= m_width || y >= m_height) {
        return 0;
    }
    return Row(y)[x];
}

std::vector<std::uint32_t> CairoImageTarget::CopyPixels() const {
    std::vector<std::uint32_t> pixels;
    pixels.reserve(static_cast<std::size_t>(m_width) * static_cast<std::size_t>(m_height));
    for (int y = 0; y < m_height; ++y) {
        const std::uint32_t* row = Row(y);
        pixels.insert(pixels.end(), row, row + m_width);
    }
    return pixels;
}

bool CairoImageTarget::SavePng(const std::string& path) const {
    if (m_width == 0 || m_height == 0) {
        return false;
    }
    return SaveArgbPng(Row(0), m_width, m_height, cairo_image_surface_get_stride(m_surface), path);
}

cairo_surface_t* CairoImageTarget::BeginFrame() {
    // A zero-sized surface is valid: Cairo draws nothing on it, and the frame succeeds.
    return cairo_surface_status(m_surface) == CAIRO_STATUS_SUCCESS ? m_surface : nullptr;
}

HRESULT CairoImageTarget::EndFrame() {
    cairo_surface_flush(m_surface);
    return S_OK;
}

bool SaveArgbPng(const std::uint32_t* pixels, int width, int height, int strideBytes,
                 const std::string& path) {
    constexpr int kPixelBytes = 4;
    if (!pixels || width <= 0 || height <= 0 || strideBytes / kPixelBytes < width ||
        strideBytes % kPixelBytes != 0) {
        return false;
    }
    // Cairo only reads the pixels when writing a PNG; the cast away from const is for its API.
    unsigned char* data =
        const_cast<unsigned char*>(reinterpret_cast<const unsigned char*>(pixels));
    cairo_surface_t* surface =
        cairo_image_surface_create_for_data(data, CAIRO_FORMAT_ARGB32, width, height, strideBytes);
    const bool saved = cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS &&
                       cairo_surface_write_to_png(surface, path.c_str()) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(surface);
    return saved;
}

}  // namespace Quarn::WinRT::platform::draw
