#pragma once
// Turning one rotation event into a new value. Pure functions: the dial supplies its state.

namespace Quarn::WinRT::detail::mapping {

// Degrees that cover a linear item's whole range; also turns the dial angle into a position.
inline constexpr double kHalfTurn = 180.0;
// Two values this close count as equal: a value already whole, a value at a bound, a north
// value at the minimum.
inline constexpr double kTolerance = 1e-6;
// An event at most this long after the previous one is fast.
inline constexpr double kFastRotationMs = 40.0;
inline constexpr double kFineFactor = 0.5;

// Clamps to [minimum, maximum]: above the maximum gives the maximum, else below the minimum gives
// the minimum. Every clamp of the value mapping goes through here, so a range whose minimum lies
// above its maximum answers the same on every path (the maximum, for any value above it).
double ClampToRange(double value, double minimum, double maximum);

// The whole range over half a turn. A NaN or infinite delta leaves the value; a range without
// span has one value only, its minimum.
double LinearValue(double value, double delta, double minimum, double maximum);

// The step of the ramped mapping for a span: 1, 2.5, 5 or 10.
double SpanStep(double span);

struct RampState {
    bool firstRotation = false;  // the first event after the current item changed
    bool ctrl = false;
    bool shift = false;
};

// Whole steps that grow with speed, refined by Ctrl (coarser) and Shift (finer).
double RampedValue(const RampState& state, double elapsedMs, double value, double delta,
                   double minimum, double maximum);

// An int item moves at least one whole step per event.
double AtLeastOneWholeStep(double mapped, double value, double delta, double minimum,
                           double maximum);

}  // namespace Quarn::WinRT::detail::mapping
