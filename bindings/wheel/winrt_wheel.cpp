// The wheel device through the Windows Runtime's Windows.UI.Input classes, created for a desktop
// window through their interop factories. Every platform object is held by COM reference
// counting inside a wrapper of the wheel interface; every failing call raises PlatformError with
// the platform's code and message. The delegates handed to the platform are ours (delegate.h):
// agile, reference counted, and no exception of a handler reaches the platform.
//
// Thread rule: the host window's thread makes every call and receives every event; a
// controller's subscriptions refer to their controller wrapper, which revokes those still
// standing when it goes, so no event reaches a wrapper that is gone.
#include <map>
#include <span>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "bindings/wheel/winrt_wheel.h"

#include "bindings/platform/error.h"
#include "bindings/platform/win_backends.h"
#include "bindings/winrt/abi.h"
#include "bindings/winrt/delegate.h"
#include "bindings/winrt/runtime_functions.h"
#include "bindings/winrt/runtime_tag_object.h"
#include "bindings/winrt/vector_iterable.h"
#include "bindings/winrt/winrt_icon_stream.h"

namespace Quarn::WinRT::platform {

namespace {

using Microsoft::WRL::ComPtr;
namespace abi = winrt::abi;
using winrt::ThrowIfFailed;

constexpr std::u16string_view kControllerClass = u"Windows.UI.Input.RadialController";
constexpr std::u16string_view kConfigurationClass =
    u"Windows.UI.Input.RadialControllerConfiguration";
constexpr std::u16string_view kMenuItemClass = u"Windows.UI.Input.RadialControllerMenuItem";
constexpr std::u16string_view kSystemItemKind =
    u"Windows.UI.Input.RadialControllerSystemMenuItemKind";

// A platform call that answered success without its object.
[[noreturn]] void ThrowMissing(const char* what) {
    throw PlatformError(E_POINTER, what);
}

class WinRtScreenContact final : public ScreenContact {
public:
    explicit WinRtScreenContact(ComPtr<abi::IRadialControllerScreenContact> contact)
        : m_contact(std::move(contact)) {}

    Rect Bounds() const override {
        abi::Rect bounds{};
        ThrowIfFailed(m_contact->get_Bounds(&bounds));
        return Rect{bounds.X, bounds.Y, bounds.Width, bounds.Height};
    }

private:
    ComPtr<abi::IRadialControllerScreenContact> m_contact;
};

// The contact of event arguments; null when the puck is off the screen.
template <class AbiArgs>
Ref<ScreenContact> ContactOf(AbiArgs* args) {
    if (!args) {
        ThrowMissing("The event came without its arguments.");
    }
    ComPtr<abi::IRadialControllerScreenContact> contact;
    ThrowIfFailed(args->get_Contact(contact.GetAddressOf()));
    if (!contact) {
        return nullptr;
    }
    return MakeRef<WinRtScreenContact>(std::move(contact));
}

// ButtonClicked, ControlLost and ScreenContactEnded: arguments the dial does not read.
class UnreadArgs final : public ControllerEventArgs {};

template <class AbiArgs>
class ContactArgs final : public ContactEventArgs {
public:
    explicit ContactArgs(AbiArgs* args) : m_args(args) {}
    Ref<ScreenContact> Contact() const override { return ContactOf(m_args); }

private:
    AbiArgs* m_args;  // the platform's, valid during the event
};

class RotationArgs final : public RotationChangedArgs {
public:
    explicit RotationArgs(abi::IRadialControllerRotationChangedEventArgs* args) : m_args(args) {}

    double RotationDeltaInDegrees() const override {
        if (!m_args) {
            ThrowMissing("The rotation came without its arguments.");
        }
        DOUBLE delta = 0;
        ThrowIfFailed(m_args->get_RotationDeltaInDegrees(&delta));
        return delta;
    }
    Ref<ScreenContact> Contact() const override { return ContactOf(m_args); }

private:
    abi::IRadialControllerRotationChangedEventArgs* m_args;  // the platform's, during the event
};

class WinRtMenuItem final : public RadialControllerMenuItem {
public:
    WinRtMenuItem(ComPtr<abi::IRadialControllerMenuItem> item, std::u16string text,
                  Ref<IconStream> icon, KnownIcon knownIcon)
        : m_item(std::move(item)),
          m_text(std::move(text)),
          m_icon(std::move(icon)),
          m_knownIcon(knownIcon) {}

