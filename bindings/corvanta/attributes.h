#pragma once
// Attributes the host appends to reflected items to tell the dial how to present them.

#include <cstdint>

#include "bindings/kernel/reflected.h"

namespace Corvanta {

// Marks the item a menu selects when it first opens.
class DefaultItemAttribute : public Kernel::Reflected::Attribute {};

// On a group: which of its elements is the current one.
class CurrentElementAttribute : public Kernel::Reflected::Attribute {
public:
    explicit CurrentElementAttribute(std::uint32_t element) : elementId(element) {}
    std::uint32_t elementId;
};

// The item is driven by pressing the dial rather than turning it.
class DialButtonAttribute : public Kernel::Reflected::Attribute {};

// The item follows the absolute position of the dial.
class DialPositionAttribute : public Kernel::Reflected::Attribute {};

// The value that sits at the top of the dial's ring.
class DialNorthValueAttribute : public Kernel::Reflected::Attribute {
public:
    explicit DialNorthValueAttribute(double north) : value(north) {}
    double value;
};

// A range whose values are not spread evenly over the dial's travel. The sample curve is a
// power law: value = minimum + (maximum - minimum) * position^exponent.
class NonLinearRangeAttribute : public Kernel::Reflected::Attribute {
public:
    explicit NonLinearRangeAttribute(double curveExponent = 2.0) : exponent(curveExponent) {}

    // The value at a normalised position; positions outside 0..1 (and NaN, read as 0) are
    // brought into it, so the result always lies within the range.
    virtual double Map(double position, double minimum, double maximum) const;
    // The position of a value: the inverse of Map, within 0..1. An empty span gives 0.
    virtual double Unmap(double value, double minimum, double maximum) const;

    // Non-positive or NaN exponents act as 1 (a linear range) rather than folding the curve.
    double exponent;

private:
    double EffectiveExponent() const noexcept;
};

// A range shown as a colour ramp; `keepGrey` asks the dial not to tint its own chrome.
class ColourRangeAttribute : public Kernel::Reflected::Attribute {
public:
    // Colours are packed 0xBBGGRR: red in bits 0-7, green 8-15, blue 16-23.
    ColourRangeAttribute(std::uint32_t fromColour, std::uint32_t toColour, bool grey = false)
        : keepGrey(grey), m_from(fromColour), m_to(toColour) {}

    // The colour at a normalised position, blended linearly between the two colours; the
    // position is clamped to 0..1 and NaN reads as 0.
    virtual void GetColour(double position, std::uint8_t& red, std::uint8_t& green,
                           std::uint8_t& blue) const;

    bool keepGrey;

private:
    std::uint32_t m_from;
    std::uint32_t m_to;
};

// A saturation ramp: from white at position 0 to the pure hue at 1.
class SaturationColourRangeAttribute : public ColourRangeAttribute {
public:
    explicit SaturationColourRangeAttribute(bool grey = false);

    // The colour at `position` for hue 0 (red).
    void GetColour(double position, std::uint8_t& red, std::uint8_t& green,
                   std::uint8_t& blue) const override;

    // The HSV colour with value 1. `hue` is a fraction of the colour wheel and wraps (1.25 is
    // 0.25, -0.25 is 0.75); `saturation` is clamped to 0..1. NaN or infinite inputs read as 0.
    void GetRGB(double hue, double saturation, std::uint8_t& red, std::uint8_t& green,
                std::uint8_t& blue) const;
};

}  // namespace Corvanta
