#include "overlay/dial_overlay_window.h"

#include "bindings/platform/error.h"
#include "bindings/platform/services.h"
#include "bindings/vorta/tool.h"
#include "overlay/dial_overlay.h"

namespace Quarn::WinRT::detail {

DialOverlayWindow::DialOverlayWindow(HWND hostWindow) {
    RECT host{};
    try {
        host = platform::Services().windowing->GetWindowRect(hostWindow);
    } catch (const platform::PlatformError&) {
        // An unusable host window leaves the centre at the origin; Place moves it later.
    }
    m_centre = OverlayPoint{
        static_cast<float>(host.left) + static_cast<float>(host.right - host.left) * 0.5f,
        static_cast<float>(host.top) + static_cast<float>(host.bottom - host.top) * 0.5f};
}

DialOverlayWindow::~DialOverlayWindow() { m_overlay.reset(); }

void DialOverlayWindow::SetItem(Kernel::Counted<Tool> tool, Kernel::Counted<Kernel::Reflected> item,
                                Dial* dial) {
    m_dial = dial;
    m_overlay = CreateOverlay(std::move(tool), std::move(item));
}

void DialOverlayWindow::Place(float x, float y, float width, float height) {
    m_centre = OverlayPoint{x + width * 0.5f, y + height * 0.5f};
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

bool DialOverlayWindow::IsVisible() const { return m_overlay && m_overlay->IsVisible(); }

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