    // An entry the platform hands back (the sender of Invoked, the selected entry): its text is
    // read back; its picture cannot be, so it reports none and the stock pen.
    static Ref<WinRtMenuItem> Wrap(ComPtr<abi::IRadialControllerMenuItem> item) {
        winrt::HString text;
        ThrowIfFailed(item->get_DisplayText(text.Put()));
        return MakeRef<WinRtMenuItem>(std::move(item), std::u16string(text.View()), nullptr,
                                      KnownIcon::PenType);
    }

    std::u16string_view DisplayText() const override { return m_text; }
    Ref<IconStream> Icon() const override { return m_icon; }
    KnownIcon GetKnownIcon() const override { return m_knownIcon; }

    void SetTag(Ref<Inspectable> tag) override {
        ComPtr<IInspectable> object;
        if (tag) {
            object = winrt::MakeInspectable(std::move(tag));
        }
        ThrowIfFailed(m_item->put_Tag(object.Get()));
    }
    Ref<Inspectable> Tag() const override {
        ComPtr<IInspectable> object;
        ThrowIfFailed(m_item->get_Tag(object.GetAddressOf()));
        return winrt::CarriedBy(object.Get());
    }

    EventToken AddInvoked(MenuItemHandler handler) override {
        auto delegate = winrt::MakeDelegate<abi::MenuItemInvokedHandler>(
            [handler = std::move(handler)](abi::IRadialControllerMenuItem* sender,
                                           IInspectable*) -> HRESULT {
                if (!sender) {
                    return E_POINTER;
                }
                const Ref<WinRtMenuItem> entry =
                    Wrap(ComPtr<abi::IRadialControllerMenuItem>(sender));
                return handler(*entry);
            });
        EventRegistrationToken token{};
        ThrowIfFailed(m_item->add_Invoked(delegate.Get(), &token));
        return token.value;
    }
    void RemoveInvoked(EventToken token) override {
        ThrowIfFailed(m_item->remove_Invoked(EventRegistrationToken{token}));
    }

    abi::IRadialControllerMenuItem* Abi() const { return m_item.Get(); }

private:
    ComPtr<abi::IRadialControllerMenuItem> m_item;
    std::u16string m_text;
    Ref<IconStream> m_icon;
    KnownIcon m_knownIcon;
};

// Entries reach the platform only as the ones this backend made.
abi::IRadialControllerMenuItem* AbiOf(const Ref<RadialControllerMenuItem>& item) {
    const auto* ours = dynamic_cast<const WinRtMenuItem*>(item.Get());
    if (!ours) {
        throw PlatformError(E_INVALIDARG, "The menu entry is not one of the Windows Runtime's.");
    }
    return ours->Abi();
}

class WinRtMenuItemList final : public MenuItemList {
public:
    explicit WinRtMenuItemList(ComPtr<abi::MenuItemVector> items) : m_items(std::move(items)) {}

    std::uint32_t Size() const override {
        UINT32 size = 0;
        ThrowIfFailed(m_items->get_Size(&size));
        return size;
    }
    Ref<RadialControllerMenuItem> GetAt(std::uint32_t index) const override {
        ComPtr<abi::IRadialControllerMenuItem> item;
        ThrowIfFailed(m_items->GetAt(index, item.GetAddressOf()));
        if (!item) {
            return nullptr;
        }
        return WinRtMenuItem::Wrap(std::move(item));
    }
    void Append(Ref<RadialControllerMenuItem> item) override {
        ThrowIfFailed(m_items->Append(AbiOf(item)));
    }
    void Clear() override { ThrowIfFailed(m_items->Clear()); }

private:
    ComPtr<abi::MenuItemVector> m_items;
};

class WinRtMenu final : public RadialControllerMenu {
public:
    explicit WinRtMenu(ComPtr<abi::IRadialControllerMenu> menu)
        : m_menu(std::move(menu)), m_items(ItemsOf(*m_menu.Get())) {}

