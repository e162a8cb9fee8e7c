#pragma once
// The simulated wheel device: a software puck that a test or the simulator turns, presses, puts
// on the screen, moves and lifts, and whose radial menu it can open and pick from.
//
// Events go to the live controllers of the foreground window (by default the window that a
// controller was last created for), in subscription order. Each handler's status is kept, and an
// error escaping a handler becomes its failure status, as the platform's delegates do.
// Thread rule: everything on the host thread.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "bindings/platform/services.h"
#include "bindings/sim/fault.h"

namespace Quarn::WinRT::sim {

namespace ops {
inline constexpr std::string_view kIsSupported = "RadialController.IsSupported";
inline constexpr std::string_view kCreateForWindow = "RadialController.CreateForWindow";
inline constexpr std::string_view kGetForWindow = "RadialControllerConfiguration.GetForWindow";
inline constexpr std::string_view kAddButtonClicked = "RadialController.ButtonClicked.add";
inline constexpr std::string_view kAddControlAcquired = "RadialController.ControlAcquired.add";
inline constexpr std::string_view kAddControlLost = "RadialController.ControlLost.add";
inline constexpr std::string_view kAddRotationChanged = "RadialController.RotationChanged.add";
inline constexpr std::string_view kAddScreenContactContinued =
    "RadialController.ScreenContactContinued.add";
inline constexpr std::string_view kAddScreenContactEnded =
    "RadialController.ScreenContactEnded.add";
inline constexpr std::string_view kRemoveHandler = "RadialController.RemoveHandler";
inline constexpr std::string_view kAddScreenContactStarted =
    "RadialController.ScreenContactStarted.add";
inline constexpr std::string_view kGetResolution =
    "RadialController.RotationResolutionInDegrees.get";
inline constexpr std::string_view kPutResolution =
    "RadialController.RotationResolutionInDegrees.put";
inline constexpr std::string_view kPutHaptics = "RadialController.UseAutomaticHapticFeedback.put";
inline constexpr std::string_view kGetMenu = "RadialController.Menu";
inline constexpr std::string_view kMenuAppend = "RadialControllerMenu.Items.Append";
inline constexpr std::string_view kMenuClear = "RadialControllerMenu.Items.Clear";
inline constexpr std::string_view kMenuSelect = "RadialControllerMenu.SelectMenuItem";
inline constexpr std::string_view kCreateFromIcon = "RadialControllerMenuItem.CreateFromIcon";
inline constexpr std::string_view kCreateFromKnownIcon =
    "RadialControllerMenuItem.CreateFromKnownIcon";
inline constexpr std::string_view kPutTag = "RadialControllerMenuItem.Tag.put";
inline constexpr std::string_view kGetTag = "RadialControllerMenuItem.Tag.get";
inline constexpr std::string_view kAddInvoked = "RadialControllerMenuItem.Invoked.add";
inline constexpr std::string_view kSetDefaultMenuItems =
    "RadialControllerConfiguration.SetDefaultMenuItems";
inline constexpr std::string_view kResetToDefaultMenuItems =
    "RadialControllerConfiguration.ResetToDefaultMenuItems";
inline constexpr std::string_view kGetRotationDelta =
    "RadialControllerRotationChangedEventArgs.RotationDeltaInDegrees";
inline constexpr std::string_view kGetContact = "RadialControllerScreenContactEventArgs.Contact";
inline constexpr std::string_view kGetBounds = "RadialControllerScreenContact.Bounds";
}  // namespace ops

class SimWheel;
class SimController;

class SimMenuItem final : public platform::RadialControllerMenuItem {
public:
    SimMenuItem(FaultInjector& faults, std::u16string text,
                platform::Ref<platform::IconStream> icon, platform::KnownIcon knownIcon)
        : m_faults(faults),
          m_text(std::move(text)),
          m_icon(std::move(icon)),
          m_knownIcon(knownIcon) {}

    std::u16string_view DisplayText() const override { return m_text; }
    platform::Ref<platform::IconStream> Icon() const override { return m_icon; }
    platform::KnownIcon GetKnownIcon() const override { return m_knownIcon; }
    void SetTag(platform::Ref<platform::Inspectable> tag) override;
    platform::Ref<platform::Inspectable> Tag() const override;
    platform::EventToken AddInvoked(platform::MenuItemHandler handler) override;
    void RemoveInvoked(platform::EventToken token) override;

