// The device's button, control and screen-contact events, and the dial's two timers.
#include <cmath>
#include <optional>

#include "bindings/corvanta/view_rotation.h"
#include "bindings/platform/error.h"
#include "bindings/platform/services.h"
#include "bindings/vorta/controller.h"
#include "bindings/vorta/tool.h"
#include "dial/dial.h"
#include "dial/notifications_sent.h"
#include "dial/range_access.h"
#include "items/type_test.h"
#include "overlay/dial_overlay_window.h"

namespace Quarn::WinRT::detail {

namespace {

constexpr float kDefaultBoxSize = 382.0f;

bool IsFinite(const Kernel::PointT<double>& point) {
    return std::isfinite(point.x) && std::isfinite(point.y);
}

}  // namespace

// The contact's rectangle in screen pixels: its bounds taken relative to the host window's
// corner, in single precision as the platform gives them. Nothing when it has no place on any
// screen: bounds that are not finite, or so large that the rectangle's far corner overflows.
// Such a contact is still a puck on the screen, only not one the dial can locate: the host is
// not asked to map it (it is outside the view), the dial-position binding keeps its value, and
// the overlay stays where it was, at the default box around its last centre.
std::optional<platform::Rect> Dial::ContactScreenRect(const platform::Rect& bounds) const {
    const RECT window = platform::Services().windowing->GetWindowRect(m_window);
    const float left = static_cast<float>(window.left) + bounds.x;
    const float top = static_cast<float>(window.top) + bounds.y;
    if (!std::isfinite(left) || !std::isfinite(top) || !std::isfinite(bounds.width) ||
        !std::isfinite(bounds.height) || !std::isfinite(left + bounds.width) ||
        !std::isfinite(top + bounds.height)) {
        return std::nullopt;
    }
    return platform::Rect{left, top, bounds.width, bounds.height};
}

void Dial::PlaceOverlayAtDefaultBox() {
    const platform::draw::Point2F centre = m_overlayWindow->GetCentre();
    const float half = kDefaultBoxSize * 0.5f;
    m_overlayWindow->Place(centre.x - half, centre.y - half, kDefaultBoxSize, kDefaultBoxSize);
}

void Dial::StartOverlayTimer() {
    platform::Services().windowing->SetTimer(m_window, kOverlayTimerId, kOverlayTimerMs,
                                             &Dial::OnTimer);
}

bool Dial::UpdateViewLogicalDialCentre(const platform::Rect& bounds) {
    const std::optional<platform::Rect> screen = ContactScreenRect(bounds);
    if (!screen) {
        return false;  // no centre to map
    }
    const Kernel::PointT<double> screenCentre{
        static_cast<double>(screen->x + screen->width * 0.5f),
        static_cast<double>(screen->y + screen->height * 0.5f)};
    Kernel::PointT<double> viewLogical{};
    Kernel::PointT<double> view{};
    if (!m_callbacks || !m_callbacks->ComputeDialCentres(screenCentre, viewLogical, view)) {
        return false;
    }
    // A mapping the host answers with NaN or infinity is no mapping: those centres would go
    // back to the host as the dial's position and as a rotation pivot.
    if (!IsFinite(viewLogical) || !IsFinite(view)) {
        return false;
    }
    m_viewLogicalDialCentre = viewLogical;
    m_viewDialCentre = view;
    return true;
}

Dial::DialContact Dial::ContactStateFrom(const platform::Ref<platform::ScreenContact>& contact) {
    if (!contact) {
        return NoContact;
    }
    return UpdateViewLogicalDialCentre(contact->Bounds()) ? ContactInView : ContactOutsideView;
}

void Dial::SetDialContact(DialContact state,
                          const platform::Ref<platform::ScreenContact>& contact) {
    m_dialContact = state;
    const bool wasVisible = m_overlayWindow->IsVisible();
    if (wasVisible) {
        m_overlayWindow->Hide();
    }
    m_overlayWindow->SetContact(state != NoContact);
    if (contact) {
        if (const std::optional<platform::Rect> screen = ContactScreenRect(contact->Bounds())) {
            m_overlayWindow->Place(screen->x, screen->y, screen->width, screen->height);
        } else {
            PlaceOverlayAtDefaultBox();
        }
        // The puck rests on the screen: the overlay stays until it is lifted.
        platform::Services().windowing->KillTimer(m_window, kOverlayTimerId);
    } else {
        PlaceOverlayAtDefaultBox();
        StartOverlayTimer();
    }
    if (m_dialContact == ContactInView) {
        if (auto position = GetDialPositionReflected()) {
            position->SetValue(m_viewLogicalDialCentre, false);
        }
    }
    if (wasVisible) {
        m_overlayWindow->Show();
    }
}

std::int32_t Dial::OnScreenContactStarted(platform::RadialController&,
                                          const platform::ContactEventArgs& args) {
    const platform::Ref<platform::ScreenContact> contact = args.Contact();
    SetDialContact(ContactStateFrom(contact), contact);
    return 0;
}

std::int32_t Dial::OnScreenContactContinued(platform::RadialController&,
                                            const platform::ContactEventArgs& args) {
    const platform::Ref<platform::ScreenContact> contact = args.Contact();
    SetDialContact(ContactStateFrom(contact), contact);
    return 0;
}

std::int32_t Dial::OnScreenContactEnded(platform::RadialController&,
                                        const platform::ControllerEventArgs&) {
    SetDialContact(NoContact, nullptr);
    return 0;
}

std::int32_t Dial::OnControlAcquired(platform::RadialController&,
                                     const platform::ContactEventArgs& args) {
    const platform::Ref<platform::ScreenContact> contact = args.Contact();
    if (contact) {
        // A contact already known keeps its state; the host is not asked again.
        const DialContact state =
            m_dialContact != NoContact ? m_dialContact : ContactStateFrom(contact);
        SetDialContact(state, contact);
        m_overlayWindow->Show();
    } else {
        SetDialContact(NoContact, nullptr);
    }
    return 0;
}

std::int32_t Dial::OnControlLost(platform::RadialController&,
                                 const platform::ControllerEventArgs&) {
    m_overlayWindow->Hide();
    return 0;
}

std::int32_t Dial::OnButtonClicked(platform::RadialController&,
                                   const platform::ControllerEventArgs&) {
    if (!m_overlayWindow->IsVisible() && m_dialContact == NoContact) {
        PlaceOverlayAtDefaultBox();
        m_overlayWindow->Show();
    }
    StartOverlayTimer();
    const Kernel::Counted<Kernel::Reflected> item = GetCurrentItem();
    if (!item) {
        return 0;
    }
    if (m_overlayWindow->OnButtonClicked(item)) {
        return 0;
    }
    if (IsA<Corvanta::ViewRotationReflected, struct ButtonViewRotationSite>(item.Get())) {
        // Without a tool there is no document whose view could be reset.
        if (m_tool) {
            VortaController::GetInstance().PostNotification(
                Kernel::MakeCounted<Corvanta::RecommendResetViewRotationNotification>(
                    m_tool->GetUnsafeDocumentController()));
        }
        return 0;
    }
    if (auto button = GetDialButtonReflected()) {
        button->SetValue(!button->GetValue(), false);
        Notify(false);
    }
    return 0;
}

void Dial::OnTimer(std::uint64_t timerId) {
    platform::Windowing& windowing = *platform::Services().windowing;
    if (timerId == kCommitTimerId) {
        windowing.KillTimer(m_window, kCommitTimerId);
        const Kernel::Counted<Kernel::Reflected> item = GetCurrentItem();
        // Written again with the flag false, so that the host records one undo step for the
        // whole turn. Without a tool there are no units to write in, and no one to tell.
        if (m_tool && IsRangeItem(item.Get())) {
            SetRangeValue(item, false, m_tool->GetUserUnits(), m_pendingValue);
            Notify(false);
        }
    } else if (timerId == kOverlayTimerId) {
        windowing.KillTimer(m_window, kOverlayTimerId);
        if (m_dialContact == NoContact) {
            m_overlayWindow->Hide();
        }
    }
}

}  // namespace Quarn::WinRT::detail
