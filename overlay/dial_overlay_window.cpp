#include "overlay/dial_overlay_window.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "bindings/kernel/format.h"
#include "bindings/kernel/log.h"
#include "bindings/platform/error.h"
#include "bindings/platform/services.h"
#include "bindings/vorta/tool.h"
#include "overlay/create_overlay.h"
#include "overlay/dial_overlay.h"
#include "overlay/dial_overlay_renderer.h"

namespace Quarn::WinRT::detail {

namespace {

// Truncation toward zero, as the window position wants it; a NaN or an out-of-range contact
// becomes 0 or the nearest int instead of undefined behaviour.
int TruncateToInt(float value) {
    if (std::isnan(value)) {
        return 0;
    }
    constexpr float kLimit = 2147483520.0f;  // the largest float below 2^31
    return static_cast<int>(std::clamp(value, -kLimit, kLimit));
}

// Win32 holds a window's position to the 16-bit range before it moves it, so an overlay window
// whose corner lies beyond it would land far from the puck with a layout that no longer matches
// it; no screen reaches that far (the virtual screen's coordinates are 32-bit, but its monitors
// sit within a few tens of thousands of pixels of the primary one). Sizes need no check: Win32
// caps them, which only clips an overlay larger than any screen.
bool IsPlaceable(int x, int y) {
    return x >= platform::kMinWindowCoordinate && x <= platform::kMaxWindowCoordinate &&
           y >= platform::kMinWindowCoordinate && y <= platform::kMaxWindowCoordinate;
}

bool IsFinite(const OverlayRect& rect) {
    return std::isfinite(rect.x) && std::isfinite(rect.y) && std::isfinite(rect.width) &&
           std::isfinite(rect.height) && std::isfinite(rect.x + rect.width) &&
           std::isfinite(rect.y + rect.height);
}

}  // namespace

DialOverlayWindow::DialOverlayWindow(HWND hostWindow)
    : m_windowing(*platform::Services().windowing) {
    platform::WindowClass windowClass;
    windowClass.style = kClassStyle;
    windowClass.windowProc = &DialOverlayWindow::WindowProc;
    windowClass.cursor = m_windowing.LoadStandardCursor(IDC_ARROW);
    windowClass.className = kClassName;
    // From the second window on the class exists already and registering it fails; the first
    // registration serves every window.
    m_windowing.RegisterWindowClass(windowClass);

    RECT host{};
    try {
        host = m_windowing.GetWindowRect(hostWindow);
    } catch (const platform::PlatformError&) {
        // An unusable host window leaves the window empty at the origin; Place moves it later.
    }
    platform::WindowCreation creation;
    creation.exStyle = kExtendedStyle;
    creation.className = kClassName;
    creation.title = kTitle;
    creation.style = WS_POPUP;
    creation.x = static_cast<int>(host.left);
    creation.y = static_cast<int>(host.top);
    creation.width = static_cast<int>(host.right - host.left);
    creation.height = static_cast<int>(host.bottom - host.top);
    creation.owner = hostWindow;
    creation.createParam = this;
    m_hwnd = m_windowing.CreateWindowFrom(creation);

    m_centre = platform::draw::Point2F{
        static_cast<float>(host.left) + static_cast<float>(host.right - host.left) * 0.5f,
        static_cast<float>(host.top) + static_cast<float>(host.bottom - host.top) * 0.5f};
    m_windowing.ShowWindow(m_hwnd, SW_SHOWNA);
}

DialOverlayWindow::~DialOverlayWindow() {
    if (m_hwnd && m_windowing.IsWindow(m_hwnd) &&
        m_windowing.GetWindowData(m_hwnd, GWLP_USERDATA) == reinterpret_cast<LONG_PTR>(this)) {
        // The window lets go of this object before it is asked to go: DestroyWindow fails off the
        // window's thread, and a window left pointing at a freed object would hand it the next
        // message. Without the object, WM_DESTROY does not stop the render thread; the
        // renderer's destruction below does.
        if (m_renderer) {
            m_renderer->SetOverlay(nullptr);
        }
        m_windowing.SetWindowData(m_hwnd, GWLP_USERDATA, 0);
        m_windowing.DestroyWindow(m_hwnd);
    }
    m_overlay.reset();
    m_renderer.reset();
}

LRESULT DialOverlayWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    platform::Windowing& windowing = *platform::Services().windowing;
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        windowing.SetWindowData(
            window, GWLP_USERDATA,
            reinterpret_cast<LONG_PTR>(create ? create->lpCreateParams : nullptr));
    }
    auto* self =
        reinterpret_cast<DialOverlayWindow*>(windowing.GetWindowData(window, GWLP_USERDATA));
    if (!self) {
        return windowing.DefaultWindowProc(window, message, wParam, lParam);
    }
    // Nothing may unwind into the system's message dispatch. A release on a badge selects its
    // element through the dial, whose device configuration can fail: that is logged here, and
    // the message counts as handled (a hit test as transparent).
    try {
        return self->HandleMessage(window, message, wParam, lParam);
    } catch (const std::exception& error) {
        Kernel::Log().WriteLine(Kernel::Format8(
            "Dial error: Failed to handle an overlay window message. %1", error.what()));
    } catch (...) {
        Kernel::Log().WriteLine(
            "Dial error: Failed to handle an overlay window message. Unknown error");
    }
    return message == WM_NCHITTEST ? HTTRANSPARENT : 0;
}

