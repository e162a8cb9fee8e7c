#include "dial/range_access.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "items/item_lookup.h"
#include "items/type_test.h"

namespace Quarn::WinRT::detail {

namespace {

using Kernel::ReflectedRangeT;
using Kernel::ReflectedUnitRange;

// Reads one property of whichever ranged class the item is; 0.0 for any other item.
template <class Read>
double ReadRange(const Kernel::Reflected* item, Read read) {
    if (const auto* d = CachedCast<ReflectedRangeT<double>, struct ReadRangeSite>(item))
        return read(*d);
    if (const auto* f = CachedCast<ReflectedRangeT<float>, struct ReadRangeSite>(item))
        return read(*f);
    if (const auto* i = CachedCast<ReflectedRangeT<int>, struct ReadRangeSite>(item))
        return read(*i);
    if (const auto* u = CachedCast<ReflectedUnitRange, struct ReadRangeSite>(item))
        return read(*u);
    return 0.0;
}

}  // namespace

bool IsRangeItem(const Kernel::Reflected* item) {
    return IsA<ReflectedRangeT<double>, struct IsRangeSite>(item) ||
           IsA<ReflectedRangeT<float>, struct IsRangeSite>(item) ||
           IsA<ReflectedRangeT<int>, struct IsRangeSite>(item) ||
           IsA<ReflectedUnitRange, struct IsRangeSite>(item);
}

bool IsIntRange(const Kernel::Reflected* item) {
    return IsA<ReflectedRangeT<int>, struct IsIntRangeSite>(item);
}

double GetRangeValue(const Kernel::Counted<Kernel::Reflected>& item, const Units& units) {
    return ReadRange(item.Get(), [&](const auto& range) {
        if constexpr (std::is_same_v<std::decay_t<decltype(range)>, ReflectedUnitRange>) {
            return range.GetValue(units);
        } else {
            return static_cast<double>(range.GetValue());
        }
    });
}

double GetRangeMinimum(const Kernel::Counted<Kernel::Reflected>& item, const Units& units) {
    return ReadRange(item.Get(), [&](const auto& range) {
        if constexpr (std::is_same_v<std::decay_t<decltype(range)>, ReflectedUnitRange>) {
            return range.GetMinimum(units);
        } else {
            return static_cast<double>(range.GetMinimum());
        }
    });
}

double GetRangeMaximum(const Kernel::Counted<Kernel::Reflected>& item, const Units& units) {
    return ReadRange(item.Get(), [&](const auto& range) {
        if constexpr (std::is_same_v<std::decay_t<decltype(range)>, ReflectedUnitRange>) {
            return range.GetMaximum(units);
        } else {
            return static_cast<double>(range.GetMaximum());
        }
    });
}

void SetRangeValue(const Kernel::Counted<Kernel::Reflected>& item, bool flag, const Units& units,
                   double value) {
    if (!std::isfinite(value)) {
        return;  // the host never receives NaN or infinity from the dial
    }
    Kernel::Reflected* target = item.Get();
    if (auto* d = CachedCast<ReflectedRangeT<double>, struct WriteRangeSite>(target)) {
        d->SetValue(value, flag);
    } else if (auto* f = CachedCast<ReflectedRangeT<float>, struct WriteRangeSite>(target)) {
        // Clamped first: a double beyond float's range would become an infinity (the commit
        // timer writes the turn's value into whichever range item is current by then).
        const double limited = std::clamp(value, double(std::numeric_limits<float>::lowest()),
                                          double(std::numeric_limits<float>::max()));
        f->SetValue(static_cast<float>(limited), flag);
    } else if (auto* i = CachedCast<ReflectedRangeT<int>, struct WriteRangeSite>(target)) {
        // Clamped first: a double beyond int's range has no int to truncate to.
        const double limited = std::clamp(value, double(std::numeric_limits<int>::min()),
                                          double(std::numeric_limits<int>::max()));
        i->SetValue(static_cast<int>(std::trunc(limited)), flag);
    } else if (auto* u = CachedCast<ReflectedUnitRange, struct WriteRangeSite>(target)) {
        u->SetValue(flag, units, value);
    }
}

double GetNormalisedValue(const Kernel::Counted<Kernel::Reflected>& item, const Units& units) {
    if (!IsRangeItem(item.Get())) {
        return 0.0;
    }
    const double minimum = GetRangeMinimum(item, units);
    const double span = GetRangeMaximum(item, units) - minimum;
    if (!(std::fabs(span) > 0.0)) {
        return 0.0;
    }
    return (GetRangeValue(item, units) - minimum) / span;
}

Kernel::UnitType MappingUnitType(const Kernel::Reflected& item) {
    if (!IsA<ReflectedUnitRange, struct UnitRangeSite>(&item)) {
        return Kernel::UnitTypes::Number;
    }
    const auto valueType = FindAttribute<Kernel::ValueTypeAttribute>(item);
    if (!valueType) {
        return Kernel::UnitTypes::None;
    }
    return valueType->unitTypeSet ? valueType->unitType : Kernel::UnitTypes::Number;
}

}  // namespace Quarn::WinRT::detail
