#include "bindings/wheel/sim_wheel.h"

#include <algorithm>

namespace Quarn::WinRT::sim {

using platform::ContactEventArgs;
using platform::ControllerEventArgs;
using platform::EventToken;
using platform::Ref;
using platform::RotationChangedArgs;

namespace {

class SimRotationArgs final : public RotationChangedArgs {
public:
    SimRotationArgs(FaultInjector& faults, double delta, Ref<platform::ScreenContact> contact)
        : m_faults(faults), m_delta(delta), m_contact(std::move(contact)) {}
    double RotationDeltaInDegrees() const override {
        m_faults.Check(ops::kGetRotationDelta);
        return m_delta;
    }
    Ref<platform::ScreenContact> Contact() const override {
        m_faults.Check(ops::kGetContact);
        return m_contact;
    }

private:
    FaultInjector& m_faults;
    double m_delta;
    Ref<platform::ScreenContact> m_contact;
};

class SimContactArgs final : public ContactEventArgs {
public:
    SimContactArgs(FaultInjector& faults, Ref<platform::ScreenContact> contact)
        : m_faults(faults), m_contact(std::move(contact)) {}
    Ref<platform::ScreenContact> Contact() const override {
        m_faults.Check(ops::kGetContact);
        return m_contact;
    }

private:
    FaultInjector& m_faults;
    Ref<platform::ScreenContact> m_contact;
};

// The status a delegate hands the platform for a handler that raised.
template <class Call>
std::int32_t Guarded(Call&& call) {
    try {
        return call();
    } catch (const platform::PlatformError& error) {
        return error.Code();
    } catch (...) {
        return E_FAIL;
    }
}

}  // namespace

// --- menu items ---

void SimMenuItem::SetTag(Ref<platform::Inspectable> tag) {
    m_faults.Check(ops::kPutTag);
    m_tag = std::move(tag);
}

Ref<platform::Inspectable> SimMenuItem::Tag() const {
    m_faults.Check(ops::kGetTag);
    return m_tag;
}

EventToken SimMenuItem::AddInvoked(platform::MenuItemHandler handler) {
    m_faults.Check(ops::kAddInvoked);
    const EventToken token = m_nextToken++;
    m_invoked.emplace_back(token, std::move(handler));
    return token;
}

void SimMenuItem::RemoveInvoked(EventToken token) {
    std::erase_if(m_invoked, [&](const auto& entry) { return entry.first == token; });
}

std::size_t SimMenuItem::InvokedHandlerCount() const {
    return m_invoked.size();
}

std::int32_t SimMenuItem::RaiseInvoked() {
    // Keep the item alive and the handlers stable while they run: a handler may rebuild the menu.
    Ref<SimMenuItem> self(this);
    const auto handlers = m_invoked;
    std::int32_t status = S_OK;
    for (const auto& subscription : handlers) {
        status = Guarded([&] { return subscription.second(*this); });
    }
    return status;
}

// --- menu ---

SimMenuItem* SimMenu::EntryAt(std::size_t index) const {
    return index < m_items.size() ? static_cast<SimMenuItem*>(m_items[index].Get()) : nullptr;
}

Ref<platform::RadialControllerMenuItem> SimMenu::GetAt(std::uint32_t index) const {
    if (index >= m_items.size()) {
        throw platform::PlatformError(static_cast<HRESULT>(0x8000000B),
                                      "The index is out of bounds.");
    }
    return m_items[index];
}

void SimMenu::Append(Ref<platform::RadialControllerMenuItem> item) {
    m_faults.Check(ops::kMenuAppend);
    if (!item) {
        throw platform::PlatformError(E_POINTER, "Invalid pointer.");
    }
    m_items.push_back(std::move(item));
}

void SimMenu::Clear() {
    m_faults.Check(ops::kMenuClear);
    m_items.clear();
    m_selected.Reset();
}

void SimMenu::SelectMenuItem(const Ref<platform::RadialControllerMenuItem>& item) {
    m_faults.Check(ops::kMenuSelect);
    if (std::find(m_items.begin(), m_items.end(), item) == m_items.end()) {
        throw platform::PlatformError(E_INVALIDARG, "The item is not in the menu.");
    }
    m_selected = item;
}

// --- configuration ---

void SimConfiguration::SetDefaultMenuItems(std::span<const platform::SystemMenuItemKind> kinds) {
    m_faults.Check(ops::kSetDefaultMenuItems);
    m_defaultItems.emplace(kinds.begin(), kinds.end());
}

void SimConfiguration::ResetToDefaultMenuItems() {
    m_faults.Check(ops::kResetToDefaultMenuItems);
    m_defaultItems.reset();
}

platform::Rect SimContact::Bounds() const {
    m_faults.Check(ops::kGetBounds);
    return m_bounds;
}

// --- controller ---

SimController::SimController(SimWheel& wheel, HWND window)
    : m_wheel(wheel), m_window(window), m_menu(platform::MakeRef<SimMenu>(wheel.Faults())) {
    m_wheel.m_controllers.push_back(this);
}

SimController::~SimController() {
    std::erase(m_wheel.m_controllers, this);
}

template <class Args>
EventToken SimController::Add(std::string_view operation, Subscriptions<Args>& list,
                              platform::ControllerHandler<Args> handler) {
    m_wheel.Faults().Check(operation);
    const EventToken token = m_nextToken++;
    list.push_back(Subscription<Args>{token, std::move(handler)});
    return token;
}

EventToken SimController::AddButtonClicked(platform::ControllerHandler<ControllerEventArgs> h) {
    return Add(ops::kAddButtonClicked, m_buttonClicked, std::move(h));
}
EventToken SimController::AddControlAcquired(platform::ControllerHandler<ContactEventArgs> h) {
    return Add(ops::kAddControlAcquired, m_controlAcquired, std::move(h));
}
EventToken SimController::AddControlLost(platform::ControllerHandler<ControllerEventArgs> h) {
    return Add(ops::kAddControlLost, m_controlLost, std::move(h));
}
EventToken SimController::AddRotationChanged(platform::ControllerHandler<RotationChangedArgs> h) {
    return Add(ops::kAddRotationChanged, m_rotationChanged, std::move(h));
}
EventToken SimController::AddScreenContactContinued(
    platform::ControllerHandler<ContactEventArgs> h) {
    return Add(ops::kAddScreenContactContinued, m_screenContactContinued, std::move(h));
}
EventToken SimController::AddScreenContactEnded(
    platform::ControllerHandler<ControllerEventArgs> h) {
    return Add(ops::kAddScreenContactEnded, m_screenContactEnded, std::move(h));
}
EventToken SimController::AddScreenContactStarted(platform::ControllerHandler<ContactEventArgs> h) {
    return Add(ops::kAddScreenContactStarted, m_screenContactStarted, std::move(h));
}

void SimController::RemoveHandler(EventToken token) {
    m_wheel.Faults().Check(ops::kRemoveHandler);
    auto revoke = [&](auto& list) {
        for (auto& subscription : list) {
            if (subscription.token == token) {
                subscription.handler = nullptr;
            }
        }
        if (m_raising == 0) {
            std::erase_if(list, [](const auto& s) { return !s.handler; });
        }
    };
    revoke(m_buttonClicked);
    revoke(m_controlAcquired);
    revoke(m_controlLost);
    revoke(m_rotationChanged);
    revoke(m_screenContactContinued);
    revoke(m_screenContactEnded);
    revoke(m_screenContactStarted);
}

std::size_t SimController::HandlerCount() const {
    auto live = [](const auto& list) {
        return static_cast<std::size_t>(
            std::count_if(list.begin(), list.end(), [](const auto& s) { return bool(s.handler); }));
    };
    return live(m_buttonClicked) + live(m_controlAcquired) + live(m_controlLost) +
           live(m_rotationChanged) + live(m_screenContactContinued) + live(m_screenContactEnded) +
           live(m_screenContactStarted);
}

template <class Args>
void SimController::Raise(Subscriptions<Args>& list, const std::type_identity_t<Args>& args,
                          std::vector<std::int32_t>& statuses) {
    // By index: a handler may subscribe (appending) or revoke (clearing) while the raise runs.
    ++m_raising;
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (list[i].handler) {
            statuses.push_back(Guarded([&] { return list[i].handler(*this, args); }));
        }
    }
    if (--m_raising == 0) {
        std::erase_if(list, [](const auto& s) { return !s.handler; });
    }
}

