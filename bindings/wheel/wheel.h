#pragma once
// The wheel device as the dial sees it: a controller created for a window, its seven events,
// rotation resolution, automatic haptics, and a radial menu of items with text, icon and tag,
// beside the platform's own default items.
//
// Thread rule: every call is made on the thread that owns the window the controller was created
// for, and every event is raised there. A failing call raises PlatformError.

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "bindings/platform/geometry.h"
#include "bindings/platform/ref.h"
#include "bindings/platform/win_types.h"

namespace Quarn::WinRT::platform {

// Stock icons of menu items (RadialControllerMenuKnownIcon).
enum class KnownIcon : std::int32_t {
    Scroll = 0,
    Zoom = 1,
    UndoRedo = 2,
    Volume = 3,
    NextPreviousTrack = 4,
    Ruler = 5,
    InkColor = 6,
    InkThickness = 7,
    PenType = 8,
};

// The platform's own menu items (RadialControllerSystemMenuItemKind).
enum class SystemMenuItemKind : std::int32_t {
    Scroll = 0,
    Zoom = 1,
    UndoRedo = 2,
    Volume = 3,
    NextPreviousTrack = 4,
};

// The picture of a menu item, loaded from a file (RandomAccessStreamReference).
class IconStream : public RefCounted {
public:
    // What the stream was made from, for diagnostics and the simulator's transcript.
    virtual std::u16string_view Source() const = 0;
};

// Where the puck rests on the screen.
class ScreenContact : public RefCounted {
public:
    // Relative to the top-left corner of the controller's window, in pixels.
    virtual Rect Bounds() const = 0;
};

// Arguments of the events. Reading a property may raise PlatformError.
class ControllerEventArgs {
public:
    virtual ~ControllerEventArgs() = default;
};
class RotationChangedArgs : public ControllerEventArgs {
public:
    virtual double RotationDeltaInDegrees() const = 0;
    virtual Ref<ScreenContact> Contact() const = 0;
};
// ScreenContactStarted, ScreenContactContinued and ControlAcquired: null when off the screen.
class ContactEventArgs : public ControllerEventArgs {
public:
    virtual Ref<ScreenContact> Contact() const = 0;
};

class RadialController;
class RadialControllerMenuItem;

// Event handlers return a status to the platform, which treats every status as handled; an
// error that escapes a handler becomes a failure status for the platform.
template <class Args>
using ControllerHandler = std::function<std::int32_t(RadialController& sender, const Args& args)>;
using MenuItemHandler = std::function<std::int32_t(RadialControllerMenuItem& sender)>;

// Identifies one subscription, for revoking it; unique within its controller or menu item.
using EventToken = std::int64_t;

class RadialControllerMenuItem : public RefCounted {
public:
    virtual std::u16string_view DisplayText() const = 0;
    // The icon the item was created with; null for a stock icon.
    virtual Ref<IconStream> Icon() const = 0;
    // The stock icon, meaningful when Icon() is null.
    virtual KnownIcon GetKnownIcon() const = 0;

    virtual void SetTag(Ref<Inspectable> tag) = 0;
    virtual Ref<Inspectable> Tag() const = 0;

    virtual EventToken AddInvoked(MenuItemHandler handler) = 0;
    virtual void RemoveInvoked(EventToken token) = 0;
};

// The application's items of the radial menu (IVector<RadialControllerMenuItem>).
class MenuItemList {
public:
    virtual ~MenuItemList() = default;
    virtual std::uint32_t Size() const = 0;
    virtual Ref<RadialControllerMenuItem> GetAt(std::uint32_t index) const = 0;
    virtual void Append(Ref<RadialControllerMenuItem> item) = 0;
    virtual void Clear() = 0;
};

class RadialControllerMenu : public RefCounted {
public:
    // Lives as long as the menu.
    virtual MenuItemList& Items() = 0;
    virtual void SelectMenuItem(const Ref<RadialControllerMenuItem>& item) = 0;
    virtual Ref<RadialControllerMenuItem> GetSelectedMenuItem() const = 0;
};

// Which of the platform's own items stand beside the application's, for one window.
class RadialControllerConfiguration : public RefCounted {
public:
    virtual void SetDefaultMenuItems(std::span<const SystemMenuItemKind> kinds) = 0;
    virtual void ResetToDefaultMenuItems() = 0;
};

class RadialController : public RefCounted {
public:
    virtual EventToken AddButtonClicked(ControllerHandler<ControllerEventArgs> handler) = 0;
    virtual EventToken AddControlAcquired(ControllerHandler<ContactEventArgs> handler) = 0;
    virtual EventToken AddControlLost(ControllerHandler<ControllerEventArgs> handler) = 0;
    virtual EventToken AddRotationChanged(ControllerHandler<RotationChangedArgs> handler) = 0;
    virtual EventToken AddScreenContactContinued(ControllerHandler<ContactEventArgs> handler) = 0;
    virtual EventToken AddScreenContactEnded(ControllerHandler<ControllerEventArgs> handler) = 0;
    virtual EventToken AddScreenContactStarted(ControllerHandler<ContactEventArgs> handler) = 0;
    // Revokes a subscription of any of the seven events; an unknown token is ignored.
    virtual void RemoveHandler(EventToken token) = 0;

    virtual double RotationResolutionInDegrees() const = 0;
    virtual void SetRotationResolutionInDegrees(double degrees) = 0;
    virtual bool UseAutomaticHapticFeedback() const = 0;
    virtual void SetUseAutomaticHapticFeedback(bool use) = 0;

    virtual Ref<RadialControllerMenu> Menu() = 0;
};

// The platform's wheel classes: support query, creation for a window, menu item factories.
class WheelPlatform {
public:
    virtual ~WheelPlatform() = default;

    virtual bool IsSupported() = 0;
    // Through the interop factory of the window; raises PlatformError when refused.
    virtual Ref<RadialController> CreateForWindow(HWND window) = 0;
    virtual Ref<RadialControllerConfiguration> GetConfigurationForWindow(HWND window) = 0;

    virtual Ref<RadialControllerMenuItem> CreateMenuItemFromIcon(std::u16string_view displayText,
                                                                 Ref<IconStream> icon) = 0;
    virtual Ref<RadialControllerMenuItem> CreateMenuItemFromKnownIcon(
        std::u16string_view displayText, KnownIcon icon) = 0;
};

}  // namespace Quarn::WinRT::platform
