#pragma once
// What must hold of the dial after every step of the event fuzzer, checked through what the
// host and the simulated platform observe. A violation prints what broke and aborts, which
// libFuzzer reports with the input that caused it.
//
// Exceptions to "every value the dial writes lies within its item's range", each because the
// dial's own rules allow it:
// - The commit timer writes the pending value of the last rotation into whatever range item is
//   current when it fires, so after another item became current within 250 ms of a turn (or a
//   new dial inherited the old one's commit timer through the process-wide current dial) the
//   value may lie outside the new item's range.
// - An item with a non-linear mapping takes what the host's mapping returns for the dial's
//   angle, and the dial does not clamp it.
// Both must still be finite: no write of any kind hands the host NaN or infinity.
//
// Thread rule: the host thread only; the recorder's listener calls in on that thread.

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "bindings/corvanta/attributes.h"
#include "bindings/kernel/reflected.h"
#include "bindings/sample_host/recorder.h"
#include "bindings/vorta/tool.h"
#include "dial/dial.h"
#include "dial/notifications_sent.h"
#include "dial/range_access.h"
#include "items/item_lookup.h"

namespace Quarn::WinRT::fuzz {

[[noreturn]] inline void Violation(const std::string& what) {
    std::fprintf(stderr, "dial invariant broken: %s\n", what.c_str());
    std::abort();
}

inline bool Finite(const Kernel::PointT<double>& point) {
    return std::isfinite(point.x) && std::isfinite(point.y);
}

// The log lines the dial writes, each with the text after which the failure's message follows
// (an empty tail: the line is the whole text).
struct LogForm {
    std::string_view head;
    bool withMessage;
};
inline constexpr LogForm kLogForms[] = {
    {"Dial error: Failed to register events. ", true},
    {"Dial error: Failed to create menu items. ", true},
    {"Dial error: Failed to update radial controller configuration. ", true},
    {"Dial error: Failed to handle rotation. ", true},
    {"Dial error: Failed to create load menu item icon.", false},
    {"Error: Failed to retrieve IRadialControllerMenuItemTag!", false},
    {"Error: Failed to retrieve MenuItemTag!", false},
    // The teardown's own lines: revoking the subscriptions and clearing the menu before the
    // controller is replaced or the dial goes.
    {"Dial error: Failed to revoke events. ", true},
    {"Dial error: Failed to clear menu items. ", true},
    // A mouse release on a badge whose selection the device refuses, caught in the overlay
    // window's procedure.
    {"Dial error: Failed to handle an overlay window message. ", true},
};

class DialInvariants {
public:
    // Called for every event the host sees, while the write is in progress.
    void OnHostEvent(const sample::HostEvent& event, const detail::Dial* dial, bool inTimers) {
        using Kind = sample::HostEvent::Kind;
        switch (event.kind) {
            case Kind::ValueWritten:
                if (event.item) {
                    CheckWrite(*event.item, event.flag, dial, inTimers);
                }
                break;
            case Kind::Notification:
                CheckNotification(event);
                break;
            case Kind::Log:
                m_logLines.push_back(event.text);
                break;
            case Kind::HistoryIndexSet:
            case Kind::Trace:
            case Kind::RefreshParameters:
                break;
        }
    }

    // A new dial: the pending value it commits belongs to no rotation of its own yet.
    void ForgetRotation() { m_lastRotated = nullptr; }

    // An injected failure's message; every message is unique to one injection.
    void Injected(std::string message) { m_messages.push_back(std::move(message)); }

