#pragma once
// The overlay window: the layered, click-through popup over the host window in which the
// current overlay is drawn around the puck. It is the only way the dial reaches an overlay.
//
// Thread rule: every operation runs on the host thread.

#include <memory>

#include "bindings/kernel/counted.h"
#include "bindings/kernel/reflected.h"
#include "bindings/platform/win_types.h"

class Tool;

namespace Quarn::WinRT::detail {

class Dial;
class DialOverlay;

struct OverlayPoint {
    float x = 0;
    float y = 0;
};

class DialOverlayWindow {
public:
    explicit DialOverlayWindow(HWND hostWindow);
    ~DialOverlayWindow();
    DialOverlayWindow(const DialOverlayWindow&) = delete;
    DialOverlayWindow& operator=(const DialOverlayWindow&) = delete;

    // Builds the overlay for the item (none for an empty item) and makes it current.
    void SetItem(Kernel::Counted<Tool> tool, Kernel::Counted<Kernel::Reflected> item, Dial* dial);
    // Moves the window around a contact rectangle in screen pixels.
    void Place(float x, float y, float width, float height);
    void Show();
    void Hide();
    bool IsVisible() const;
    void SetContact(bool onScreen);
    bool OnButtonClicked(Kernel::Counted<Kernel::Reflected> item);
    bool OnRotation(Kernel::Counted<Kernel::Reflected> item, double delta);
    void Refresh(Kernel::Counted<Tool> tool);
    void RefreshItem(Kernel::Counted<Tool> tool, Kernel::Counted<Kernel::Reflected> item);

    // Centre of the last box given to Place; at first the centre of the host window.
    OverlayPoint GetCentre() const { return m_centre; }
    bool HasOverlay() const { return m_overlay != nullptr; }

private:
    HWND m_hwnd = nullptr;
    std::shared_ptr<DialOverlay> m_overlay;
    Dial* m_dial = nullptr;
    OverlayPoint m_centre;
};

}  // namespace Quarn::WinRT::detail
