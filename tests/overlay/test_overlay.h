#pragma once
// An overlay for tests: it claims a circle around the puck, draws a white disc there, records
// the mouse, and can hold a frame until the test lets it go.

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <vector>

#include "bindings/platform/win_types.h"
#include "overlay/dial_overlay.h"

namespace Quarn::WinRT::testing {

class TestOverlay final : public detail::DialOverlay {
public:
    static constexpr float kMargin = 100;
    static constexpr float kClaimRadius = 50;
    static constexpr float kDiscRadius = 40;

    ~TestOverlay() override { destroyed.store(true); }

    detail::OverlayRect ComputeWindowRect(const detail::OverlayRect& contact) override {
        return {contact.x - kMargin, contact.y - kMargin, contact.width + 2 * kMargin,
                contact.height + 2 * kMargin};
    }

    bool HitTest(int x, int y) override {
        hitTests.push_back(POINT{x, y});
        const auto centre = GetPuckCentre();
        const float dx = static_cast<float>(x) - centre.x;
        const float dy = static_cast<float>(y) - centre.y;
        return dx * dx + dy * dy <= kClaimRadius * kClaimRadius;
    }
    void OnToolChanged(Kernel::Counted<Tool>) override { ++toolChanges; }
    void OnItemRefreshed(Kernel::Counted<Tool>, Kernel::Counted<Kernel::Reflected> item) override {
        refreshed.push_back(item ? item->GetIdentifier() : 0);
    }
    void OnLeftButtonDown(int x, int y, detail::Dial*) override { downs.push_back(POINT{x, y}); }
    void OnLeftButtonUp(int x, int y, detail::Dial*) override { ups.push_back(POINT{x, y}); }

    void Draw(const detail::DrawContext& context) override {
        {
            std::unique_lock lock(m_gate);
            ++m_framesEntered;
            m_changed.notify_all();
            m_changed.wait(lock, [&] { return !m_holdFrames; });
        }
        const auto contact = GetContactRect();
        if (!(contact.width > 0) || !(contact.height > 0)) {
            return;
        }
        platform::Ref<platform::draw::SolidColourBrush> white;
        context.deviceContext->CreateSolidColourBrush({1, 1, 1, 1}, &white);
        context.deviceContext->FillEllipse({GetPuckCentre(), kDiscRadius, kDiscRadius},
                                           white.Get());
    }

    // Frames entering Draw wait until Release.
    void Hold() {
        std::lock_guard lock(m_gate);
        m_holdFrames = true;
    }
    void Release() {
        std::lock_guard lock(m_gate);
        m_holdFrames = false;
        m_changed.notify_all();
    }
    // Waits until a frame is inside Draw (count frames entered so far).
    bool WaitForFrames(int count) {
        std::unique_lock lock(m_gate);
        return m_changed.wait_for(lock, std::chrono::seconds(10),
                                  [&] { return m_framesEntered >= count; });
    }

    std::vector<POINT> hitTests;
    std::vector<POINT> downs;
    std::vector<POINT> ups;
    int toolChanges = 0;
    std::vector<std::uint32_t> refreshed;
    std::atomic<bool> destroyed{false};

private:
    std::mutex m_gate;
    std::condition_variable m_changed;
    bool m_holdFrames = false;
    int m_framesEntered = 0;
};

}  // namespace Quarn::WinRT::testing
