// The host thread changes a group overlay's elements, tool and layout while the render thread
// draws it: every frame shows a record at least as new as the last one handed over before the
// frame began, and the locks are never taken out of order.
#include <atomic>
#include <charconv>
#include <thread>

#include "overlay/overlay_lock.h"
#include "tests/overlay/group_fixture.h"

namespace Quarn::WinRT::testing {
namespace {

// The value in the off-screen disc's text "Saturation:\n<value> ", or -1.
int DrawnValue(const std::vector<std::string>& lines) {
    const std::string prefix = "DrawText \"Saturation:\n";
    for (const auto& line : lines) {
        if (line.rfind(prefix, 0) == 0) {
            int value = -1;
            std::from_chars(line.data() + prefix.size(), line.data() + line.size(), value);
            return value;
        }
    }
    return -1;
}

TEST_F(GroupOverlayTest, FramesNeverShowARecordOlderThanTheLastHandedOver) {
    auto first = Element("satu", "Saturation", 0, 0, 100000);
    Prepare({Counted<Reflected>(hue), Counted<Reflected>(first), Counted<Reflected>(lightness)},
            Counted<Reflected>(first), false, {0, 0, 382, 382});
    const auto violations = detail::OverlayLockOrderViolations();
    std::atomic<int> published{0};
    std::atomic<bool> done{false};
    std::atomic<int> frames{0};
    std::atomic<int> stale{0};
    std::thread render([&] {
        while (!done.load(std::memory_order_acquire)) {
            const int before = published.load(std::memory_order_acquire);
            const int drawn = DrawnValue(Frame());
            if (drawn < before) {
                stale.fetch_add(1);
            }
            frames.fetch_add(1);
        }
    });
    for (int k = 1; k <= 400; ++k) {
        // A fresh instance with the next value, as the host hands it over.
        overlay.OnItemRefreshed(tool,
                                Counted<Reflected>(Element("satu", "Saturation", k, 0, 100000)));
        overlay.OnToolChanged(tool);
        overlay.SetLayout(kWindow, {static_cast<float>(k % 7), 0, 382, 382});
        overlay.HitTest(k, k);
        published.store(k, std::memory_order_release);
        if (k % 50 == 0) {
            // Let the render thread catch up now and then, so frames interleave with changes.
            const int seen = frames.load();
            while (frames.load() < seen + 2) {
                std::this_thread::yield();
            }
        }
    }
    done.store(true, std::memory_order_release);
    render.join();
    EXPECT_GT(frames.load(), 8);
    EXPECT_EQ(stale.load(), 0);
    EXPECT_EQ(detail::OverlayLockOrderViolations(), violations);
    EXPECT_EQ(overlay.GetRecord(FourCC("satu"))->value, 400);
}

TEST_F(GroupOverlayTest, TheRingDrawnWhileTheHostClicksAndMovesTakesNoLockOutOfOrder) {
    Prepare(Elements(), Counted<Reflected>(hue));
    const auto violations = detail::OverlayLockOrderViolations();
    std::atomic<bool> done{false};
    std::thread render([&] {
        while (!done.load(std::memory_order_acquire)) {
            Frame();
        }
    });
    for (int k = 0; k < 300; ++k) {
        overlay.OnButtonClicked(overlay.GetCurrent(), nullptr);
        overlay.OnLeftButtonDown(529, 264, nullptr);
        overlay.OnLeftButtonUp(0, 0, nullptr);
        overlay.SetContact(k % 2 == 0);
        overlay.SetLayout(kWindow, {400 + static_cast<float>(k % 3), 400, 120, 120});
        overlay.SetItems(tool, Elements(), Counted<Reflected>(saturation));
    }
    done.store(true, std::memory_order_release);
    render.join();
    EXPECT_EQ(detail::OverlayLockOrderViolations(), violations);
}

}  // namespace
}  // namespace Quarn::WinRT::testing