    MenuItemList& Items() override { return m_items; }
    void SelectMenuItem(const Ref<RadialControllerMenuItem>& item) override {
        ThrowIfFailed(m_menu->SelectMenuItem(AbiOf(item)));
    }
    Ref<RadialControllerMenuItem> GetSelectedMenuItem() const override {
        ComPtr<abi::IRadialControllerMenuItem> item;
        ThrowIfFailed(m_menu->GetSelectedMenuItem(item.GetAddressOf()));
        if (!item) {
            return nullptr;
        }
        return WinRtMenuItem::Wrap(std::move(item));
    }

private:
    static ComPtr<abi::MenuItemVector> ItemsOf(abi::IRadialControllerMenu& menu) {
        ComPtr<abi::MenuItemVector> items;
        ThrowIfFailed(menu.get_Items(items.GetAddressOf()));
        if (!items) {
            ThrowMissing("The radial menu has no item vector.");
        }
        return items;
    }

    ComPtr<abi::IRadialControllerMenu> m_menu;
    WinRtMenuItemList m_items;
};

class WinRtConfiguration final : public RadialControllerConfiguration {
public:
    explicit WinRtConfiguration(ComPtr<abi::IRadialControllerConfiguration> configuration)
        : m_configuration(std::move(configuration)) {}

    void SetDefaultMenuItems(std::span<const SystemMenuItemKind> kinds) override {
        std::vector<abi::RadialControllerSystemMenuItemKind> values;
        values.reserve(kinds.size());
        for (const SystemMenuItemKind kind : kinds) {
            values.push_back(static_cast<abi::RadialControllerSystemMenuItemKind>(kind));
        }
        const auto iterable = winrt::MakeIterable(std::move(values), kSystemItemKind);
        ThrowIfFailed(m_configuration->SetDefaultMenuItems(iterable.Get()));
    }
    void ResetToDefaultMenuItems() override {
        ThrowIfFailed(m_configuration->ResetToDefaultMenuItems());
    }

private:
    ComPtr<abi::IRadialControllerConfiguration> m_configuration;
};

class WinRtController final : public RadialController {
public:
    explicit WinRtController(ComPtr<abi::IRadialController> controller)
        : m_controller(std::move(controller)) {}

    ~WinRtController() override {
        // The delegates refer to this wrapper: end what still stands before it goes.
        for (const auto& [token, subscription] : m_subscriptions) {
            Revoke(subscription);
        }
    }

    EventToken AddButtonClicked(ControllerHandler<ControllerEventArgs> handler) override {
        return Subscribe<abi::ButtonClickedHandler, UnreadArgs>(
            Event::ButtonClicked, &abi::IRadialController::add_ButtonClicked, std::move(handler));
    }
    EventToken AddControlAcquired(ControllerHandler<ContactEventArgs> handler) override {
        return Subscribe<abi::ControlAcquiredHandler,
                         ContactArgs<abi::IRadialControllerControlAcquiredEventArgs>>(
            Event::ControlAcquired, &abi::IRadialController::add_ControlAcquired,
            std::move(handler));
    }
    EventToken AddControlLost(ControllerHandler<ControllerEventArgs> handler) override {
        return Subscribe<abi::ControllerObjectHandler, UnreadArgs>(
            Event::ControlLost, &abi::IRadialController::add_ControlLost, std::move(handler));
    }
    EventToken AddRotationChanged(ControllerHandler<RotationChangedArgs> handler) override {
        return Subscribe<abi::RotationChangedHandler, RotationArgs>(
            Event::RotationChanged, &abi::IRadialController::add_RotationChanged,
            std::move(handler));
    }
    EventToken AddScreenContactContinued(ControllerHandler<ContactEventArgs> handler) override {
        return Subscribe<abi::ScreenContactContinuedHandler,
                         ContactArgs<abi::IRadialControllerScreenContactContinuedEventArgs>>(
            Event::ScreenContactContinued, &abi::IRadialController::add_ScreenContactContinued,
            std::move(handler));
    }
    EventToken AddScreenContactEnded(ControllerHandler<ControllerEventArgs> handler) override {
        return Subscribe<abi::ControllerObjectHandler, UnreadArgs>(
            Event::ScreenContactEnded, &abi::IRadialController::add_ScreenContactEnded,
            std::move(handler));
    }
    EventToken AddScreenContactStarted(ControllerHandler<ContactEventArgs> handler) override {
        return Subscribe<abi::ScreenContactStartedHandler,
                         ContactArgs<abi::IRadialControllerScreenContactStartedEventArgs>>(
            Event::ScreenContactStarted, &abi::IRadialController::add_ScreenContactStarted,
            std::move(handler));
    }