double SimController::RotationResolutionInDegrees() const {
    m_wheel.Faults().Check(ops::kGetResolution);
    return m_resolution;
}

void SimController::SetRotationResolutionInDegrees(double degrees) {
    m_wheel.Faults().Check(ops::kPutResolution);
    if (!(degrees > 0.0)) {
        throw platform::PlatformError(E_INVALIDARG, "The rotation resolution must be positive.");
    }
    m_resolution = degrees;
}

void SimController::SetUseAutomaticHapticFeedback(bool use) {
    m_wheel.Faults().Check(ops::kPutHaptics);
    m_haptics = use;
}

Ref<platform::RadialControllerMenu> SimController::Menu() {
    m_wheel.Faults().Check(ops::kGetMenu);
    return m_menu;
}

// --- the device ---

SimWheel::~SimWheel() = default;

bool SimWheel::IsSupported() {
    m_faults.Check(ops::kIsSupported);
    return m_supported;
}

Ref<platform::RadialController> SimWheel::CreateForWindow(HWND window) {
    m_faults.Check(ops::kCreateForWindow);
    if (!window) {
        throw platform::PlatformError(E_INVALIDARG, "The window handle is null.");
    }
    m_foreground = window;
    return Ref<platform::RadialController>(new SimController(*this, window));
}

