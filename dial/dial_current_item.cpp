// What a change of current item configures, and what the dial tells the host.
#include <cmath>

#include "bindings/corvanta/view_rotation.h"
#include "bindings/kernel/reflected.h"
#include "bindings/vorta/controller.h"
#include "bindings/vorta/document.h"
#include "bindings/vorta/tool.h"
#include "dial/dial.h"
#include "dial/notifications_sent.h"
#include "dial/range_access.h"
#include "dial/value_mapping.h"
#include "items/type_test.h"
#include "overlay/dial_overlay_window.h"

namespace Quarn::WinRT::detail {

namespace {

// Degrees of rotation per event the device reports, by kind of current item.
constexpr double kRangeResolution = 1.0;
constexpr double kHistoryResolution = 6.0;
constexpr double kViewRotationResolution = 0.1;
constexpr double kOtherResolution = 10.0;

Units UnitsOf(const Kernel::Counted<Tool>& tool) {
    return tool ? tool->GetUserUnits() : Units();
}

}  // namespace

void Dial::CurrentItemChanged() {
    m_menuFrozen = false;
    m_stepRotation = false;
    m_firstRotation = true;
    m_scaleByResolution = true;

    if (!m_controller) {
        return;  // not attached: nothing to configure until a window is set
    }
    const Kernel::Counted<Kernel::Reflected> item = GetCurrentItem();
    platform::RadialController& controller = *m_controller;
    const Kernel::Reflected* current = item.Get();
    if (IsRangeItem(current)) {
        const Kernel::UnitCategory category =
            Kernel::UnitValue::GetUnitTypeCategory(MappingUnitType(*current));
        controller.SetUseAutomaticHapticFeedback(false);
        controller.SetRotationResolutionInDegrees(kRangeResolution);
        // Angles turn one degree per degree; everything else spreads its range over half a turn.
        const Units units = UnitsOf(m_tool);
        const double seed = category == Kernel::UnitCategory::Angle
                                ? GetRangeValue(item, units)
                                : GetNormalisedValue(item, units) * mapping::kHalfTurn;
        // A range the host gives with infinite bounds has no position; the angle starts at 0
        // rather than carry NaN into the host's non-linear mapping.
        m_dialAngle = std::isfinite(seed) ? seed : 0.0;
    } else if (IsA<Kernel::ReflectedBinding<Kernel::Counted<DocumentHistory>>,
                   struct ConfigureHistorySite>(current)) {
        m_menuFrozen = true;
        m_stepRotation = true;
        controller.SetUseAutomaticHapticFeedback(false);
        controller.SetRotationResolutionInDegrees(kHistoryResolution);
    } else if (IsA<Corvanta::ViewRotationReflected, struct ConfigureViewRotationSite>(current)) {
        m_scaleByResolution = false;
        controller.SetUseAutomaticHapticFeedback(false);
        controller.SetRotationResolutionInDegrees(kViewRotationResolution);
    } else {
        controller.SetUseAutomaticHapticFeedback(true);
        controller.SetRotationResolutionInDegrees(kOtherResolution);
    }
}

void Dial::Notify(bool /*flag: the host learns the same either way*/) {
    if (m_tool) {
        // A new notification each time, and no reference kept: the host may hold, merge or
        // compare the ones it receives, and each ends when the host lets go of it.
        VortaController::GetInstance().PostNotification(
            Kernel::MakeCounted<ToolParametersChangedNotification>(
                m_tool->GetUnsafeDocumentController(), m_tool->GetToolID()));
    }
    m_overlayWindow->Refresh(m_tool);
}

}  // namespace Quarn::WinRT::detail
