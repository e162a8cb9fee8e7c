#pragma once
// Uniform access to ranged items, whatever their numeric type. The classes are tested in the
// order double, float, int, unit range. Values read and written in the tool's user units.

#include "bindings/kernel/counted.h"
#include "bindings/kernel/reflected.h"
#include "bindings/kernel/units.h"

namespace Quarn::WinRT::detail {

using Units = Kernel::Counted<const Kernel::UserUnits>;

bool IsRangeItem(const Kernel::Reflected* item);
bool IsIntRange(const Kernel::Reflected* item);

// 0.0 for an item that is not ranged.
double GetRangeValue(const Kernel::Counted<Kernel::Reflected>& item, const Units& units);
double GetRangeMinimum(const Kernel::Counted<Kernel::Reflected>& item, const Units& units);
double GetRangeMaximum(const Kernel::Counted<Kernel::Reflected>& item, const Units& units);

// Writes the value: rounded to the nearest float for a float item, truncated toward zero for an
// int item. Does nothing for an item that is not ranged, or for a value that is not finite.
void SetRangeValue(const Kernel::Counted<Kernel::Reflected>& item, bool flag, const Units& units,
                   double value);

// (value - minimum) / (maximum - minimum); 0.0 for an item that is not ranged and for a range
// without span (maximum equal to minimum), which has no position to speak of.
double GetNormalisedValue(const Kernel::Counted<Kernel::Reflected>& item, const Units& units);

// The unit type the value mapping sees: the unit range's value-type attribute (its unit type
// when it names one, 28 when it does not, 0 without the attribute); 28 for the plain ranges.
Kernel::UnitType MappingUnitType(const Kernel::Reflected& item);

}  // namespace Quarn::WinRT::detail
