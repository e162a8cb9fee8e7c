#pragma once
// The raster editor's application controller, through which notifications are posted to the
// front end. Callers call PostNotification through the vtable (the destructor is the first
// virtual, PostNotification the second), so their order must not change.

#include "bindings/kernel/counted.h"
#include "bindings/kernel/notification.h"

class VortaController {
public:
    virtual ~VortaController();
    // The sample host delivers the notification at once, on the calling thread, to the
    // installed VortaObserver. An empty reference is dropped with a log line.
    virtual void PostNotification(Kernel::Counted<Kernel::Notification> notification);

    static VortaController& GetInstance();

    VortaController() = default;
    VortaController(const VortaController&) = delete;
    VortaController& operator=(const VortaController&) = delete;
};
