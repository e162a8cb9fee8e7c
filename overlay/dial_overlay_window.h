#pragma once
// The overlay window: the layered, click-through popup over the host window in which the
// current overlay is drawn around the puck. It owns the window, the renderer and the current
// overlay, and it is the only way the dial reaches an overlay.
//
// Thread rule: every operation and the window procedure run on the host thread (the thread of
// the host window). The render thread sees the overlay only through the renderer.
//
// Lifetime: the window is normally destroyed with its owner, the host window, and its
// WM_DESTROY stops the render thread. A window object destroyed while its window still exists
// (a dial released before the host window) first clears the window's pointer to it, then
// destroys the window (which may fail off the window's thread: the window then stays, inert),
// then stops and joins the render thread: a frame being drawn at that moment finishes before
// anything it uses goes away.

#include <memory>

#include "bindings/draw/draw.h"
#include "bindings/kernel/counted.h"
#include "bindings/kernel/reflected.h"
#include "bindings/platform/win_types.h"
#include "bindings/window/window.h"

class Tool;

namespace Quarn::WinRT::detail {

class Dial;
class DialOverlay;
class DialOverlayRenderer;

class DialOverlayWindow {
public:
    static constexpr const char16_t* kClassName = u"DialOverlayWindow";
    static constexpr const char16_t* kTitle = u"Dial";
    static constexpr UINT kClassStyle = CS_VREDRAW | CS_HREDRAW | CS_NOCLOSE;
    static constexpr DWORD kExtendedStyle =
        WS_EX_TRANSPARENT | WS_EX_LAYERED | WS_EX_NOREDIRECTIONBITMAP;
    static constexpr UINT kPlaceFlags = SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE;

    explicit DialOverlayWindow(HWND hostWindow);
    ~DialOverlayWindow();
    DialOverlayWindow(const DialOverlayWindow&) = delete;
    DialOverlayWindow& operator=(const DialOverlayWindow&) = delete;

    // Builds the overlay for the item (none for an empty item) and makes it current; the first
    // call also creates and starts the renderer, and any later call starts it if it could not
    // build its device chain before.
    void SetItem(Kernel::Counted<Tool> tool, Kernel::Counted<Kernel::Reflected> item, Dial* dial);
    // Moves the window around a contact rectangle in screen pixels; a box that is not finite, or
    // whose window would not be, changes nothing.
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
    platform::draw::Point2F GetCentre() const { return m_centre; }
    bool HasOverlay() const { return m_overlay != nullptr; }
    HWND GetHandle() const { return m_hwnd; }
    const DialOverlayRenderer* GetRenderer() const { return m_renderer.get(); }
    // The current overlay, for the simulator to say what is shown; null without one.
    const DialOverlay* GetOverlay() const { return m_overlay.get(); }

private:
    static LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    platform::Windowing& m_windowing;
    HWND m_hwnd = nullptr;
    std::unique_ptr<DialOverlayRenderer> m_renderer;
    std::shared_ptr<DialOverlay> m_overlay;
    Dial* m_dial = nullptr;
    platform::draw::Point2F m_centre;
};

}  // namespace Quarn::WinRT::detail
