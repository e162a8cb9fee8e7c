#pragma once
// The bounds the simulator holds its input to. A value outside them is refused with its place
// before anything runs, so no count, time or size can wrap around, overflow a double, or keep
// the simulator busy for hours; --help and docs/host-description.md state them.

#include <cstdint>

namespace Quarn::WinRT::sim::limits {

// Input files: the host description is read whole; a script is read a line at a time (a million
// rotate lines are about 9 MB), and its bound keeps its line numbers within an int.
inline constexpr std::uintmax_t kMaxScriptBytes = 1ull << 30;
inline constexpr std::uintmax_t kMaxHostBytes = 64ull << 20;

// Scripts.
inline constexpr std::int64_t kMaxRepeats = 1'000'000;          // rotate ... xCOUNT
inline constexpr std::int64_t kMaxRotationEvents = 10'000'000;  // all rotate lines together
inline constexpr double kMaxDegrees = 360.0;                    // one rotation event, either way
inline constexpr std::int64_t kMaxWaitMs = 86'400'000;          // one wait: a day
inline constexpr std::int64_t kMaxEveryMs = 60'000;             // between repeated rotations
// The virtual time a whole script may reach: about 31 years, far from the clock's overflow.
inline constexpr std::int64_t kMaxVirtualMs = 1'000'000'000'000;

// Points and sizes in pixels, scripts and host descriptions alike: the platform packs a point
// into two 16-bit halves.
inline constexpr int kMinCoordinate = -32768;
inline constexpr int kMaxCoordinate = 32767;

// Host descriptions. Numbers of double, float and unit items stay within this magnitude, so
// a range's span, a unit conversion and the dial's arithmetic stay finite and whole steps
// stay exact.
inline constexpr double kMaxMagnitude = 1e15;
inline constexpr double kMinDpi = 1.0;
inline constexpr double kMaxDpi = 100'000.0;
inline constexpr double kMaxSensitivity = 1000.0;  // either way
inline constexpr double kMaxCurveExponent = 100.0;
inline constexpr int kMaxPrecision = 10;
// JSON nesting deeper than this is refused while reading, before it can exhaust the stack.
inline constexpr int kMaxJsonDepth = 32;

}  // namespace Quarn::WinRT::sim::limits