LRESULT DialOverlayWindow::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            return 0;
        case WM_DESTROY:
            if (m_renderer) {
                m_renderer->SetOverlay(nullptr);
                m_renderer->Stop();
            }
            return 0;
        case WM_MOUSEACTIVATE:
            // A click on the overlay never takes the focus from the host window.
            return MA_NOACTIVATE;
        case WM_NCHITTEST: {
            if (!m_overlay) {
                return HTTRANSPARENT;
            }
            POINT point = platform::PointFromLParam(lParam);
            m_windowing.ScreenToClient(window, &point);
            return m_overlay->HitTest(point.x, point.y) ? HTCLIENT : HTTRANSPARENT;
        }
        case WM_LBUTTONDOWN:
            if (m_overlay) {
                const POINT point = platform::PointFromLParam(lParam);
                m_overlay->OnLeftButtonDown(point.x, point.y, m_dial);
            }
            return 0;
        case WM_LBUTTONUP:
            if (m_overlay) {
                const POINT point = platform::PointFromLParam(lParam);
                m_overlay->OnLeftButtonUp(point.x, point.y, m_dial);
            }
            return 0;
        default:
            return m_windowing.DefaultWindowProc(window, message, wParam, lParam);
    }
}

void DialOverlayWindow::SetItem(Kernel::Counted<Tool> tool, Kernel::Counted<Kernel::Reflected> item,
                                Dial* dial) {
    m_dial = dial;
    m_overlay = std::shared_ptr<DialOverlay>(CreateOverlay(std::move(tool), std::move(item)));
    if (!m_renderer) {
        if (platform::render::Graphics* graphics = platform::Services().graphics) {
            m_renderer = std::make_unique<DialOverlayRenderer>(*graphics, m_windowing);
        }
    }
    // A chain that cannot be built leaves the window transparent, with nothing to report; the
    // next item tries again (the device may be back), unless the window has gone meanwhile.
    if (m_renderer && !m_renderer->IsRunning() && m_windowing.IsWindow(m_hwnd)) {
        m_renderer->Start(m_hwnd);
    }
    if (m_renderer) {
        m_renderer->SetOverlay(m_overlay);
    }
}

void DialOverlayWindow::Place(float x, float y, float width, float height) {
    // A box that cannot be located (NaN, infinite, or so large that its centre or the overlay's
    // window overflows a float) leaves the window, its centre and the overlay's layout where they
    // were: a later finite box places it again, and the render thread never sees a NaN layout.
    if (!IsFinite(OverlayRect{x, y, width, height})) {
        return;
    }
    const platform::draw::Point2F centre{x + width * 0.5f, y + height * 0.5f};
    if (!m_overlay) {
        m_centre = centre;
        return;
    }
    const OverlayRect contact{x, y, width, height};
    const OverlayRect window = m_overlay->ComputeWindowRect(contact);
    if (!IsFinite(window)) {
        return;
    }
    const int left = TruncateToInt(window.x);
    const int top = TruncateToInt(window.y);
    if (!IsPlaceable(left, top)) {
        return;  // as for a box that cannot be located: everything stays where it was
    }
    m_centre = centre;
    m_windowing.SetWindowPos(m_hwnd, nullptr, left, top, TruncateToInt(window.width),
                             TruncateToInt(window.height), kPlaceFlags);
    // Relative to the unrounded window rectangle, so the overlay keeps the fractions.
    m_overlay->SetLayout(window, OverlayRect{x - window.x, y - window.y, width, height});
}

void DialOverlayWindow::Show() {
    if (m_overlay) {
        m_overlay->SetVisible(true);
    }
}

void DialOverlayWindow::Hide() {
    if (m_overlay) {
        m_overlay->SetVisible(false);
    }
}

bool DialOverlayWindow::IsVisible() const {
    return m_overlay && m_overlay->IsVisible();
}

void DialOverlayWindow::SetContact(bool onScreen) {
    if (m_overlay) {
        m_overlay->SetContact(onScreen);
    }
}

bool DialOverlayWindow::OnButtonClicked(Kernel::Counted<Kernel::Reflected> item) {
    return m_overlay && m_overlay->OnButtonClicked(std::move(item), m_dial);
}

bool DialOverlayWindow::OnRotation(Kernel::Counted<Kernel::Reflected> item, double delta) {
    return m_overlay && m_overlay->OnRotation(std::move(item), m_dial, delta);
}

void DialOverlayWindow::Refresh(Kernel::Counted<Tool> tool) {
    if (m_overlay) {
        m_overlay->OnToolChanged(std::move(tool));
    }
}

void DialOverlayWindow::RefreshItem(Kernel::Counted<Tool> tool,
                                    Kernel::Counted<Kernel::Reflected> item) {
    if (m_overlay) {
        m_overlay->OnItemRefreshed(std::move(tool), std::move(item));
    }
}

}  // namespace Quarn::WinRT::detail
