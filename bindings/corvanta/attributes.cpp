#include "bindings/corvanta/attributes.h"

#include <algorithm>
#include <cmath>

namespace Corvanta {

namespace {

double ClampUnit(double value) {
    if (std::isnan(value)) {
        return 0.0;
    }
    return std::clamp(value, 0.0, 1.0);
}

std::uint8_t ToByte(double unit) {
    return static_cast<std::uint8_t>(std::lround(ClampUnit(unit) * 255.0));
}

std::uint8_t Channel(std::uint32_t colour, int shift) {
    return static_cast<std::uint8_t>((colour >> shift) & 0xFFu);
}

std::uint8_t Blend(std::uint8_t from, std::uint8_t to, double t) {
    const double value = from + (to - from) * t;
    return static_cast<std::uint8_t>(std::lround(value));
}

struct UnitRgb {
    double red;
    double green;
    double blue;
};

// The six sectors of the HSV hexcone at value 1: p is the floor, q falls and t rises across it.
UnitRgb SectorColour(int sector, double p, double q, double t) {
    switch (sector) {
        case 0:
            return {1.0, t, p};
        case 1:
            return {q, 1.0, p};
        case 2:
            return {p, 1.0, t};
        case 3:
            return {p, q, 1.0};
        case 4:
            return {t, p, 1.0};
        default:
            return {1.0, p, q};
    }
}

}  // namespace

double NonLinearRangeAttribute::EffectiveExponent() const noexcept {
    return exponent > 0.0 ? exponent : 1.0;  // NaN fails the comparison too
}

double NonLinearRangeAttribute::Map(double position, double minimum, double maximum) const {
    return minimum + (maximum - minimum) * std::pow(ClampUnit(position), EffectiveExponent());
}

double NonLinearRangeAttribute::Unmap(double value, double minimum, double maximum) const {
    const double span = maximum - minimum;
    if (span == 0.0 || !std::isfinite(span)) {
        return 0.0;
    }
    return std::pow(ClampUnit((value - minimum) / span), 1.0 / EffectiveExponent());
}

void ColourRangeAttribute::GetColour(double position, std::uint8_t& red, std::uint8_t& green,
                                     std::uint8_t& blue) const {
    const double t = ClampUnit(position);
    red = Blend(Channel(m_from, 0), Channel(m_to, 0), t);
    green = Blend(Channel(m_from, 8), Channel(m_to, 8), t);
    blue = Blend(Channel(m_from, 16), Channel(m_to, 16), t);
}

// White to red: the same ramp GetColour draws, should the base blend ever be asked for it.
SaturationColourRangeAttribute::SaturationColourRangeAttribute(bool grey)
    : ColourRangeAttribute(0xFFFFFFu, 0x0000FFu, grey) {}

void SaturationColourRangeAttribute::GetColour(double position, std::uint8_t& red,
                                               std::uint8_t& green, std::uint8_t& blue) const {
    GetRGB(0.0, position, red, green, blue);
}

void SaturationColourRangeAttribute::GetRGB(double hue, double saturation, std::uint8_t& red,
                                            std::uint8_t& green, std::uint8_t& blue) const {
    double h = std::isfinite(hue) ? hue - std::floor(hue) : 0.0;
    if (h >= 1.0) {
        h = 0.0;  // a tiny negative hue rounds up to exactly 1
    }
    const double s = ClampUnit(saturation);
    const double sector = h * 6.0;
    const int index = static_cast<int>(sector);
    const double f = sector - index;
    const double p = 1.0 - s;
    const double q = 1.0 - s * f;
    const double t = 1.0 - s * (1.0 - f);
    const UnitRgb rgb = SectorColour(index, p, q, t);
    red = ToByte(rgb.red);
    green = ToByte(rgb.green);
    blue = ToByte(rgb.blue);
}

}  // namespace Corvanta