    // After a step: each log line is one the dial writes, and carries the text of a failure
    // injected on the platform, at most once per time that failure fired.
    void CheckLog(int firedInStep) {
        int carried = 0;
        for (const std::string& line : m_logLines) {
            std::string_view text = line;
            if (text.ends_with('\n')) {
                text.remove_suffix(1);
            }
            const LogForm* form = nullptr;
            for (const LogForm& candidate : kLogForms) {
                if (candidate.withMessage ? text.starts_with(candidate.head)
                                          : text == candidate.head) {
                    form = &candidate;
                }
            }
            if (!form) {
                Violation("a log line the dial does not write: \"" + line + "\"");
            }
            if (form->withMessage) {
                const std::string_view message = text.substr(form->head.size());
                bool known = false;
                for (const std::string& injected : m_messages) {
                    known = known || injected == message;
                }
                if (!known) {
                    Violation("a logged failure whose text was not injected: \"" + line + "\"");
                }
                ++carried;
            }
        }
        if (carried > firedInStep) {
            Violation(std::to_string(carried) + " failure lines for " +
                      std::to_string(firedInStep) + " failures that fired");
        }
        m_logLines.clear();
    }

    // After a step: the menu is frozen exactly while the history item is current.
    static void CheckFreeze(const detail::Dial& dial) {
        const auto current = dial.GetCurrentItem();
        const bool history =
            current &&
            dynamic_cast<const Kernel::ReflectedBinding<Kernel::Counted<DocumentHistory>>*>(
                current.Get()) != nullptr;
        if (dial.IsMenuFrozen() != history) {
            Violation(std::string("the menu is ") + (dial.IsMenuFrozen() ? "" : "not ") +
                      "frozen while the current item is " + (history ? "" : "not ") +
                      "the history item");
        }
    }

private:
    void CheckWrite(const Kernel::Reflected& written, bool flag, const detail::Dial* dial,
                    bool inTimers) {
        Kernel::Counted<Kernel::Reflected> item(const_cast<Kernel::Reflected*>(&written));
        if (const auto* point =
                dynamic_cast<const Kernel::ReflectedBinding<Kernel::PointT<double>>*>(&written)) {
            if (!Finite(point->GetValue())) {
                Violation("a position that is not finite reached the host");
            }
            return;
        }
        if (const auto* modes = dynamic_cast<const Kernel::ReflectedRasterBlendMode*>(&written)) {
            const int index = modes->GetIndex();
            if (index < 0 || static_cast<std::size_t>(index) >= modes->GetEntries().size()) {
                Violation("blend mode index " + std::to_string(index) + " outside its list");
            }
            return;
        }
        if (!detail::IsRangeItem(&written)) {
            return;
        }
        const Kernel::Counted<Tool> tool = dial ? dial->GetTool() : Kernel::Counted<Tool>();
        const detail::Units units = tool ? tool->GetUserUnits() : detail::Units();
        const double value = detail::GetRangeValue(item, units);
        const double minimum = detail::GetRangeMinimum(item, units);
        const double maximum = detail::GetRangeMaximum(item, units);
        if (!std::isfinite(value)) {
            Violation("a value that is not finite reached the host");
        }
        if (flag) {
            m_lastRotated = &written;
        }
        const bool commitIntoOther = !flag && inTimers && m_lastRotated != &written;
        const bool nonLinear = detail::HasAttribute<Corvanta::NonLinearRangeAttribute>(written);
        // Unit ranges are read back through the user's units: allow for the round trip.
        const double slack = 1e-9 * std::max({1.0, std::fabs(minimum), std::fabs(maximum)});
        if (!commitIntoOther && !nonLinear &&
            (value < minimum - slack || value > maximum + slack)) {
            char text[160];
            std::snprintf(text, sizeof text, "value %.17g written outside [%.17g, %.17g] (flag %s)",
                          value, minimum, maximum, flag ? "true" : "false");
            Violation(text);
        }
    }

    static void CheckNotification(const sample::HostEvent& event) {
        if (const auto* rotation = dynamic_cast<const Corvanta::RecommendViewRotationNotification*>(
                event.notification.Get())) {
            if (!std::isfinite(rotation->angle) || !Finite(rotation->pivot)) {
                Violation("a view rotation that is not finite reached the host");
            }
        }
    }

    const Kernel::Reflected* m_lastRotated = nullptr;  // compared, never read through
    std::vector<std::string> m_messages;
    std::vector<std::string> m_logLines;
};

}  // namespace Quarn::WinRT::fuzz
