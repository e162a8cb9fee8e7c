#include "bindings/vorta/controller.h"

#include "bindings/kernel/log.h"
#include "bindings/vorta/host_events.h"

VortaController::~VortaController() = default;

void VortaController::PostNotification(Kernel::Counted<Kernel::Notification> notification) {
    if (!notification) {
        Kernel::Log().WriteLine("VortaController: an empty notification was posted and dropped");
        return;
    }
    NotifyNotificationPosted(notification);
}

VortaController& VortaController::GetInstance() {
    static VortaController s_instance;
    return s_instance;
}