    // Raises Invoked; returns the status of the last handler (S_OK without handlers).
    std::int32_t RaiseInvoked();
    std::size_t InvokedHandlerCount() const;

private:
    FaultInjector& m_faults;
    std::u16string m_text;
    platform::Ref<platform::IconStream> m_icon;
    platform::KnownIcon m_knownIcon;
    platform::Ref<platform::Inspectable> m_tag;
    std::vector<std::pair<platform::EventToken, platform::MenuItemHandler>> m_invoked;
    platform::EventToken m_nextToken = 1;
};

class SimMenu final : public platform::RadialControllerMenu, private platform::MenuItemList {
public:
    explicit SimMenu(FaultInjector& faults) : m_faults(faults) {}

    platform::MenuItemList& Items() override { return *this; }
    void SelectMenuItem(const platform::Ref<platform::RadialControllerMenuItem>& item) override;
    platform::Ref<platform::RadialControllerMenuItem> GetSelectedMenuItem() const override {
        return m_selected;
    }

    const std::vector<platform::Ref<platform::RadialControllerMenuItem>>& Entries() const {
        return m_items;
    }
    SimMenuItem* EntryAt(std::size_t index) const;
    // The user's pick: selects without the application's API (and its faults).
    void MarkSelected(platform::Ref<platform::RadialControllerMenuItem> item) {
        m_selected = std::move(item);
    }

private:
    std::uint32_t Size() const override { return static_cast<std::uint32_t>(m_items.size()); }
    platform::Ref<platform::RadialControllerMenuItem> GetAt(std::uint32_t index) const override;
    void Append(platform::Ref<platform::RadialControllerMenuItem> item) override;
    void Clear() override;

    FaultInjector& m_faults;
    std::vector<platform::Ref<platform::RadialControllerMenuItem>> m_items;
    platform::Ref<platform::RadialControllerMenuItem> m_selected;
};

class SimConfiguration final : public platform::RadialControllerConfiguration {
public:
    SimConfiguration(FaultInjector& faults, HWND window) : m_faults(faults), m_window(window) {}

    void SetDefaultMenuItems(std::span<const platform::SystemMenuItemKind> kinds) override;
    void ResetToDefaultMenuItems() override;

    HWND Window() const { return m_window; }
    // Empty while the platform's own defaults apply.
    const std::optional<std::vector<platform::SystemMenuItemKind>>& DefaultItems() const {
        return m_defaultItems;
    }

private:
    FaultInjector& m_faults;
    HWND m_window;
    std::optional<std::vector<platform::SystemMenuItemKind>> m_defaultItems;
};

class SimContact final : public platform::ScreenContact {
public:
    SimContact(FaultInjector& faults, platform::Rect bounds) : m_faults(faults), m_bounds(bounds) {}
    platform::Rect Bounds() const override;

private:
    FaultInjector& m_faults;
    platform::Rect m_bounds;
};

class SimController final : public platform::RadialController {
public:
    SimController(SimWheel& wheel, HWND window);
    ~SimController() override;

    platform::EventToken AddButtonClicked(
        platform::ControllerHandler<platform::ControllerEventArgs> handler) override;
    platform::EventToken AddControlAcquired(
        platform::ControllerHandler<platform::ContactEventArgs> handler) override;
    platform::EventToken AddControlLost(
        platform::ControllerHandler<platform::ControllerEventArgs> handler) override;
    platform::EventToken AddRotationChanged(
        platform::ControllerHandler<platform::RotationChangedArgs> handler) override;
    platform::EventToken AddScreenContactContinued(
        platform::ControllerHandler<platform::ContactEventArgs> handler) override;
    platform::EventToken AddScreenContactEnded(
        platform::ControllerHandler<platform::ControllerEventArgs> handler) override;
    platform::EventToken AddScreenContactStarted(
        platform::ControllerHandler<platform::ContactEventArgs> handler) override;
    void RemoveHandler(platform::EventToken token) override;

    double RotationResolutionInDegrees() const override;
    void SetRotationResolutionInDegrees(double degrees) override;
    bool UseAutomaticHapticFeedback() const override { return m_haptics; }
    void SetUseAutomaticHapticFeedback(bool use) override;
    platform::Ref<platform::RadialControllerMenu> Menu() override;

