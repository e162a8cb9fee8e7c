#pragma once
// Where the group overlay's ring puts things around the puck, for hit testing and drawing alike.
//
// From the puck's contact width w and its centre c, in window pixels: the value disc of radius
// R = w/2 + 50 in a black ring 14 wide; the element badges (radius 56) on a circle of radius
// L = w/2 + 148, the first one a 70-pixel chord clockwise from straight up, each next one a
// 126-pixel chord further; the current element's name five degrees beyond where a further badge
// would go, at radius R + 28, and never above the horizontal on the right (angle 0).
//
// Large groups. When the badges at that spacing would not fit in one turn (from the eleventh
// around a 120-pixel puck), L grows to the smallest radius at which they do, so no badge covers
// another and the track still carries them all; the overlay window grows by as much. Where the
// name's pill would begin on a badge, or on the far side of the puck (the badges then reach past
// half a turn), it goes instead just outside the track on the right, at the height of the
// centre, and the window grows to leave it room. Everywhere else the geometry is as above.
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
    // The window around the contact with the puck on the screen, for a ring that keeps the
    // design's radius and label.
    static constexpr double kWindowMargin = 400;
    // The label's line height assumed when deciding whether its pill would begin on a badge: the
    // 24-point label's with the simulated platform's menu font (28.7), rounded up. The pill is
    // three lines high and begins with a round end two lines wide (DialOverlay::MeasureLabel).
    static constexpr double kLabelLineHeight = 29;
    // Room for the pill, from where it begins, when it sits outside the track.
    static constexpr double kOutsideLabelRoom = 400;

    // A ring of `count` elements around a puck of `contactWidth` centred at `puckCentre`.
    RingGeometry(platform::draw::Point2F puckCentre, float contactWidth, std::size_t count);

    platform::draw::Point2F centre;
    std::size_t count;
    double valueRadius;  // R
    double ringRadius;   // L, grown for a group too large for the puck
    double firstAngle;   // θ0
    double step;

    // The centre of element i's badge.
    platform::draw::Point2F ElementCentre(std::size_t i) const;
    // The angle a further element after the ring's elements would take.
    double EndAngle() const;
    // The angle the track turns through from the first badge's centre to the last's: large-arc
    // flag when it passes half a turn.
    double TrackSweep() const;
    // Where the name label starts (the pill's left edge and the text's top).
    platform::draw::Point2F LabelAnchor() const;
    // Whether the label sits outside the track instead of beside the last badge.
    bool LabelOutside() const { return m_labelOutside; }
    // How far the overlay window reaches beyond the contact rectangle on every side.
    double WindowMargin() const;

private:
    platform::draw::Point2F DesignLabelAnchor() const;
    bool PillStartClearOfBadges(platform::draw::Point2F anchor) const;

    double m_designRingRadius;
    bool m_labelOutside = false;
};

}  // namespace Quarn::WinRT::detail
