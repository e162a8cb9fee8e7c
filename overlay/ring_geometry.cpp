#include "overlay/ring_geometry.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace Quarn::WinRT::detail {

namespace {

constexpr double kFirstChord = 70;  // from straight up to the first badge's centre
constexpr double kStepChord = 126;  // between neighbouring badges' centres

// The angle at the ring's centre under which a chord of `chord` pixels appears (law of
// cosines on the isosceles triangle of two radii and the chord).
double ChordAngle(double radius, double chord) {
    const double twoRSquared = 2 * radius * radius;
    return std::acos((twoRSquared - chord * chord) / twoRSquared);
}

// The radius for `count` badges a step chord apart: the design's, or the smallest on which
// `count` steps make one turn (the last badge then a step chord from the first), if that is
// larger.
double RingRadius(double designRadius, std::size_t count) {
    // A width that is not a number, or so negative that the design's radius is not positive,
    // grows nothing: an absurd contact does not make an absurd window.
    if (count < 3 || !(designRadius > 0)) {
        return designRadius;
    }
    const double fitting =
        kStepChord * 0.5 / std::sin(std::numbers::pi / static_cast<double>(count));
    return std::max(designRadius, fitting);
}

}  // namespace

RingGeometry::RingGeometry(platform::draw::Point2F puckCentre, float contactWidth,
                           std::size_t elementCount)
    : centre(puckCentre),
      count(elementCount),
      valueRadius(static_cast<double>(contactWidth) * 0.5 + 50),
      ringRadius(RingRadius(static_cast<double>(contactWidth) * 0.5 + 50 + 14 + 14 + 70, count)),
      firstAngle(ChordAngle(ringRadius, kFirstChord) - std::numbers::pi / 2),
      step(ChordAngle(ringRadius, kStepChord)),
      m_designRingRadius(static_cast<double>(contactWidth) * 0.5 + 148) {
    // The design's label: five degrees past where a further badge would go, beside the last one.
    // It stays where the ring keeps the design's radius, the label's angle has not passed the
    // far side of the puck and its pill does not begin on a badge.
    const double designAngle = std::max(0.0, EndAngle() + kLabelAngleBeyond);
    m_labelOutside = ringRadius > m_designRingRadius || designAngle > std::numbers::pi ||
                     !PillStartClearOfBadges(DesignLabelAnchor());
}

platform::draw::Point2F RingGeometry::ElementCentre(std::size_t i) const {
    const double angle = firstAngle + static_cast<double>(i) * step;
    return {static_cast<float>(centre.x + ringRadius * std::cos(angle)),
            static_cast<float>(centre.y + ringRadius * std::sin(angle))};
}

double RingGeometry::EndAngle() const {
    return firstAngle + static_cast<double>(count) * step;
}

double RingGeometry::TrackSweep() const {
    return count > 1 ? static_cast<double>(count - 1) * step : 0.0;
}

platform::draw::Point2F RingGeometry::DesignLabelAnchor() const {
    const double angle = std::max(0.0, EndAngle() + kLabelAngleBeyond);
    const double radius = valueRadius + 28;
    return {static_cast<float>(centre.x + radius * std::cos(angle)),
            static_cast<float>(centre.y + radius * std::sin(angle))};
}

bool RingGeometry::PillStartClearOfBadges(platform::draw::Point2F anchor) const {
    // The pill's first two line heights: its round end, whatever the name's length.
    const double h = kLabelLineHeight;
    const double left = anchor.x;
    const double right = anchor.x + 2 * h;
    const double top = anchor.y - h;
    const double bottom = anchor.y + 2 * h;
    for (std::size_t i = 0; i < count; ++i) {
        const platform::draw::Point2F c = ElementCentre(i);
        const double dx = c.x - std::clamp(static_cast<double>(c.x), left, right);
        const double dy = c.y - std::clamp(static_cast<double>(c.y), top, bottom);
        if (std::hypot(dx, dy) < kBadgeRadius) {
            return false;
        }
    }
    return true;
}

platform::draw::Point2F RingGeometry::LabelAnchor() const {
    if (!m_labelOutside) {
        return DesignLabelAnchor();
    }
    // Just past the track's outer edge on the right, the text's top at the centre's height: the
    // pill then runs away from the ring and covers nothing of it.
    const double outerEdge = ringRadius + kTrackWidth * 0.5 + kValueRingWidth;
    return {static_cast<float>(centre.x + outerEdge), centre.y};
}

double RingGeometry::WindowMargin() const {
    const double grown = kWindowMargin + (ringRadius - m_designRingRadius);
    if (!m_labelOutside) {
        return grown;
    }
    // The label begins `outerEdge` right of the centre, which is half the contact width plus the
    // margin from the window's edge; it gets kOutsideLabelRoom from there.
    const double halfContact = m_designRingRadius - 148;
    const double outerEdge = ringRadius + kTrackWidth * 0.5 + kValueRingWidth;
    return std::max(grown, outerEdge + kOutsideLabelRoom - halfContact);
}

}  // namespace Quarn::WinRT::detail
