#pragma once
// What the overlay window shows for the dial's current item.
//
// Thread rule: the host thread calls every operation here; the render thread reads the
// visibility and contact flags every frame, so they are atomic.

#include <atomic>
#include <memory>

#include "bindings/kernel/counted.h"
#include "bindings/kernel/reflected.h"

class Tool;

namespace Quarn::WinRT::detail {

class Dial;

class DialOverlay {
public:
    virtual ~DialOverlay() = default;

    virtual bool OnButtonClicked(Kernel::Counted<Kernel::Reflected> item, Dial* dial);
    virtual bool OnRotation(Kernel::Counted<Kernel::Reflected> item, Dial* dial, double delta);
    virtual bool HitTest(int x, int y);
    virtual void OnLeftButtonDown(int x, int y, Dial* dial);
    virtual void OnLeftButtonUp(int x, int y, Dial* dial);
    virtual void OnItemRefreshed(Kernel::Counted<Tool> tool, Kernel::Counted<Kernel::Reflected> item);
    virtual void OnToolChanged(Kernel::Counted<Tool> tool);
    virtual void SetContact(bool onScreen) { m_onScreen.store(onScreen, std::memory_order_release); }

    void SetVisible(bool visible) { m_visible.store(visible, std::memory_order_release); }
    bool IsVisible() const { return m_visible.load(std::memory_order_acquire); }
    bool IsOnScreen() const { return m_onScreen.load(std::memory_order_acquire); }

private:
    std::atomic<bool> m_onScreen{false};
    std::atomic<bool> m_visible{false};
};

// The overlay an item gets, or null. The group and history overlays are the only kinds; until
// they are built every item is shown without an overlay.
std::unique_ptr<DialOverlay> CreateOverlayFor(const Kernel::Counted<Tool>& tool,
                                              const Kernel::Counted<Kernel::Reflected>& item);

inline std::shared_ptr<DialOverlay> CreateOverlay(Kernel::Counted<Tool> tool,
                                                  Kernel::Counted<Kernel::Reflected> item) {
    return std::shared_ptr<DialOverlay>(CreateOverlayFor(tool, item));
}

}  // namespace Quarn::WinRT::detail
