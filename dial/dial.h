#pragma once
// The dial: binds one host window to the wheel device, keeps the current tool and its dial
// items, keeps the radial menu in step with them, reacts to the device and reports back.
//
// Thread rule: everything here runs on the thread that owns the host window (the application's
// calls, the controller's events, the timers) and takes no lock. The overlay window owns the
// only other thread, the render thread, and shares nothing of the dial with it.

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "bindings/kernel/counted.h"
#include "bindings/kernel/point.h"
#include "bindings/kernel/reflected.h"
#include "bindings/kernel/string.h"
#include "bindings/kernel/timer.h"
#include "bindings/platform/ref.h"
#include "bindings/wheel/wheel.h"
#include "quarn/winrt/dial.h"

namespace Quarn::WinRT::detail {

class DialOverlayWindow;

// Exported member by member, not as a class: an exported class exports its base (IDial, the
// host's Countable) and its members' standard-library types with it, which in Microsoft's ABI
// ties the application to this DLL's exact standard library build.
class Dial final : public IDial {
public:
    // One source of items and the items it gave, with the attributes the dial attached.
    struct Reflectable {
        Kernel::Counted<Kernel::Reflectable> reflectable;
        std::vector<Kernel::Counted<Kernel::Reflected>> reflecteds;
    };

    enum DialContact : std::int32_t {
        NoContact = 0,
        ContactOutsideView = 1,  // on the screen, outside the host's view
        ContactInView = 2,       // on the screen; the view centres are valid
    };

    static constexpr UINT_PTR kCommitTimerId = 123456;
    static constexpr UINT kCommitTimerMs = 250;
    static constexpr UINT_PTR kOverlayTimerId = 123457;
    static constexpr UINT kOverlayTimerMs = 2000;

    QUARN_WINRT_API static Kernel::Counted<Dial> Create(HWND window, IDialCallbacks* callbacks);
    ~Dial() override;

    void OnNotify(Kernel::Counted<Kernel::Notification> notification) override;
    void SetCurrentWindow(HWND window) override;
    void SetResourcesDirectory(const Kernel::StringT<Kernel::TEncUtf8>& directory) override;
    void Update(Kernel::Counted<Tool> tool, bool defaultFromSelection) override;

    // The most recently constructed dial, which the timer procedure serves; null once destroyed.
    static Dial* CurrentDial() { return s_currentDial; }

    // The Win32 timer procedure of both timers.
    static void OnTimer(HWND window, UINT message, UINT_PTR timerId, DWORD time);
    void OnTimer(std::uint64_t timerId);

    // Read access for the application's diagnostics, tests and the simulator.
    const Kernel::Counted<Tool>& GetTool() const { return m_tool; }
    bool GetUpdateFlag() const { return m_updateFlag; }
    HWND GetWindow() const { return m_window; }
    const platform::Ref<platform::RadialController>& GetController() const { return m_controller; }
    const platform::Ref<platform::RadialControllerConfiguration>& GetConfiguration() const {
        return m_configuration;
    }
    const std::vector<Reflectable>& GetReflectables() const { return m_reflectables; }
    const Kernel::Counted<Kernel::Reflected>& GetSelectedItem() const { return m_selectedItem; }
    bool IsMenuFrozen() const { return m_menuFrozen; }
    bool IsStepRotation() const { return m_stepRotation; }
    bool IsScaleByResolution() const { return m_scaleByResolution; }
    bool IsFirstRotation() const { return m_firstRotation; }
    DialContact GetDialContact() const { return m_dialContact; }
    const Kernel::String8& GetResourcesDirectory() const { return m_resourcesDirectory; }
    double GetPendingValue() const { return m_pendingValue; }
    double GetDialAngle() const { return m_dialAngle; }
    Kernel::PointT<double> GetViewLogicalDialCentre() const { return m_viewLogicalDialCentre; }
    Kernel::PointT<double> GetViewDialCentre() const { return m_viewDialCentre; }
    DialOverlayWindow& GetOverlayWindow() const { return *m_overlayWindow; }

    // The item that rotation acts on now (a group resolves to its current element), or empty.
    Kernel::Counted<Kernel::Reflected> GetCurrentItem() const;
    // The first item marked as the button item / position item, of the right kind; or empty.
    Kernel::Counted<Kernel::ReflectedBinding<bool>> GetDialButtonReflected() const;
    Kernel::Counted<Kernel::ReflectedBinding<Kernel::PointT<double>>> GetDialPositionReflected()
        const;

    // The items of all sources in order, for the menu; groups stay one item.
    static std::vector<Kernel::Counted<Kernel::Reflected>> FlattenReflectables(
        const std::vector<Reflectable>& reflectables);

    // Enumerates the items of the tool and, for one selected adjustment layer, of its tool.
    std::vector<Reflectable> EnumerateReflecteds(const Kernel::Counted<Tool>& tool,
                                                 bool defaultFromSelection) const;