Ref<platform::RadialControllerConfiguration> SimWheel::GetConfigurationForWindow(HWND window) {
    m_faults.Check(ops::kGetForWindow);
    if (!window) {
        throw platform::PlatformError(E_INVALIDARG, "The window handle is null.");
    }
    if (SimConfiguration* existing = ConfigurationFor(window)) {
        return Ref<platform::RadialControllerConfiguration>(existing);
    }
    m_configurations.push_back(platform::MakeRef<SimConfiguration>(m_faults, window));
    return m_configurations.back();
}

Ref<platform::RadialControllerMenuItem> SimWheel::CreateMenuItemFromIcon(
    std::u16string_view displayText, Ref<platform::IconStream> icon) {
    m_faults.Check(ops::kCreateFromIcon);
    if (!icon) {
        throw platform::PlatformError(E_POINTER, "Invalid pointer.");
    }
    return platform::MakeRef<SimMenuItem>(m_faults, std::u16string(displayText), std::move(icon),
                                          platform::KnownIcon::PenType);
}

Ref<platform::RadialControllerMenuItem> SimWheel::CreateMenuItemFromKnownIcon(
    std::u16string_view displayText, platform::KnownIcon icon) {
    m_faults.Check(ops::kCreateFromKnownIcon);
    return platform::MakeRef<SimMenuItem>(m_faults, std::u16string(displayText), nullptr, icon);
}

SimConfiguration* SimWheel::ConfigurationFor(HWND window) const {
    for (const auto& configuration : m_configurations) {
        if (configuration->Window() == window) {
            return configuration.Get();
        }
    }
    return nullptr;
}

SimController* SimWheel::ActiveController() const {
    for (auto it = m_controllers.rbegin(); it != m_controllers.rend(); ++it) {
        if ((*it)->Window() == m_foreground) {
            return *it;
        }
    }
    return nullptr;
}

template <class Args, class Member>
const std::vector<std::int32_t>& SimWheel::RaiseOnForeground(Member member, const Args& args) {
    m_statuses.clear();
    // Hold the targets first: a handler may release its own controller (moving to a window).
    m_raiseTargets.clear();
    for (SimController* controller : m_controllers) {
        if (controller->Window() == m_foreground) {
            m_raiseTargets.emplace_back(controller);
        }
    }
    for (const Ref<SimController>& controller : m_raiseTargets) {
        controller->Raise(controller.Get()->*member, args, m_statuses);
    }
    m_raiseTargets.clear();
    return m_statuses;
}

const std::vector<std::int32_t>& SimWheel::Rotate(double degrees) {
    const SimRotationArgs args(m_faults, degrees, m_contact);
    return RaiseOnForeground(&SimController::m_rotationChanged, args);
}

const std::vector<std::int32_t>& SimWheel::Click() {
    const ControllerEventArgs args;
    return RaiseOnForeground(&SimController::m_buttonClicked, args);
}

const std::vector<std::int32_t>& SimWheel::ContactStart(platform::Rect bounds) {
    m_contact = platform::MakeRef<SimContact>(m_faults, bounds);
    const SimContactArgs args(m_faults, m_contact);
    return RaiseOnForeground(&SimController::m_screenContactStarted, args);
}

const std::vector<std::int32_t>& SimWheel::ContactMove(platform::Rect bounds) {
    m_contact = platform::MakeRef<SimContact>(m_faults, bounds);
    const SimContactArgs args(m_faults, m_contact);
    return RaiseOnForeground(&SimController::m_screenContactContinued, args);
}

const std::vector<std::int32_t>& SimWheel::ContactEnd() {
    m_contact.Reset();
    const ControllerEventArgs args;
    return RaiseOnForeground(&SimController::m_screenContactEnded, args);
}

const std::vector<std::int32_t>& SimWheel::Acquire(std::optional<platform::Rect> contact) {
    m_contact = contact ? platform::MakeRef<SimContact>(m_faults, *contact) : nullptr;
    const SimContactArgs args(m_faults, m_contact);
    return RaiseOnForeground(&SimController::m_controlAcquired, args);
}

const std::vector<std::int32_t>& SimWheel::Lose() {
    const ControllerEventArgs args;
    return RaiseOnForeground(&SimController::m_controlLost, args);
}

bool SimWheel::InvokeMenuItem(std::size_t index, std::int32_t* status) {
    SimController* controller = ActiveController();
    if (!controller) {
        return false;
    }
    SimMenu& menu = controller->GetSimMenu();
    SimMenuItem* entry = menu.EntryAt(index);
    if (!entry) {
        return false;
    }
    Ref<SimMenuItem> hold(entry);
    menu.MarkSelected(Ref<platform::RadialControllerMenuItem>(entry));
    const std::int32_t result = entry->RaiseInvoked();
    if (status) {
        *status = result;
    }
    return true;
}

}  // namespace Quarn::WinRT::sim
