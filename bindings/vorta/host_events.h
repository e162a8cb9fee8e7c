#pragma once
// What the sample host reports of the dial's calls into the raster editor, for a test or the
// simulator to see. One observer at a time, installed from any thread; reports arrive on the
// thread that made the call.

#include "bindings/kernel/counted.h"
#include "bindings/kernel/notification.h"

class Tool;
class AdjustmentTool;

class VortaObserver {
public:
    virtual ~VortaObserver() = default;
    virtual void OnNotification(const Kernel::Counted<Kernel::Notification>& notification) = 0;
    virtual void OnHistoryIndexSet(const Tool& tool, int index) = 0;
    virtual void OnRefreshParameters(const AdjustmentTool& tool) = 0;
};

// Returns the observer it replaces; null removes it.
VortaObserver* SetVortaObserver(VortaObserver* observer);

// The sample host's own calls: each reaches the installed observer, if any.
void NotifyNotificationPosted(const Kernel::Counted<Kernel::Notification>& notification);
void NotifyHistoryIndexSet(const Tool& tool, int index);
void NotifyRefreshParameters(const AdjustmentTool& tool);