    void RemoveHandler(EventToken token) override {
        const auto found = m_subscriptions.find(token);
        if (found == m_subscriptions.end()) {
            return;
        }
        ThrowIfFailed(Revoke(found->second));
        m_subscriptions.erase(found);
    }

    double RotationResolutionInDegrees() const override {
        DOUBLE degrees = 0;
        ThrowIfFailed(m_controller->get_RotationResolutionInDegrees(&degrees));
        return degrees;
    }
    void SetRotationResolutionInDegrees(double degrees) override {
        ThrowIfFailed(m_controller->put_RotationResolutionInDegrees(degrees));
    }
    bool UseAutomaticHapticFeedback() const override {
        boolean use = 0;
        ThrowIfFailed(m_controller->get_UseAutomaticHapticFeedback(&use));
        return use != 0;
    }
    void SetUseAutomaticHapticFeedback(bool use) override {
        ThrowIfFailed(m_controller->put_UseAutomaticHapticFeedback(use ? 1 : 0));
    }

    Ref<RadialControllerMenu> Menu() override {
        ComPtr<abi::IRadialControllerMenu> menu;
        ThrowIfFailed(m_controller->get_Menu(menu.GetAddressOf()));
        if (!menu) {
            ThrowMissing("The controller has no radial menu.");
        }
        return MakeRef<WinRtMenu>(std::move(menu));
    }

private:
    enum class Event {
        ButtonClicked,
        ControlAcquired,
        ControlLost,
        RotationChanged,
        ScreenContactContinued,
        ScreenContactEnded,
        ScreenContactStarted,
    };
    struct Subscription {
        Event event;
        EventRegistrationToken token;
    };

    // Our delegate for one event: wraps the platform's arguments for the handler, which gets
    // this wrapper as the sender. The platform's tokens are unique per event only, so the
    // token handed out is ours.
    template <class Handler, class Args, class PlatformArgs, class AbiArgs>
    EventToken Subscribe(Event event,
                         HRESULT (STDMETHODCALLTYPE abi::IRadialController::*add)(
                             abi::ITypedEventHandler<abi::IRadialController, AbiArgs>*,
                             EventRegistrationToken*),
                         ControllerHandler<PlatformArgs> handler) {
        static_assert(
            std::is_same_v<Handler, abi::ITypedEventHandler<abi::IRadialController, AbiArgs>>);
        auto delegate =
            winrt::MakeDelegate<Handler>([this, handler = std::move(handler)](
                                             abi::IRadialController*, AbiArgs* args) -> HRESULT {
                const Args wrapped = MakeArgs<Args>(args);
                return handler(*this, wrapped);
            });
        EventRegistrationToken token{};
        ThrowIfFailed((m_controller.Get()->*add)(delegate.Get(), &token));
        const EventToken ours = m_nextToken++;
        m_subscriptions.emplace(ours, Subscription{event, token});
        return ours;
    }

    template <class Args, class AbiArgs>
    static Args MakeArgs([[maybe_unused]] AbiArgs* args) {
        if constexpr (std::is_same_v<Args, UnreadArgs>) {
            return Args();
        } else {
            return Args(args);
        }
    }

    HRESULT Revoke(const Subscription& subscription) noexcept {
        abi::IRadialController& controller = *m_controller.Get();
        switch (subscription.event) {
            case Event::ButtonClicked:
                return controller.remove_ButtonClicked(subscription.token);
            case Event::ControlAcquired:
                return controller.remove_ControlAcquired(subscription.token);
            case Event::ControlLost:
                return controller.remove_ControlLost(subscription.token);
            case Event::RotationChanged:
                return controller.remove_RotationChanged(subscription.token);
            case Event::ScreenContactContinued:
                return controller.remove_ScreenContactContinued(subscription.token);
            case Event::ScreenContactEnded:
                return controller.remove_ScreenContactEnded(subscription.token);
            case Event::ScreenContactStarted:
                return controller.remove_ScreenContactStarted(subscription.token);
        }
        return E_INVALIDARG;
    }

    ComPtr<abi::IRadialController> m_controller;
    std::map<EventToken, Subscription> m_subscriptions;
    EventToken m_nextToken = 1;
};

class WinRtWheelBackend final : public WheelPlatform {
public:
    bool IsSupported() override {
        const auto statics =
            winrt::GetActivationFactory<abi::IRadialControllerStatics>(kControllerClass);
        boolean supported = 0;
        ThrowIfFailed(statics->IsSupported(&supported));
        return supported != 0;
    }