    HWND Window() const { return m_window; }
    SimMenu& GetSimMenu() { return *m_menu; }
    // The device's setting as a driver sees it; unlike the getter above, it never fails.
    double CurrentResolution() const { return m_resolution; }
    // Live subscriptions of all seven events.
    std::size_t HandlerCount() const;

private:
    friend class SimWheel;
    template <class Args>
    struct Subscription {
        platform::EventToken token;
        platform::ControllerHandler<Args> handler;
    };
    template <class Args>
    using Subscriptions = std::vector<Subscription<Args>>;

    template <class Args>
    platform::EventToken Add(std::string_view operation, Subscriptions<Args>& list,
                             platform::ControllerHandler<Args> handler);
    template <class Args>
    void Raise(Subscriptions<Args>& list, const std::type_identity_t<Args>& args,
               std::vector<std::int32_t>& statuses);

    SimWheel& m_wheel;
    HWND m_window;
    double m_resolution = 10.0;
    bool m_haptics = true;
    platform::Ref<SimMenu> m_menu;
    platform::EventToken m_nextToken = 1;
    int m_raising = 0;  // revocations during a raise are compacted afterwards
    Subscriptions<platform::ControllerEventArgs> m_buttonClicked;
    Subscriptions<platform::ContactEventArgs> m_controlAcquired;
    Subscriptions<platform::ControllerEventArgs> m_controlLost;
    Subscriptions<platform::RotationChangedArgs> m_rotationChanged;
    Subscriptions<platform::ContactEventArgs> m_screenContactContinued;
    Subscriptions<platform::ControllerEventArgs> m_screenContactEnded;
    Subscriptions<platform::ContactEventArgs> m_screenContactStarted;
};

class SimWheel final : public platform::WheelPlatform {
public:
    explicit SimWheel(FaultInjector& faults) : m_faults(faults) {}
    ~SimWheel() override;

    // --- the device, as the driver works it ---
    void SetSupported(bool supported) { m_supported = supported; }
    void SetForegroundWindow(HWND window) { m_foreground = window; }
    HWND ForegroundWindow() const { return m_foreground; }

    // Each returns the statuses that the handlers gave, in subscription order.
    const std::vector<std::int32_t>& Rotate(double degrees);
    const std::vector<std::int32_t>& Click();
    const std::vector<std::int32_t>& ContactStart(platform::Rect bounds);
    const std::vector<std::int32_t>& ContactMove(platform::Rect bounds);
    const std::vector<std::int32_t>& ContactEnd();
    // With a contact when the puck rests on the screen as control arrives.
    const std::vector<std::int32_t>& Acquire(std::optional<platform::Rect> contact);
    const std::vector<std::int32_t>& Lose();
    // Picks the application's menu entry `index` of the foreground controller: the entry becomes
    // the menu's selection and raises Invoked. Nothing (and false) when there is no such entry.
    bool InvokeMenuItem(std::size_t index, std::int32_t* status = nullptr);

    // The foreground window's most recent live controller, or null.
    SimController* ActiveController() const;
    SimConfiguration* ConfigurationFor(HWND window) const;
    std::size_t LiveControllerCount() const { return m_controllers.size(); }

    // --- the platform's API ---
    bool IsSupported() override;
    platform::Ref<platform::RadialController> CreateForWindow(HWND window) override;
    platform::Ref<platform::RadialControllerConfiguration> GetConfigurationForWindow(
        HWND window) override;
    platform::Ref<platform::RadialControllerMenuItem> CreateMenuItemFromIcon(
        std::u16string_view displayText, platform::Ref<platform::IconStream> icon) override;
    platform::Ref<platform::RadialControllerMenuItem> CreateMenuItemFromKnownIcon(
        std::u16string_view displayText, platform::KnownIcon icon) override;

    FaultInjector& Faults() { return m_faults; }

private:
    friend class SimController;
    template <class Args, class Member>
    const std::vector<std::int32_t>& RaiseOnForeground(Member member, const Args& args);

    FaultInjector& m_faults;
    bool m_supported = true;
    HWND m_foreground = nullptr;
    std::vector<SimController*> m_controllers;  // live ones, in creation order; not owned
    std::vector<platform::Ref<SimController>>
        m_raiseTargets;  // reused to keep raises allocation-free
    std::vector<std::int32_t> m_statuses;
    std::vector<platform::Ref<SimConfiguration>> m_configurations;
    platform::Ref<SimContact> m_contact;  // while the puck rests on the screen
};

}  // namespace Quarn::WinRT::sim
