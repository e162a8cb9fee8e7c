#pragma once
// How the simulator puts what it observes into words: items with their values and markers, the
// device's menu, the host's notifications.

#include <string>
#include <vector>

#include "bindings/kernel/notification.h"
#include "bindings/kernel/reflected.h"
#include "bindings/wheel/sim_wheel.h"
#include "dial/dial.h"
#include "tools/sim/host_description.h"

namespace Quarn::WinRT::sim {

// "Size (size) double 24.0000 in [1.0000, 500.0000]", as the item holds it now.
std::string DescribeItem(const Kernel::Reflected& item, const Tool* tool, const HostModel& model);

// One line per source and per item of the dial's latest enumeration, groups with their
// elements indented, each marked with what the dial makes of it (current, button, position,
// default).
// Without values the lines show only the list's make-up: no values, and no selected or current
// marks (a change of current item is reported on its own).
std::vector<std::string> DescribeItems(const detail::Dial& dial, const HostModel& model,
                                       bool withValues = true);

// One line per entry of the controller's menu (text, icon, the selected mark), then the
// system items the configuration asks for. Empty without a controller.
std::vector<std::string> DescribeMenu(SimController* controller, SimConfiguration* configuration,
                                      std::string_view resourcesDirectory);

// The notification's class and its payload.
std::string DescribeNotification(const Kernel::Notification& notification,
                                 std::string_view className);

// An item's name and identifier, "Size (size)", or the identifier alone for an unknown item.
std::string ItemLabel(std::uint32_t identifier, const HostModel& model);
std::string ItemLabel(const Kernel::Reflected& item);

}  // namespace Quarn::WinRT::sim
