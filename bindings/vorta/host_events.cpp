#include "bindings/vorta/host_events.h"

#include <atomic>

namespace {

std::atomic<VortaObserver*> s_observer{nullptr};

VortaObserver* Observer() {
    return s_observer.load(std::memory_order_acquire);
}

}  // namespace

VortaObserver* SetVortaObserver(VortaObserver* observer) {
    return s_observer.exchange(observer, std::memory_order_acq_rel);
}

void NotifyNotificationPosted(const Kernel::Counted<Kernel::Notification>& notification) {
    if (VortaObserver* observer = Observer()) {
        observer->OnNotification(notification);
    }
}

void NotifyHistoryIndexSet(const Tool& tool, int index) {
    if (VortaObserver* observer = Observer()) {
        observer->OnHistoryIndexSet(tool, index);
    }
}

void NotifyRefreshParameters(const AdjustmentTool& tool) {
    if (VortaObserver* observer = Observer()) {
        observer->OnRefreshParameters(tool);
    }
}