    Ref<RadialController> CreateForWindow(HWND window) override {
        const auto interop =
            winrt::GetActivationFactory<abi::IRadialControllerInterop>(kControllerClass);
        ComPtr<abi::IRadialController> controller;
        ThrowIfFailed(
            interop->CreateForWindow(window, abi::kIid<abi::IRadialController>,
                                     reinterpret_cast<void**>(controller.GetAddressOf())));
        return WrapRadialController(std::move(controller));
    }

    Ref<RadialControllerConfiguration> GetConfigurationForWindow(HWND window) override {
        const auto interop =
            winrt::GetActivationFactory<abi::IRadialControllerConfigurationInterop>(
                kConfigurationClass);
        ComPtr<abi::IRadialControllerConfiguration> configuration;
        ThrowIfFailed(
            interop->GetForWindow(window, abi::kIid<abi::IRadialControllerConfiguration>,
                                  reinterpret_cast<void**>(configuration.GetAddressOf())));
        return WrapRadialControllerConfiguration(std::move(configuration));
    }

    Ref<RadialControllerMenuItem> CreateMenuItemFromIcon(std::u16string_view displayText,
                                                         Ref<IconStream> icon) override {
        const auto* stream = dynamic_cast<const winrt::WinRtIconStream*>(icon.Get());
        const ComPtr<IUnknown> reference = stream ? stream->StreamReference() : nullptr;
        if (!reference) {
            throw PlatformError(E_INVALIDARG,
                                "The icon is no stream reference of the Windows Runtime.");
        }
        const auto statics =
            winrt::GetActivationFactory<abi::IRadialControllerMenuItemStatics>(kMenuItemClass);
        const winrt::HString text(displayText);
        ComPtr<abi::IRadialControllerMenuItem> item;
        // The IUnknown pointer is the reference's IRandomAccessStreamReference interface.
        ThrowIfFailed(statics->CreateFromIcon(
            text.Get(), reinterpret_cast<abi::IRandomAccessStreamReference*>(reference.Get()),
            item.GetAddressOf()));
        if (!item) {
            ThrowMissing("No menu item was made.");
        }
        return MakeRef<WinRtMenuItem>(std::move(item), std::u16string(displayText), std::move(icon),
                                      KnownIcon::PenType);
    }

    Ref<RadialControllerMenuItem> CreateMenuItemFromKnownIcon(std::u16string_view displayText,
                                                              KnownIcon icon) override {
        const auto statics =
            winrt::GetActivationFactory<abi::IRadialControllerMenuItemStatics>(kMenuItemClass);
        const winrt::HString text(displayText);
        ComPtr<abi::IRadialControllerMenuItem> item;
        ThrowIfFailed(statics->CreateFromKnownIcon(
            text.Get(), static_cast<abi::RadialControllerMenuKnownIcon>(icon),
            item.GetAddressOf()));
        if (!item) {
            ThrowMissing("No menu item was made.");
        }
        return MakeRef<WinRtMenuItem>(std::move(item), std::u16string(displayText), nullptr, icon);
    }
};

}  // namespace

Ref<RadialController> WrapRadialController(ComPtr<abi::IRadialController> controller) {
    if (!controller) {
        ThrowMissing("No controller to wrap.");
    }
    return MakeRef<WinRtController>(std::move(controller));
}

Ref<RadialControllerConfiguration> WrapRadialControllerConfiguration(
    ComPtr<abi::IRadialControllerConfiguration> configuration) {
    if (!configuration) {
        ThrowMissing("No configuration to wrap.");
    }
    return MakeRef<WinRtConfiguration>(std::move(configuration));
}

Ref<RadialControllerMenuItem> WrapRadialControllerMenuItem(
    ComPtr<abi::IRadialControllerMenuItem> item, std::u16string text, Ref<IconStream> icon,
    KnownIcon knownIcon) {
    if (!item) {
        ThrowMissing("No menu item to wrap.");
    }
    return MakeRef<WinRtMenuItem>(std::move(item), std::move(text), std::move(icon), knownIcon);
}

WheelPlatform& WinRtWheel() {
    static WinRtWheelBackend wheel;
    return wheel;
}

}  // namespace Quarn::WinRT::platform
