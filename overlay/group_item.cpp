// The group overlay's records: what it shows of one element, read from the element, its
// attributes and the tool's units when something changes, so that frames only copy them.
#include <cmath>

#include "bindings/kernel/format.h"
#include "bindings/vorta/tool.h"
#include "dial/range_access.h"
#include "items/item_lookup.h"
#include "items/type_test.h"
#include "overlay/group_dial_overlay.h"

namespace Quarn::WinRT::detail {

namespace {

constexpr double kTolerance = 1e-6;

// The unit the value is shown in: a unit range's value type (the user's unit for its kind, or
// its own fixed unit type); none for everything else.
Kernel::UnitType DisplayUnitType(const Kernel::Reflected& element,
                                 const Kernel::Counted<const Kernel::UserUnits>& units) {
    if (!IsA<Kernel::ReflectedUnitRange, struct UnitRangeElementSite>(&element)) {
        return Kernel::UnitTypes::None;
    }
    const auto valueType = FindAttribute<Kernel::ValueTypeAttribute>(element);
    if (!valueType) {
        return Kernel::UnitTypes::None;
    }
    if (valueType->unitTypeSet) {
        return valueType->unitType;
    }
    // Without a tool there are no user units: the host's defaults stand in.
    return units ? units->GetUnitType(valueType->userUnitKind)
                 : Kernel::UserUnits().GetUnitType(valueType->userUnitKind);
}

Kernel::String16 Utf16(const Kernel::String8& text) {
    return Kernel::ConvertEnc<Kernel::TEncUtf16>(text);
}

// The first code point of a UTF-8 text with all of its bytes; a broken sequence gives what
// there is of it, which the conversion turns into U+FFFD.
Kernel::String8 FirstCharacter(const Kernel::String8& text) {
    const std::string_view view = text.GetView();
    if (view.empty()) {
        return {};
    }
    const auto lead = static_cast<unsigned char>(view[0]);
    std::size_t length = lead < 0x80    ? 1
                         : lead >= 0xF0 ? 4
                         : lead >= 0xE0 ? 3
                         : lead >= 0xC0 ? 2
                                        : 1;
    std::size_t end = 1;
    while (end < length && end < view.size() &&
           (static_cast<unsigned char>(view[end]) & 0xC0) == 0x80) {
        ++end;
    }
    return Kernel::String8(view.substr(0, end));
}

void FillDrawingTexts(GroupItem& item) {
    item.name16 = Utf16(item.name);
    item.initial16 = Utf16(FirstCharacter(item.name));
    item.value16 = Utf16(item.valueText);
    item.unit16 = Utf16(item.unitText);
    Kernel::String8 offScreen;
    Kernel::AppendFormatVT(offScreen, std::string_view("%1:\n%2 %3"), item.name, item.valueText,
                           item.unitText);
    item.offScreen16 = Utf16(offScreen);
}

}  // namespace

Kernel::String8 GroupDialOverlay::FormatValueText(
    const Kernel::Counted<Kernel::Reflected>& element,
    const Kernel::Counted<const Kernel::UserUnits>& units) {
    if (!element) {
        return {};
    }
    const Kernel::UnitType unitType = DisplayUnitType(*element, units);
    double value = GetRangeValue(element, units);
    // A 0-to-1 proportion reads as 0 to 100.
    if (unitType == Kernel::UnitTypes::Percent &&
        std::fabs(GetRangeMinimum(element, units)) <= kTolerance &&
        std::fabs(GetRangeMaximum(element, units) - 1) <= kTolerance) {
        value *= 100;
    }
    const Kernel::UnitValue unitValue(value, unitType,
                                      Kernel::UnitValue::ValidatePower(unitType, 0));
    int decimals = unitValue.GetUnitTypePrecision();
    if (const auto precision = FindAttribute<PrecisionAttribute>(*element)) {
        decimals = precision->decimals;
    }
    return unitValue.GetValueAsString(decimals, false, false, true);
}

std::unique_ptr<GroupItem> GroupDialOverlay::BuildItem(
    const Kernel::Counted<Kernel::Reflected>& element, const Kernel::Counted<Tool>& tool) {
    auto item = std::make_unique<GroupItem>();
    if (!element) {
        return item;
    }
    item->id = element->GetIdentifier();
    item->name = element->GetName().ToString();
    if (IsRangeItem(element.Get())) {
        const Kernel::Counted<const Kernel::UserUnits> units =
            tool ? tool->GetUserUnits() : Kernel::Counted<const Kernel::UserUnits>();
        item->minimum = GetRangeMinimum(element, units);
        item->maximum = GetRangeMaximum(element, units);
        item->value = GetRangeValue(element, units);
        item->normalised = GetNormalisedValue(element, units);
        item->valueText = FormatValueText(element, units);
        item->unitText =
            Kernel::UnitValue::GetUnitAsLocalisedShortString(DisplayUnitType(*element, units))
                .ToString();
        item->colourRange = FindAttribute<Corvanta::ColourRangeAttribute>(*element);
        item->colour = FindAttribute<ColourAttribute>(*element);
        const auto north = FindAttribute<Corvanta::DialNorthValueAttribute>(*element);
        item->north = north ? north->value : item->minimum;
        if (const auto curve = FindAttribute<Corvanta::NonLinearRangeAttribute>(*element)) {
            item->normalised = curve->Unmap(item->value, item->minimum, item->maximum);
        }
    } else if (const auto* blend =
                   CachedCast<Kernel::ReflectedRasterBlendMode, struct BlendModeElementSite>(
                       static_cast<const Kernel::Reflected*>(element.Get()))) {
        // A found flag rather than a position: a blend mode never gets a value arc.
        item->minimum = 0;
        item->maximum = static_cast<double>(blend->GetEntries().size());
        item->value = -1;
        const std::int32_t mode = blend->GetMode();
        for (const auto& entry : blend->GetEntries()) {
            if (entry.mode == mode) {
                item->value = 0;
                item->valueText = entry.name.ToString();
                break;
            }
        }
        item->north = item->minimum;
        item->normalised = item->value;
    }
    FillDrawingTexts(*item);
    return item;
}

}  // namespace Quarn::WinRT::detail