    // The value mappings, with this dial's state (first rotation, Ctrl and Shift).
    QUARN_WINRT_API double GetLinearValue(double value, double delta, double minimum,
                                          double maximum) const;
    QUARN_WINRT_API double GetRampedValue(double elapsedMs, double value, double delta,
                                          double minimum, double maximum) const;
    QUARN_WINRT_API double GetValue(bool ramped, double elapsedMs, double value, double delta,
                                    double minimum, double maximum) const;

    // Makes `element` the current element of the group holding it; always true.
    QUARN_WINRT_API bool SelectMenuItem(Kernel::Counted<Kernel::Reflected> element);

    // Rebuilds the controller's menu from `items` for `dial`; true when a tool was given and the
    // list holds an item. Public so that its rules can be checked on any list.
    static bool UpdateRadialControllerMenu(
        Dial* dial, const platform::Ref<platform::RadialController>& controller,
        const platform::Ref<platform::RadialControllerConfiguration>& configuration, bool noTool,
        const std::vector<Kernel::Counted<Kernel::Reflected>>& items,
        const Kernel::Counted<Kernel::Reflected>& itemToSelect);

private:
    Dial();

    // --- attachment and menu ---
    void RegisterEvents();
    void RevokeEvents() noexcept;
    void ReleaseMenu() noexcept;

    static void UpdateRadialControllerConfiguration(
        const platform::Ref<platform::RadialControllerConfiguration>& configuration, bool noTool);
    std::int32_t OnItemInvoked(platform::RadialControllerMenuItem& sender);

    // --- current item and what the dial tells the host ---
    void CurrentItemChanged();
    void Notify(bool flag);

    // --- device events; each returns the status the platform gets ---
    std::int32_t OnButtonClicked(platform::RadialController& sender,
                                 const platform::ControllerEventArgs& args);
    std::int32_t OnControlAcquired(platform::RadialController& sender,
                                   const platform::ContactEventArgs& args);
    std::int32_t OnControlLost(platform::RadialController& sender,
                               const platform::ControllerEventArgs& args);
    std::int32_t OnRotationChanged(platform::RadialController& sender,
                                   const platform::RotationChangedArgs& args);
    std::int32_t OnScreenContactContinued(platform::RadialController& sender,
                                          const platform::ContactEventArgs& args);
    std::int32_t OnScreenContactEnded(platform::RadialController& sender,
                                      const platform::ControllerEventArgs& args);
    std::int32_t OnScreenContactStarted(platform::RadialController& sender,
                                        const platform::ContactEventArgs& args);

    // --- contact and overlay placement ---
    void SetDialContact(DialContact state, const platform::Ref<platform::ScreenContact>& contact);
    DialContact ContactStateFrom(const platform::Ref<platform::ScreenContact>& contact);
    bool UpdateViewLogicalDialCentre(const platform::Rect& bounds);
    std::optional<platform::Rect> ContactScreenRect(const platform::Rect& bounds) const;
    // The 382 by 382 box around the overlay's last centre, used without a screen contact.
    void PlaceOverlayAtDefaultBox();
    void StartOverlayTimer();

    // --- rotation ---
    // The delta the item turns by, with the dial angle advanced; nothing for a delta that is not
    // finite.
    std::optional<double> PrepareDelta(const Kernel::Reflected& item, double delta,
                                       double elapsedMs);
    void RotateRange(const Kernel::Counted<Kernel::Reflected>& item, double delta,
                     double elapsedMs);
    void StepHistory(const Kernel::Counted<Kernel::Reflected>& item, double delta,
                     double elapsedMs);
    void RequestViewRotation(double delta);
    void CycleBlendMode(Kernel::ReflectedRasterBlendMode& item, double delta);

    // --- host notifications ---
    void OnItemInvalidated(const Kernel::InvalidateReflectedNotification& stale);

    static Dial* s_currentDial;

    IDialCallbacks* m_callbacks = nullptr;
    Kernel::Counted<Tool> m_tool;
    bool m_updateFlag = false;
    platform::Ref<platform::RadialController> m_controller;
    platform::Ref<platform::RadialControllerConfiguration> m_configuration;
    Kernel::Counted<Kernel::Reflected> m_selectedItem;
    std::vector<Reflectable> m_reflectables;
    std::unique_ptr<DialOverlayWindow> m_overlayWindow;
    HWND m_window = nullptr;
    bool m_menuFrozen = false;
    bool m_stepRotation = false;
    bool m_scaleByResolution = true;
    Kernel::Timer m_rotationTimer;
    bool m_firstRotation = false;
    Kernel::PointT<double> m_viewLogicalDialCentre;
    Kernel::PointT<double> m_viewDialCentre;
    DialContact m_dialContact = NoContact;
    Kernel::String8 m_resourcesDirectory;
    double m_pendingValue = 0.0;
    double m_dialAngle = 0.0;

    // The controller subscriptions, revoked before the controller is replaced and when the dial
    // goes, so that no event reaches a dial that no longer exists.
    std::vector<platform::EventToken> m_eventTokens;
};

}  // namespace Quarn::WinRT::detail
