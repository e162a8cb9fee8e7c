#include "dial/value_mapping.h"

#include <cmath>

namespace Quarn::WinRT::detail::mapping {

double ClampToRange(double value, double minimum, double maximum) {
    if (value > maximum) {
        return maximum;
    }
    if (value < minimum) {
        return minimum;
    }
    return value;
}

double LinearValue(double value, double delta, double minimum, double maximum) {
    if (!std::isfinite(delta)) {
        return value;
    }
    const double span = maximum - minimum;
    if (!(std::fabs(span) > 0.0)) {
        return minimum;
    }
    double angle = (value - minimum) / span * kHalfTurn + delta;
    angle = ClampToRange(angle, 0.0, kHalfTurn);
    return ClampToRange(angle / kHalfTurn * span + minimum, minimum, maximum);
}

double SpanStep(double span) {
    if (span < 20.0)
        return 1.0;
    if (span < 50.0)
        return 2.5;
    if (span < 100.0)
        return 5.0;
    return 10.0;
}

double RampedValue(const RampState& state, double elapsedMs, double value, double delta,
                   double minimum, double maximum) {
    if (!std::isfinite(delta)) {
        return value;
    }
    double result;
    if (state.firstRotation) {
        // The first event lands on a whole value; a value already whole moves by the delta.
        result = delta > 0.0 ? std::ceil(value) : std::floor(value);
        if (std::fabs(result - value) <= kTolerance) {
            result = value + delta;
        }
        return ClampToRange(result, minimum, maximum);
    }
    const double step = SpanStep(maximum - minimum);
    double multiplier = elapsedMs > kFastRotationMs ? 1.0 : step;
    bool snap = true;
    if (state.ctrl) {
        multiplier *= step;
        result = value + delta * multiplier;
        snap = !state.shift;
    } else if (state.shift) {
        result = value + delta * multiplier * kFineFactor;
        snap = false;
    } else {
        result = value + delta * multiplier;
    }
    if (snap) {
        result = delta > 0.0 ? std::ceil(result / multiplier) * multiplier
                             : std::floor(result / multiplier) * multiplier;
    }
    return ClampToRange(result, minimum, maximum);
}

double AtLeastOneWholeStep(double mapped, double value, double delta, double minimum,
                           double maximum) {
    double result = mapped;
    if (std::trunc(mapped) == std::trunc(value)) {
        result = delta > 0.0 ? value + 1.0 : value - 1.0;
    }
    return ClampToRange(result, minimum, maximum);
}

}  // namespace Quarn::WinRT::detail::mapping
