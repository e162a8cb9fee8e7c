// The README shows two frames of the bundled tour: the ring around the puck and the history
// label. They are committed under tests/sim/reference; this test runs the tour, cuts the same
// frames to what they draw and compares them, so the pictures cannot go stale (see
// tests/pixel_compare.h for the tolerance and for regenerating them).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/pixel_compare.h"
#include "tests/sim/sim_run.h"

namespace Quarn::WinRT::sim::testing {
namespace {

using Quarn::WinRT::testing::LoadPng;
using Quarn::WinRT::testing::MatchReference;
using Quarn::WinRT::testing::PixelImage;

// The drawn part of a frame with a margin of transparent pixels around it.
PixelImage CropToDrawing(const PixelImage& frame, int margin) {
    int left = frame.width, top = frame.height, right = -1, bottom = -1;
    for (int y = 0; y < frame.height; ++y) {
        for (int x = 0; x < frame.width; ++x) {
            if (frame.At(x, y) != 0) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    PixelImage cropped;
    if (right < 0) {
        return cropped;
    }
    left = std::max(0, left - margin);
    top = std::max(0, top - margin);
    right = std::min(frame.width - 1, right + margin);
    bottom = std::min(frame.height - 1, bottom + margin);
    cropped.width = right - left + 1;
    cropped.height = bottom - top + 1;
    for (int y = top; y <= bottom; ++y) {
        for (int x = left; x <= right; ++x) {
            cropped.pixels.push_back(frame.At(x, y));
        }
    }
    return cropped;
}

// The file of the first frame written after the first overlay line that contains `shows`.
std::string FrameAfter(const std::vector<std::string>& lines, const std::string& shows) {
    bool seen = false;
    for (const auto& line : lines) {
        if (!seen) {
            seen = line.find("overlay shown") != std::string::npos &&
                   line.find(shows) != std::string::npos;
            continue;
        }
        const auto at = line.find(" frame ");
        const auto colon = line.find(".png: ");
        if (at != std::string::npos && colon != std::string::npos) {
            return line.substr(at + 7, colon + 4 - (at + 7));
        }
    }
    return {};
}

TEST(ReadmeFramesTest, TheTourShowsTheRingAndTheHistoryLabelAsTheReadmeDoes) {
    std::ifstream host(QUARN_SOURCE_DIR "/examples/paint.json");
    std::ifstream script(QUARN_SOURCE_DIR "/examples/tour.dial");
    std::stringstream hostText;
    std::stringstream scriptText;
    hostText << host.rdbuf();
    scriptText << script.rdbuf();
    const std::filesystem::path folder =
        std::filesystem::path(::testing::TempDir()) / "quarn-readme-frames";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    const SessionResult result =
        RunScript(hostText.str(), scriptText.str(), QUARN_SOURCE_DIR "/examples", folder.string());
    ASSERT_EQ(result.exitStatus, kExitOk) << result.errors;

    struct Picture {
        const char* shows;
        const char* reference;
    };
    for (const Picture& picture :
         {Picture{"a ring of", "tour_ring"}, Picture{"history overlay, \"", "tour_history"}}) {
        SCOPED_TRACE(picture.reference);
        const std::string frame = FrameAfter(result.lines, picture.shows);
        ASSERT_FALSE(frame.empty()) << "no frame of " << picture.shows;
        const PixelImage cropped = CropToDrawing(LoadPng(frame), 8);
        ASSERT_FALSE(cropped.pixels.empty()) << frame << " draws nothing";
        const std::string problem = MatchReference(
            cropped,
            std::string(QUARN_SOURCE_DIR "/tests/sim/reference/") + picture.reference + ".png",
            QUARN_PIXEL_OUTPUT_DIR);
        EXPECT_TRUE(problem.empty()) << problem;
    }
    std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace Quarn::WinRT::sim::testing
