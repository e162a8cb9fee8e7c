// One turn of the dial: a new value, a history step, a view-rotation request or the next mode.
#include <cmath>
#include <optional>
#include <utility>

#include "bindings/corvanta/attributes.h"
#include "bindings/corvanta/view_rotation.h"
#include "bindings/kernel/format.h"
#include "bindings/kernel/log.h"
#include "bindings/keyboard/keyboard.h"
#include "bindings/platform/error.h"
#include "bindings/platform/services.h"
#include "bindings/vorta/attributes.h"
#include "bindings/vorta/controller.h"
#include "bindings/vorta/tool.h"
#include "dial/dial.h"
#include "dial/history_cache.h"
#include "dial/notifications_sent.h"
#include "dial/range_access.h"
#include "dial/value_mapping.h"
#include "items/item_lookup.h"
#include "items/type_test.h"
#include "overlay/dial_overlay_window.h"

namespace Quarn::WinRT::detail {

namespace {
using HistoryBinding = Kernel::ReflectedBinding<Kernel::Counted<DocumentHistory>>;
}  // namespace

double Dial::GetLinearValue(double value, double delta, double minimum, double maximum) const {
    return mapping::LinearValue(value, delta, minimum, maximum);
}

double Dial::GetRampedValue(double elapsedMs, double value, double delta, double minimum,
                            double maximum) const {
    mapping::RampState state;
    state.firstRotation = m_firstRotation;
    if (!m_firstRotation) {
        platform::Keyboard& keyboard = *platform::Services().keyboard;
        state.ctrl = platform::IsKeyDown(keyboard, VK_CONTROL);
        state.shift = platform::IsKeyDown(keyboard, VK_SHIFT);
    }
    return mapping::RampedValue(state, elapsedMs, value, delta, minimum, maximum);
}

double Dial::GetValue(bool ramped, double elapsedMs, double value, double delta, double minimum,
                      double maximum) const {
    return ramped ? GetRampedValue(elapsedMs, value, delta, minimum, maximum)
                  : GetLinearValue(value, delta, minimum, maximum);
}

// A delta that is not finite (NaN or infinity from the device, a sensitivity factor or a
// resolution that blows it up) is no turn at all: the dial angle keeps its value and the event
// changes nothing beyond showing the overlay. So no value, history step, blend mode or view
// rotation angle can carry NaN or infinity to the host, and one bad event does not spoil the
// angle that later turns of a non-linear item start from.
std::optional<double> Dial::PrepareDelta(const Kernel::Reflected& item, double delta,
                                         double elapsedMs) {
    if (const auto sensitivity = FindAttribute<SensitivityAttribute>(item)) {
        delta *= sensitivity->factor;
    }
    const double angle = m_dialAngle + delta;
    if (!std::isfinite(delta) || !std::isfinite(angle)) {
        return std::nullopt;
    }
    const double previousAngle = std::exchange(m_dialAngle, angle);
    if (m_scaleByResolution) {
        const double resolution = m_controller->RotationResolutionInDegrees();
        // A fast turn of a linear item keeps its delta in degrees, so it covers ground quickly.
        if (m_stepRotation || elapsedMs > mapping::kFastRotationMs) {
            delta /= resolution;
            if (!std::isfinite(delta)) {
                m_dialAngle = previousAngle;  // a resolution of 0 reported by the device
                return std::nullopt;
            }
        }
    }
    return delta;
}

std::int32_t Dial::OnRotationChanged(platform::RadialController&,
                                     const platform::RotationChangedArgs& args) {
    std::int32_t status = 1;
    try {
        const double elapsedMs = m_rotationTimer.GetSeconds() * 1000.0;
        if (!m_overlayWindow->IsVisible() && m_dialContact == NoContact) {
            PlaceOverlayAtDefaultBox();
            m_overlayWindow->Show();
        }
        StartOverlayTimer();
        const Kernel::Counted<Kernel::Reflected> item = GetCurrentItem();
        const std::optional<double> prepared =
            item ? PrepareDelta(*item, args.RotationDeltaInDegrees(), elapsedMs) : std::nullopt;
        if (prepared) {
            const double delta = *prepared;
            if (!m_overlayWindow->OnRotation(item, delta)) {
                Kernel::Reflected* current = item.Get();
                if (IsRangeItem(current)) {
                    RotateRange(item, delta, elapsedMs);
                } else if (IsA<HistoryBinding, struct RotateHistorySite>(current)) {
                    StepHistory(item, delta, elapsedMs);
                } else if (IsA<Corvanta::ViewRotationReflected, struct RotateViewSite>(current)) {
                    RequestViewRotation(delta);
                } else if (auto* blend = CachedCast<Kernel::ReflectedRasterBlendMode,
                                                    struct RotateBlendModeSite>(current)) {
                    CycleBlendMode(*blend, delta);
                }
            }
        }
    } catch (const platform::PlatformError& error) {
        Kernel::Log().WriteLine(
            Kernel::Format8("Dial error: Failed to handle rotation. %1", error.MessageUtf8()));
        status = 0;
    } catch (const std::exception& error) {
        Kernel::Log().WriteLine(
            Kernel::Format8("Dial error: Failed to handle rotation. %1", error.what()));
        status = 0;
    }
    m_firstRotation = false;
    m_rotationTimer.Reset();
    return status;
}

void Dial::RotateRange(const Kernel::Counted<Kernel::Reflected>& item, double delta,
                       double elapsedMs) {
    if (!m_tool) {
        return;  // no units to work in
    }
    const Units units = m_tool->GetUserUnits();
    const double value = GetRangeValue(item, units);
    const double minimum = GetRangeMinimum(item, units);
    const double maximum = GetRangeMaximum(item, units);
    const Kernel::Reflected& range = *item;

    double next;
    if (Kernel::UnitValue::GetUnitTypeCategory(MappingUnitType(range)) ==
        Kernel::UnitCategory::Angle) {
        next = mapping::ClampToRange(value + delta, minimum, maximum);
    } else {
        if (const auto nonLinear = FindAttribute<Corvanta::NonLinearRangeAttribute>(range)) {
            next = nonLinear->Map(m_dialAngle / mapping::kHalfTurn, minimum, maximum);
        } else {
            next = GetValue(m_stepRotation, elapsedMs, value, delta, minimum, maximum);
        }
        if (IsIntRange(item.Get())) {
            next = mapping::AtLeastOneWholeStep(next, value, delta, minimum, maximum);
        }
    }
    if (!std::isfinite(next)) {
        return;  // a host mapping that answers NaN changes nothing
    }
    m_pendingValue = next;
    SetRangeValue(item, true, units, next);

    if (const auto north = FindAttribute<Corvanta::DialNorthValueAttribute>(range)) {
        if (std::fabs(north->value - minimum) > mapping::kTolerance) {
            const bool atBound = std::fabs(next - minimum) <= mapping::kTolerance ||
                                 std::fabs(next - maximum) <= mapping::kTolerance;
            m_controller->SetUseAutomaticHapticFeedback(atBound);
        }
    }
    platform::Services().windowing->SetTimer(m_window, kCommitTimerId, kCommitTimerMs,
                                             &Dial::OnTimer);
    Notify(true);
}

void Dial::StepHistory(const Kernel::Counted<Kernel::Reflected>& item, double delta,
                       double elapsedMs) {
    if (!m_tool) {
        return;
    }
    const int count = m_tool->GetHistoryCount();
    const int position = m_tool->GetHistoryPosition();
    const double mapped = m_stepRotation ? GetRampedValue(elapsedMs, position, delta, 0, count)
                                         : GetLinearValue(position, delta, 0, count);
    const int n = static_cast<int>(std::trunc(mapped));
    // Each event moves at least one entry.
    const int index = n != position ? n - 1 : (delta > 0.0 ? position : position - 2);
    if (index < -1 || index >= count) {
        return;
    }
    m_tool->SetHistoryIndex(index);
    if (const auto cache = FindAttribute<DocumentHistoryCacheAttribute>(*item)) {
        cache->Set(*m_tool, index + 1, count);
    }
    m_overlayWindow->Refresh(m_tool);
}

void Dial::RequestViewRotation(double delta) {
    if (!m_tool) {
        return;  // no document to rotate
    }
    const bool inView = m_dialContact == ContactInView;
    VortaController::GetInstance().PostNotification(
        Kernel::MakeCounted<Corvanta::RecommendViewRotationNotification>(
            m_tool->GetUnsafeDocumentController(), delta,
            inView ? m_viewDialCentre : Kernel::PointT<double>{}, inView));
}

void Dial::CycleBlendMode(Kernel::ReflectedRasterBlendMode& item, double delta) {
    const int count = static_cast<int>(item.GetEntries().size());
    if (count <= 0) {
        return;
    }
    int index = item.GetIndex() + (delta > 0.0 ? 1 : -1);
    if (index < 0) {
        index = count - 1;
    } else if (index >= count) {
        index = 0;
    }
    item.SetIndex(index, false);
}

}  // namespace Quarn::WinRT::detail
