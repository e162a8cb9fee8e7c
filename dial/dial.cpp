// The dial's lifecycle: creation, attachment to a window, tool updates and teardown.
#include "dial/dial.h"

#include <string>
#include <utility>

#include "bindings/kernel/format.h"
#include "bindings/kernel/log.h"
#include "bindings/platform/error.h"
#include "bindings/platform/services.h"
#include "bindings/vorta/tool.h"
#include "dial/notifications_sent.h"
#include "overlay/dial_overlay_window.h"

namespace Quarn::WinRT {

Kernel::Counted<IDial> Factory::CreateDial(void* context, HWND window, IDialCallbacks* callbacks) {
    if (!context || !window) {
        return {};
    }
    return detail::Dial::Create(window, callbacks);
}

}  // namespace Quarn::WinRT

namespace Quarn::WinRT::detail {

Dial* Dial::s_currentDial = nullptr;

namespace {

// Creates the controller and the configuration of a window, in the platform's order. Support
// itself is asked outside the catch: an error there reaches the application's call.
bool CreateControllerForWindow(
    HWND window, platform::Ref<platform::RadialController>& controller,
    platform::Ref<platform::RadialControllerConfiguration>& configuration) {
    platform::WheelPlatform& wheel = *platform::Services().wheel;
    if (!wheel.IsSupported()) {
        return false;
    }
    try {
        controller = wheel.CreateForWindow(window);
        configuration = wheel.GetConfigurationForWindow(window);
    } catch (const platform::PlatformError&) {
        return false;
    }
    return controller && configuration;
}

}  // namespace

Dial::Dial() {
    s_currentDial = this;
}

Kernel::Counted<Dial> Dial::Create(HWND window, IDialCallbacks* callbacks) {
    Kernel::Counted<Dial> dial(new Dial());
    dial->m_overlayWindow = std::make_unique<DialOverlayWindow>(window);
    dial->m_callbacks = callbacks;
    return dial;
}

Dial::~Dial() {
    s_currentDial = nullptr;
    m_resourcesDirectory.Clear();
    m_overlayWindow.reset();
    // The subscriptions refer to this dial by a plain pointer: end them before it goes.
    RevokeEvents();
    ReleaseMenu();
    m_reflectables.clear();
    m_selectedItem.Reset();
    m_configuration.Reset();
    m_controller.Reset();
    m_tool.Reset();
}

void Dial::SetCurrentWindow(HWND window) {
    if (window == m_window) {
        return;
    }
    if (m_window) {
        // Only the commit timer belongs to the old window's work; the overlay timer hides the
        // overlay, which is the same wherever the dial goes.
        platform::Services().windowing->KillTimer(m_window, kCommitTimerId);
    }
    platform::Ref<platform::RadialController> controller;
    platform::Ref<platform::RadialControllerConfiguration> configuration;
    if (!CreateControllerForWindow(window, controller, configuration)) {
        return;
    }
    RevokeEvents();
    ReleaseMenu();
    m_window = window;
    m_controller = std::move(controller);
    m_configuration = std::move(configuration);
    RegisterEvents();
    UpdateRadialControllerMenu(this, m_controller, m_configuration, !m_tool,
                               FlattenReflectables(m_reflectables), m_selectedItem);
}

void Dial::SetResourcesDirectory(const Kernel::StringT<Kernel::TEncUtf8>& directory) {
    m_resourcesDirectory = directory;
}

void Dial::Update(Kernel::Counted<Tool> tool, bool defaultFromSelection) {
    if (!m_controller || !m_configuration || m_menuFrozen) {
        return;
    }
    m_tool = std::move(tool);
    m_updateFlag = defaultFromSelection;
    m_reflectables = EnumerateReflecteds(m_tool, defaultFromSelection);
    const bool hasEntries = UpdateRadialControllerMenu(this, m_controller, m_configuration, !m_tool,
                                                       FlattenReflectables(m_reflectables), {});
    if (!hasEntries) {
        m_overlayWindow->SetItem(m_tool, {}, this);
    }
}

namespace {

// Binds a controller event to a member of the dial through a weak reference: a handler the
// platform still raises after the dial has gone (its revocation failed) finds no dial and does
// nothing.
template <class Args>
platform::ControllerHandler<Args> HandlerFor(
    Dial* dial, std::int32_t (Dial::*member)(platform::RadialController&, const Args&)) {
    return [weak = Kernel::WeakCounted<Dial>(dial), member](platform::RadialController& sender,
                                                            const Args& args) -> std::int32_t {
        if (const Kernel::Counted<Dial> alive = weak.Lock()) {
            return ((*alive).*member)(sender, args);
        }
        return 0;
    };
}

}  // namespace

void Dial::RegisterEvents() {
    if (!m_controller) {
        return;
    }
    platform::RadialController& controller = *m_controller;
    try {
        m_eventTokens.push_back(
            controller.AddButtonClicked(HandlerFor(this, &Dial::OnButtonClicked)));
        m_eventTokens.push_back(
            controller.AddControlAcquired(HandlerFor(this, &Dial::OnControlAcquired)));
        m_eventTokens.push_back(controller.AddControlLost(HandlerFor(this, &Dial::OnControlLost)));
        m_eventTokens.push_back(
            controller.AddRotationChanged(HandlerFor(this, &Dial::OnRotationChanged)));
        m_eventTokens.push_back(controller.AddScreenContactContinued(
            HandlerFor(this, &Dial::OnScreenContactContinued)));
        m_eventTokens.push_back(
            controller.AddScreenContactEnded(HandlerFor(this, &Dial::OnScreenContactEnded)));
        m_eventTokens.push_back(
            controller.AddScreenContactStarted(HandlerFor(this, &Dial::OnScreenContactStarted)));
    } catch (const platform::PlatformError& error) {
        Kernel::Log().WriteLine(
            Kernel::Format8("Dial error: Failed to register events. %1", error.MessageUtf8()));
    } catch (const std::exception& error) {
        Kernel::Log().WriteLine(
            Kernel::Format8("Dial error: Failed to register events. %1", error.what()));
    }
}

void Dial::RevokeEvents() noexcept {
    // Every subscription is tried; the first refusal is logged, once for the whole teardown.
    std::string failure;
    bool failed = false;
    if (m_controller) {
        for (platform::EventToken token : m_eventTokens) {
            try {
                m_controller->RemoveHandler(token);
            } catch (const std::exception& error) {
                if (!failed) {
                    failure = error.what();
                    failed = true;
                }
            }
        }
    }
    m_eventTokens.clear();
    if (failed) {
        Kernel::Log().WriteLine(
            Kernel::Format8("Dial error: Failed to revoke events. %1", failure));
    }
}

void Dial::ReleaseMenu() noexcept {
    // Clearing the entries ends their Invoked subscriptions with them. A menu that cannot be
    // cleared keeps them, which is safe: each holds the dial only by a weak reference.
    if (!m_controller) {
        return;
    }
    try {
        m_controller->Menu()->Items().Clear();
    } catch (const std::exception& error) {
        Kernel::Log().WriteLine(
            Kernel::Format8("Dial error: Failed to clear menu items. %1", error.what()));
    }
}

void Dial::OnTimer(HWND window, UINT, UINT_PTR timerId, DWORD) {
    Dial* dial = s_currentDial;
    if (!dial) {
        return;
    }
    if (timerId == kCommitTimerId && window != dial->m_window) {
        // The commit timer of a window the dial has left, still running because its KillTimer
        // failed: the move dropped that commit, so kill it here rather than commit again every
        // 250 ms for a window the dial no longer serves.
        platform::Services().windowing->KillTimer(window, kCommitTimerId);
        return;
    }
    dial->OnTimer(static_cast<std::uint64_t>(timerId));
}

std::vector<Kernel::Counted<Kernel::Reflected>> Dial::FlattenReflectables(
    const std::vector<Reflectable>& reflectables) {
    std::size_t count = 0;
    for (const Reflectable& source : reflectables) {
        count += source.reflecteds.size();
    }
    std::vector<Kernel::Counted<Kernel::Reflected>> items;
    items.reserve(count);
    for (const Reflectable& source : reflectables) {
        items.insert(items.end(), source.reflecteds.begin(), source.reflecteds.end());
    }
    return items;
}

}  // namespace Quarn::WinRT::detail
