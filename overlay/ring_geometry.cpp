#include "overlay/ring_geometry.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace Quarn::WinRT::detail {

namespace {

// The angle at the ring's centre under which a chord of `chord` pixels appears (law of
// cosines on the isosceles triangle of two radii and the chord).
double ChordAngle(double radius, double chord) {
    const double twoRSquared = 2 * radius * radius;
    return std::acos((twoRSquared - chord * chord) / twoRSquared);
}

}  // namespace

RingGeometry::RingGeometry(platform::draw::Point2F puckCentre, float contactWidth)
    : centre(puckCentre),
      valueRadius(static_cast<double>(contactWidth) * 0.5 + 50),
      ringRadius(static_cast<double>(contactWidth) * 0.5 + 50 + 14 + 14 + 70),
      firstAngle(ChordAngle(ringRadius, 70) - std::numbers::pi / 2),
      step(ChordAngle(ringRadius, 126)) {}

platform::draw::Point2F RingGeometry::ElementCentre(std::size_t i) const {
    const double angle = firstAngle + static_cast<double>(i) * step;
    return {static_cast<float>(centre.x + ringRadius * std::cos(angle)),
            static_cast<float>(centre.y + ringRadius * std::sin(angle))};
}

double RingGeometry::EndAngle(std::size_t count) const {
    return firstAngle + static_cast<double>(count) * step;
}

platform::draw::Point2F RingGeometry::LabelAnchor(std::size_t count) const {
    const double angle = std::max(0.0, EndAngle(count) + kLabelAngleBeyond);
    const double radius = valueRadius + 28;
    return {static_cast<float>(centre.x + radius * std::cos(angle)),
            static_cast<float>(centre.y + radius * std::sin(angle))};
}

}  // namespace Quarn::WinRT::detail
