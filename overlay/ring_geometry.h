#pragma once
// Where the group overlay's ring puts things around the puck, for hit testing and drawing alike.
//
// From the puck's contact width w and its centre c, in window pixels: the value disc of radius
// R = w/2 + 50 in a black ring 14 wide; the element badges (radius 56) on a circle of radius
// L = w/2 + 148, the first one a 70-pixel chord clockwise from straight up, each next one a
// 126-pixel chord further; the current element's name five degrees beyond where a further badge
// would go, at radius R + 28, and never above the horizontal on the right (angle 0).
//
// Angles are in radians, 0 pointing right and growing clockwise on screen (y grows downwards).
// The arithmetic runs in double precision from the single-precision width; results are single
// precision, as the drawing takes them.

#include <cstddef>

#include "bindings/draw/draw.h"

namespace Quarn::WinRT::detail {

struct RingGeometry {
    static constexpr float kBadgeRadius = 56;
    static constexpr float kTrackWidth = 140;
    static constexpr float kSingleTrackRadius = 70;
    static constexpr float kValueRingWidth = 14;
    static constexpr float kBadgeArcRadius = 51;
    static constexpr float kBadgeArcWidth = 10;
    static constexpr double kLabelAngleBeyond = 0.0872664626;  // five degrees

    RingGeometry(platform::draw::Point2F puckCentre, float contactWidth);

    platform::draw::Point2F centre;
    double valueRadius;  // R
    double ringRadius;   // L
    double firstAngle;   // θ0
    double step;

    // The centre of element i's badge.
    platform::draw::Point2F ElementCentre(std::size_t i) const;
    // The angle a further element after `count` elements would take.
    double EndAngle(std::size_t count) const;
    // Where the name label of a ring of `count` elements starts (the pill's left edge and the
    // text's top).
    platform::draw::Point2F LabelAnchor(std::size_t count) const;
};

}  // namespace Quarn::WinRT::detail
