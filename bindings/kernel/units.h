#pragma once
// Units of measure of the host: unit types, the category each belongs to, display precision,
// value text, and the user's choice of unit per kind of quantity.
//
// The dial relies on three numbers only: unit type 0 (no unit), unit type 28 (a plain number)
// and category 1 (angles, which the dial turns one degree per degree). The rest of the table is
// the sample host's own.

#include <cstdint>

#include "bindings/kernel/counted.h"
#include "bindings/kernel/localised_string.h"
#include "bindings/kernel/string.h"

namespace Kernel {

using UnitType = std::int32_t;

namespace UnitTypes {
inline constexpr UnitType None = 0;
inline constexpr UnitType Percent = 1;  // a 0..1 proportion shown as 0..100
inline constexpr UnitType Pixels = 2;
inline constexpr UnitType Points = 3;
inline constexpr UnitType Millimetres = 4;
inline constexpr UnitType Centimetres = 5;
inline constexpr UnitType Inches = 6;
inline constexpr UnitType Degrees = 7;
inline constexpr UnitType Radians = 8;
inline constexpr UnitType Milliseconds = 9;
inline constexpr UnitType Seconds = 10;
inline constexpr UnitType PixelsPerInch = 11;
inline constexpr UnitType Number = 28;
}  // namespace UnitTypes

enum class UnitCategory : std::int32_t {
    None = 0,
    Angle = 1,
    Length = 2,
    Proportion = 3,
    Time = 4,
    Resolution = 5,
    Number = 6,
};

// The kinds of quantity for which the user picks a unit (the tool's UserUnits).
enum class UserUnitKind : std::int32_t { Length = 0, Angle = 1, Time = 2, Resolution = 3 };

class UnitValue {
public:
    UnitValue(double value, UnitType unitType, int power = 1)
        : m_value(value), m_unitType(unitType), m_power(power) {}

    double GetValue() const noexcept { return m_value; }
    UnitType GetUnitType() const noexcept { return m_unitType; }
    int GetPower() const noexcept { return m_power; }

    // Default number of decimals for this unit type.
    int GetUnitTypePrecision() const noexcept { return GetUnitTypePrecision(m_unitType); }

    // The value with `decimals` digits; optionally followed by a blank and the unit's short
    // name, with thousands grouped, and with trailing zeros (and a bare point) trimmed.
    String8 GetValueAsString(int decimals, bool withUnit, bool digitGrouping,
                             bool trimTrailingZeros) const;

    static UnitCategory GetUnitTypeCategory(UnitType unitType) noexcept;
    static int GetUnitTypePrecision(UnitType unitType) noexcept;
    static LocalisedString GetUnitAsLocalisedShortString(UnitType unitType);
    // The power a quantity of this type can have: lengths 1..3 (length, area, volume), anything
    // else 0 or 1 as given; out-of-range requests are brought to the nearest valid power.
    static int ValidatePower(UnitType unitType, int power) noexcept;
    // Converts between two unit types of the same category; lengths go through pixels at `dpi`.
    // Types of different categories convert as the identity.
    static double Convert(double value, UnitType from, UnitType to, double dpi = 72.0) noexcept;

private:
    double m_value;
    UnitType m_unitType;
    int m_power;
};

// The user's preferred unit for each kind of quantity, and the document resolution that relates
// lengths to pixels. Shared read-only once built.
class UserUnits : public Countable {
public:
    UserUnits() = default;
    UserUnits(UnitType length, UnitType angle, double dpi)
        : m_length(length), m_angle(angle), m_dpi(dpi) {}

    UnitType GetUnitType(UserUnitKind kind) const noexcept;
    double GetDpi() const noexcept { return m_dpi; }

private:
    UnitType m_length = UnitTypes::Pixels;
    UnitType m_angle = UnitTypes::Degrees;
    double m_dpi = 72.0;
};

}  // namespace Kernel
