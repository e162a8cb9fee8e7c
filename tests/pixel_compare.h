#pragma once
// Compares rendered pixels with a reference PNG committed under tests/, with a tolerance: fonts
// are hinted and antialiased a little differently from one machine to the next, so a pixel may
// differ by `channelTolerance` in each channel, and up to `maxDifferentPixels` pixels may differ
// by more. On failure the actual image and a difference image (red where pixels differ beyond
// the tolerance, the reference faded elsewhere) are written to `failureDirectory`.
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

namespace Quarn::WinRT::testing {

struct PixelImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;  // Cairo ARGB32, premultiplied, row by row

    std::uint32_t At(int x, int y) const {
        return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                      static_cast<std::size_t>(x)];
    }
    bool Save(const std::string& path) const {
        return platform::draw::SaveArgbPng(pixels.data(), width, height, width * 4, path);
    }
};

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

struct PixelComparison {
    bool sizesMatch = false;
    int differentPixels = 0;
};

inline PixelComparison ComparePixels(const PixelImage& actual, const PixelImage& reference,
                                     int channelTolerance, PixelImage* difference) {
    PixelComparison result;
    result.sizesMatch = actual.width == reference.width && actual.height == reference.height;
    if (!result.sizesMatch) {
        return result;
    }
    difference->width = actual.width;
    difference->height = actual.height;
    difference->pixels.assign(actual.pixels.size(), 0);
    for (std::size_t i = 0; i < actual.pixels.size(); ++i) {
        const std::uint32_t a = actual.pixels[i];
        const std::uint32_t r = reference.pixels[i];
        int worst = 0;
        for (int shift = 0; shift < 32; shift += 8) {
            const int delta =
                static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((r >> shift) & 0xFF);
            worst = std::max(worst, std::abs(delta));
        }
        if (worst > channelTolerance) {
            ++result.differentPixels;
            difference->pixels[i] = 0xFFFF0000u;
        } else {
            // The reference at a quarter of its opacity, premultiplied as Cairo wants it.
            const std::uint32_t alpha = (r >> 24) / 4;
            const std::uint32_t grey = (((r >> 8) & 0xFF) / 4);
            difference->pixels[i] = (alpha << 24) | (grey << 16) | (grey << 8) | grey;
        }
    }
    return result;
}

// A gtest assertion helper: empty when the image matches its reference, else what went wrong.
inline std::string MatchReference(const PixelImage& actual, const std::string& referencePath,
                                  const std::string& failureDirectory, int channelTolerance,
                                  int maxDifferentPixels) {
    const std::string name = std::filesystem::path(referencePath).stem().string();
    const char* update = std::getenv("QUARN_UPDATE_REFERENCES");
    if (update && std::string(update) == "1") {
        std::filesystem::create_directories(std::filesystem::path(referencePath).parent_path());
        return actual.Save(referencePath) ? std::string() : "cannot write " + referencePath;
    }
    std::filesystem::create_directories(failureDirectory);
    const std::string actualPath = failureDirectory + "/" + name + ".actual.png";
    const PixelImage reference = LoadPng(referencePath);
    if (reference.pixels.empty()) {
        actual.Save(actualPath);
        return "no reference " + referencePath + "; the actual image is " + actualPath;
    }
    PixelImage difference;
    const PixelComparison comparison =
        ComparePixels(actual, reference, channelTolerance, &difference);
    if (!comparison.sizesMatch) {
        actual.Save(actualPath);
        return name + ": " + std::to_string(actual.width) + "x" + std::to_string(actual.height) +
               " against a reference of " + std::to_string(reference.width) + "x" +
               std::to_string(reference.height) + "; the actual image is " + actualPath;
    }
    if (comparison.differentPixels > maxDifferentPixels) {
        const std::string differencePath = failureDirectory + "/" + name + ".difference.png";
        actual.Save(actualPath);
        difference.Save(differencePath);
        return name + ": " + std::to_string(comparison.differentPixels) +
               " pixels differ beyond the tolerance (at most " +
               std::to_string(maxDifferentPixels) + " may); see " + actualPath + " and " +
               differencePath;
    }
    return {};
}

}  // namespace Quarn::WinRT::testing
