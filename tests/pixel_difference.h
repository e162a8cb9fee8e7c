#pragma once
// How far two pictures of the same thing may differ, shared by the Linux reference tests (Cairo
// against the committed pictures) and the Windows ones (Direct2D against the same pictures).
//
// Both pictures are blurred over `blurRadius` pixels first (each channel averaged over the
// square around the pixel, fewer pixels at the borders), so that an edge antialiased a little
// differently, or not at all, averages out while a shape that is missing, moved or a few pixels
// longer still shows. A pixel then matches when a pixel of the other picture at most `shift`
// pixels away differs by at most `channel` in every channel, so that with `shift` an edge or a
// glyph a pixel over is not counted. Pixels are 32-bit words of four 8-bit channels (premultiplied
// ARGB or BGRA: the comparison does not care which).

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace Quarn::WinRT::testing {

struct PixelImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;  // row by row

    std::uint32_t At(int x, int y) const {
        return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                      static_cast<std::size_t>(x)];
    }
};

struct PixelTolerance {
    int channel = 0;
    int blurRadius = 0;
    int shift = 0;
};

struct PixelDifference {
    bool sizesMatch = false;
    // Pixels of either picture without a match in the other, counted in each picture (without a
    // shift, a pixel that differs counts twice).
    int unmatchedPixels = 0;
    // The largest channel difference between the unblurred pixels at the same place.
    int largestChannelDifference = 0;
    // One flag per place: whether the pixel of either picture there has no match.
    std::vector<bool> unmatched;
};

namespace pixel_detail {

inline int ChannelDifference(std::uint32_t a, std::uint32_t b) {
    int worst = 0;
    for (int bits = 0; bits < 32; bits += 8) {
        const int delta =
            static_cast<int>((a >> bits) & 0xFF) - static_cast<int>((b >> bits) & 0xFF);
        worst = std::max(worst, std::abs(delta));
    }
    return worst;
}

// The box blur, in two passes (rows, then columns) of exact sums, rounded once.
inline std::vector<std::uint32_t> Blurred(const std::vector<std::uint32_t>& words, int width,
                                          int height, int radius) {
    if (radius <= 0) {
        return words;
    }
    const auto at = [width](int x, int y) {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
               static_cast<std::size_t>(x);
    };
    std::vector<std::uint32_t> rows(words.size() * 4);  // channel sums along each row
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            std::uint32_t sums[4] = {};
            for (int nx = std::max(0, x - radius); nx <= std::min(width - 1, x + radius); ++nx) {
                for (int c = 0; c < 4; ++c) {
                    sums[c] += (words[at(nx, y)] >> (8 * c)) & 0xFF;
                }
            }
            std::copy(sums, sums + 4, rows.begin() + static_cast<std::ptrdiff_t>(at(x, y) * 4));
        }
    }
    std::vector<std::uint32_t> out(words.size());
    for (int y = 0; y < height; ++y) {
        const int top = std::max(0, y - radius);
        const int bottom = std::min(height - 1, y + radius);
        for (int x = 0; x < width; ++x) {
            const auto count =
                static_cast<std::uint32_t>((bottom - top + 1) * (std::min(width - 1, x + radius) -
                                                                 std::max(0, x - radius) + 1));
            std::uint32_t word = 0;
            for (int c = 0; c < 4; ++c) {
                std::uint32_t sum = 0;
                for (int ny = top; ny <= bottom; ++ny) {
                    sum += rows[at(x, ny) * 4 + static_cast<std::size_t>(c)];
                }
                word |= ((sum + count / 2) / count) << (8 * c);
            }
            out[at(x, y)] = word;
        }
    }
    return out;
}

// Marks the pixels of `from` that no pixel of `to` within `shift` matches within `channel`;
// how many there are.
inline int MarkUnmatched(const std::vector<std::uint32_t>& from,
                         const std::vector<std::uint32_t>& to, int width, int height, int channel,
                         int shift, std::vector<bool>* unmatched) {
    const auto at = [width](int x, int y) {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
               static_cast<std::size_t>(x);
    };
    int count = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::uint32_t word = from[at(x, y)];
            bool matched = ChannelDifference(word, to[at(x, y)]) <= channel;
            for (int ny = std::max(0, y - shift); !matched && ny <= std::min(height - 1, y + shift);
                 ++ny) {
                for (int nx = std::max(0, x - shift);
                     !matched && nx <= std::min(width - 1, x + shift); ++nx) {
                    matched = ChannelDifference(word, to[at(nx, ny)]) <= channel;
                }
            }
            if (!matched) {
                (*unmatched)[at(x, y)] = true;
                ++count;
            }
        }
    }
    return count;
}

}  // namespace pixel_detail

inline PixelDifference ComparePixels(const PixelImage& actual, const PixelImage& reference,
                                     const PixelTolerance& tolerance) {
    PixelDifference difference;
    const int width = actual.width;
    const int height = actual.height;
    difference.sizesMatch =
        width > 0 && height > 0 && width == reference.width && height == reference.height &&
        actual.pixels.size() == reference.pixels.size() &&
        actual.pixels.size() == static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    if (!difference.sizesMatch) {
        return difference;
    }
    for (std::size_t i = 0; i < actual.pixels.size(); ++i) {
        difference.largestChannelDifference =
            std::max(difference.largestChannelDifference,
                     pixel_detail::ChannelDifference(actual.pixels[i], reference.pixels[i]));
    }
    const std::vector<std::uint32_t> a =
        pixel_detail::Blurred(actual.pixels, width, height, tolerance.blurRadius);
    const std::vector<std::uint32_t> r =
        pixel_detail::Blurred(reference.pixels, width, height, tolerance.blurRadius);
    difference.unmatched.assign(a.size(), false);
    difference.unmatchedPixels = pixel_detail::MarkUnmatched(
        a, r, width, height, tolerance.channel, tolerance.shift, &difference.unmatched);
    difference.unmatchedPixels += pixel_detail::MarkUnmatched(
        r, a, width, height, tolerance.channel, tolerance.shift, &difference.unmatched);
    return difference;
}

}  // namespace Quarn::WinRT::testing
