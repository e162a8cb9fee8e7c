#include "bindings/kernel/units.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "bindings/kernel/format.h"

namespace Kernel {

namespace {

struct UnitInfo {
    UnitType type;
    UnitCategory category;
    int precision;
    const char* shortName;
    double perBase;  // how many of this unit make one base unit of the category
};

// Base units: pixels (at the document's dpi), degrees, seconds, pixels per inch.
constexpr UnitInfo kUnits[] = {
    {UnitTypes::None, UnitCategory::None, 0, "", 1.0},
    {UnitTypes::Percent, UnitCategory::Proportion, 0, "%", 1.0},
    {UnitTypes::Pixels, UnitCategory::Length, 1, "px", 1.0},
    {UnitTypes::Points, UnitCategory::Length, 1, "pt", 0.0},
    {UnitTypes::Millimetres, UnitCategory::Length, 2, "mm", 0.0},
    {UnitTypes::Centimetres, UnitCategory::Length, 2, "cm", 0.0},
    {UnitTypes::Inches, UnitCategory::Length, 3, "in", 0.0},
    {UnitTypes::Degrees, UnitCategory::Angle, 1, "\xC2\xB0", 1.0},
    {UnitTypes::Radians, UnitCategory::Angle, 3, "rad", 0.017453292519943295},
    {UnitTypes::Milliseconds, UnitCategory::Time, 0, "ms", 1000.0},
    {UnitTypes::Seconds, UnitCategory::Time, 2, "s", 1.0},
    {UnitTypes::PixelsPerInch, UnitCategory::Resolution, 0, "ppi", 1.0},
    {UnitTypes::Number, UnitCategory::Number, 2, "", 1.0},
};

const UnitInfo* Find(UnitType type) {
    for (const UnitInfo& info : kUnits) {
        if (info.type == type) {
            return &info;
        }
    }
    return nullptr;
}

// Lengths other than pixels depend on the resolution.
double PerPixel(UnitType type, double dpi) {
    switch (type) {
        case UnitTypes::Points:
            return 72.0 / dpi;
        case UnitTypes::Millimetres:
            return 25.4 / dpi;
        case UnitTypes::Centimetres:
            return 2.54 / dpi;
        case UnitTypes::Inches:
            return 1.0 / dpi;
        default:
            return 1.0;
    }
}

}  // namespace

UnitCategory UnitValue::GetUnitTypeCategory(UnitType unitType) noexcept {
    const UnitInfo* info = Find(unitType);
    return info ? info->category : UnitCategory::None;
}

int UnitValue::GetUnitTypePrecision(UnitType unitType) noexcept {
    const UnitInfo* info = Find(unitType);
    return info ? info->precision : 2;
}

LocalisedString UnitValue::GetUnitAsLocalisedShortString(UnitType unitType) {
    const UnitInfo* info = Find(unitType);
    return LocalisedString(info ? info->shortName : "");
}

int UnitValue::ValidatePower(UnitType unitType, int power) noexcept {
    if (GetUnitTypeCategory(unitType) == UnitCategory::Length) {
        return std::clamp(power, 1, 3);
    }
    return std::clamp(power, 0, 1);
}

double UnitValue::Convert(double value, UnitType from, UnitType to, double dpi) noexcept {
    const UnitCategory category = GetUnitTypeCategory(from);
    if (from == to || category != GetUnitTypeCategory(to)) {
        return value;
    }
    if (category == UnitCategory::Length) {
        if (!(dpi > 0.0) || !std::isfinite(dpi)) {
            return value;  // pixels have no physical size without a usable resolution
        }
        return value / PerPixel(from, dpi) * PerPixel(to, dpi);
    }
    const UnitInfo* fromInfo = Find(from);
    const UnitInfo* toInfo = Find(to);
    if (!fromInfo || !toInfo) {
        return value;
    }
    return value / fromInfo->perBase * toInfo->perBase;
}

String8 UnitValue::GetValueAsString(int decimals, bool withUnit, bool digitGrouping,
                                    bool trimTrailingZeros) const {
    std::string text(ToStringFixed<TEncUtf8>(m_value, decimals).GetView());
    if (trimTrailingZeros && text.find('.') != std::string::npos) {
        text.erase(text.find_last_not_of('0') + 1);
        if (text.back() == '.') {
            text.pop_back();
        }
        if (text == "-0") {
            text = "0";
        }
    }
    if (digitGrouping) {
        const std::size_t digitsStart = text[0] == '-' ? 1 : 0;
        std::size_t digitsEnd = text.find('.');
        if (digitsEnd == std::string::npos) {
            digitsEnd = text.size();
        }
        for (std::ptrdiff_t i = static_cast<std::ptrdiff_t>(digitsEnd) - 3;
             i > static_cast<std::ptrdiff_t>(digitsStart); i -= 3) {
            text.insert(static_cast<std::size_t>(i), 1, ',');
        }
    }
    if (withUnit) {
        const String8 unit = GetUnitAsLocalisedShortString(m_unitType).ToString();
        if (!unit.IsEmpty()) {
            text += ' ';
            text += unit.GetView();
        }
    }
    return String8(std::move(text));
}

UnitType UserUnits::GetUnitType(UserUnitKind kind) const noexcept {
    switch (kind) {
        case UserUnitKind::Length:
            return m_length;
        case UserUnitKind::Angle:
            return m_angle;
        case UserUnitKind::Time:
            return UnitTypes::Milliseconds;
        case UserUnitKind::Resolution:
            return UnitTypes::PixelsPerInch;
    }
    return UnitTypes::None;
}

}  // namespace Kernel
