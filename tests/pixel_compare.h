#pragma once
// Compares rendered pixels with a reference PNG committed under tests/ (the comparison itself is
// tests/pixel_difference.h). Fonts are hinted and antialiased a little differently from one
// machine to the next, so a pixel matches when a pixel of the other picture at most one pixel
// away is within kReferenceTolerance of it, and kMaxUnmatchedPixels may still differ: an edge or
// a glyph a pixel over passes, a shape two pixels off does not. Measured by mutation: every value
// arc drawn 2 degrees longer, or shorter, leaves at least 19 pixels unmatched in each picture
// that shows one (a single badge's arc, ring_1); every text moved a pixel leaves none. On
// failure the actual image and a difference image (red where pixels differ beyond the
// tolerance, the reference faded elsewhere) are written to `failureDirectory`.
//
// QUARN_UPDATE_REFERENCES=1 in the environment writes the actual image over the reference
// instead, for a deliberate change of what is drawn.

#include <cairo.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bindings/draw/cairo_target.h"
#include "tests/pixel_difference.h"

namespace Quarn::WinRT::testing {

inline constexpr PixelTolerance kReferenceTolerance{.channel = 32, .blurRadius = 0, .shift = 1};
inline constexpr int kMaxUnmatchedPixels = 8;

// Cairo ARGB32, premultiplied.
inline bool SavePng(const PixelImage& image, const std::string& path) {
    return platform::draw::SaveArgbPng(image.pixels.data(), image.width, image.height,
                                       image.width * 4, path);
}

inline PixelImage LoadPng(const std::string& path) {
    PixelImage image;
    cairo_surface_t* surface = cairo_image_surface_create_from_png(path.c_str());
    if (cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS) {
        cairo_surface_flush(surface);
        image.width = cairo_image_surface_get_width(surface);
        image.height = cairo_image_surface_get_height(surface);
        const int stride = cairo_image_surface_get_stride(surface);
        const unsigned char* data = cairo_image_surface_get_data(surface);
        image.pixels.resize(static_cast<std::size_t>(image.width) *
                            static_cast<std::size_t>(image.height));
        for (int y = 0; y < image.height; ++y) {
            const auto* row = reinterpret_cast<const std::uint32_t*>(data + y * stride);
            std::copy(row, row + image.width,
                      image.pixels.begin() + static_cast<std::ptrdiff_t>(y) * image.width);
        }
    }
    cairo_surface_destroy(surface);
    return image;
}

// Red where a pixel has no match, the reference at a quarter of its opacity elsewhere.
inline PixelImage DifferenceImage(const PixelImage& reference, const PixelDifference& difference) {
    PixelImage image{reference.width, reference.height,
                     std::vector<std::uint32_t>(reference.pixels.size())};
    for (std::size_t i = 0; i < image.pixels.size(); ++i) {
        const std::uint32_t r = reference.pixels[i];
        const std::uint32_t alpha = (r >> 24) / 4;
        const std::uint32_t grey = ((r >> 8) & 0xFF) / 4;  // premultiplied, as Cairo wants it
        image.pixels[i] = difference.unmatched[i]
                              ? 0xFFFF0000u
                              : (alpha << 24) | (grey << 16) | (grey << 8) | grey;
    }
    return image;
}

// A gtest assertion helper: empty when the image matches its reference, else what went wrong.
inline std::string MatchReference(const PixelImage& actual, const std::string& referencePath,
                                  const std::string& failureDirectory,
                                  const PixelTolerance& tolerance = kReferenceTolerance,
                                  int maxUnmatchedPixels = kMaxUnmatchedPixels) {
    const std::string name = std::filesystem::path(referencePath).stem().string();
    const char* update = std::getenv("QUARN_UPDATE_REFERENCES");
    if (update && std::string(update) == "1") {
        std::filesystem::create_directories(std::filesystem::path(referencePath).parent_path());
        return SavePng(actual, referencePath) ? std::string() : "cannot write " + referencePath;
    }
    std::filesystem::create_directories(failureDirectory);
    const std::string actualPath = failureDirectory + "/" + name + ".actual.png";
    const PixelImage reference = LoadPng(referencePath);
    if (reference.pixels.empty()) {
        SavePng(actual, actualPath);
        return "no reference " + referencePath + "; the actual image is " + actualPath;
    }
    const PixelDifference difference = ComparePixels(actual, reference, tolerance);
    if (!difference.sizesMatch) {
        SavePng(actual, actualPath);
        return name + ": " + std::to_string(actual.width) + "x" + std::to_string(actual.height) +
               " against a reference of " + std::to_string(reference.width) + "x" +
               std::to_string(reference.height) + "; the actual image is " + actualPath;
    }
    if (difference.unmatchedPixels > maxUnmatchedPixels) {
        const std::string differencePath = failureDirectory + "/" + name + ".difference.png";
        SavePng(actual, actualPath);
        SavePng(DifferenceImage(reference, difference), differencePath);
        return name + ": " + std::to_string(difference.unmatchedPixels) +
               " pixels differ beyond the tolerance (at most " +
               std::to_string(maxUnmatchedPixels) + " may); see " + actualPath + " and " +
               differencePath;
    }
    return {};
}

}  // namespace Quarn::WinRT::testing
