// The dial's lifecycle: creation, attachment to a window, tool updates and teardown.
#include "dial/dial.h"

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

void Dial::RegisterEvents() {
    if (!m_controller) {
        return;
    }
    platform::RadialController& controller = *m_controller;
    try {
        m_eventTokens.push_back(controller.AddButtonClicked(
            [this](auto& sender, const auto& args) { return OnButtonClicked(sender, args); }));
        m_eventTokens.push_back(controller.AddControlAcquired(
            [this](auto& sender, const auto& args) { return OnControlAcquired(sender, args); }));
        m_eventTokens.push_back(controller.AddControlLost(
            [this](auto& sender, const auto& args) { return OnControlLost(sender, args); }));
        m_eventTokens.push_back(controller.AddRotationChanged(
            [this](auto& sender, const auto& args) { return OnRotationChanged(sender, args); }));
        m_eventTokens.push_back(
            controller.AddScreenContactContinued([this](auto& sender, const auto& args) {
                return OnScreenContactContinued(sender, args);
            }));
        m_eventTokens.push_back(controller.AddScreenContactEnded(
            [this](auto& sender, const auto& args) { return OnScreenContactEnded(sender, args); }));
        m_eventTokens.push_back(
            controller.AddScreenContactStarted([this](auto& sender, const auto& args) {
                return OnScreenContactStarted(sender, args);
            }));
    } catch (const platform::PlatformError& error) {
        Kernel::Log().WriteLine(
            Kernel::Format8("Dial error: Failed to register events. %1", error.MessageUtf8()));
    } catch (const std::exception& error) {
        Kernel::Log().WriteLine(
            Kernel::Format8("Dial error: Failed to register events. %1", error.what()));
    }
}

void Dial::RevokeEvents() noexcept {
    if (m_controller) {
        for (platform::EventToken token : m_eventTokens) {
            try {
                m_controller->RemoveHandler(token);
            } catch (...) {
                // A controller that refuses to revoke is being torn down by the platform anyway.
            }
        }
    }
    m_eventTokens.clear();
}

void Dial::ReleaseMenu() noexcept {
    // The menu entries' Invoked handlers refer to this dial without a reference; clearing the
    // entries ends them together with the entries.
    if (!m_controller) {
        return;
    }
    try {
        m_controller->Menu()->Items().Clear();
    } catch (...) {
        // Nothing more can be done for a menu that cannot be cleared.
    }
}

void Dial::OnTimer(HWND, UINT, UINT_PTR timerId, DWORD) {
    if (Dial* dial = s_currentDial) {
        dial->OnTimer(static_cast<std::uint64_t>(timerId));
    }
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
