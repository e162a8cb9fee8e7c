#pragma once
// The wheel puck as the application drives it: one dial per main window.
//
//   auto dial = Quarn::WinRT::Factory::CreateDial(context, mainWindow, &callbacks);
//   dial->SetResourcesDirectory(resources);   // where the menu icons lie
//   dial->SetCurrentWindow(mainWindow);       // attaches to the wheel device
//   dial->Update(currentTool, false);         // whenever the current tool changes
//   dial->OnNotify(notification);             // forward the application's notifications
//
// Thread rule: every call on the thread that owns the window; the dial takes no locks.

#include "bindings/kernel/counted.h"
#include "bindings/kernel/notification.h"
#include "bindings/kernel/point.h"
#include "bindings/kernel/string.h"
#include "bindings/platform/win_types.h"
#include "quarn/winrt/export.h"

class Tool;

namespace Quarn::WinRT {

// Implemented by the application.
struct IDialCallbacks {
    // Maps the puck's centre on the screen (pixels) into the view: true with both outputs filled
    // (the view-logical centre and the view centre), false when the centre is outside the view.
    virtual bool ComputeDialCentres(const Kernel::PointT<double>& screenCentre,
                                    Kernel::PointT<double>& viewLogicalCentre,
                                    Kernel::PointT<double>& viewCentre) = 0;

protected:
    ~IDialCallbacks() = default;
};

struct IDial : public Kernel::Countable {
    // The application's notifications, for keeping items, menu and overlay up to date.
    virtual void OnNotify(Kernel::Counted<Kernel::Notification> notification) = 0;
    // Attaches the dial to the wheel device of `window`; a failure keeps the previous attachment.
    virtual void SetCurrentWindow(HWND window) = 0;
    // The folder under which the menu icons lie (its "Dial" folder); read at the next menu build.
    virtual void SetResourcesDirectory(const Kernel::StringT<Kernel::TEncUtf8>& directory) = 0;
    // The current tool (may be empty) and whether the selected adjustment layer's first item is
    // the menu's default entry.
    virtual void Update(Kernel::Counted<Tool> tool, bool defaultFromSelection) = 0;
};

class QUARN_WINRT_API Factory {
public:
    Factory() = delete;
    // Empty when the context or the window is null. `callbacks` must outlive the dial.
    static Kernel::Counted<IDial> CreateDial(void* context, HWND window, IDialCallbacks* callbacks);
};

}  // namespace Quarn::WinRT
