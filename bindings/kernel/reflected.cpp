#include "bindings/kernel/reflected.h"

#include <atomic>

#include "bindings/kernel/format.h"

namespace Kernel {

namespace {
std::atomic<ReflectedObserver*> g_observer{nullptr};

template <class T>
std::string DescribeNumber(T value) {
    if constexpr (std::is_integral_v<T>) {
        return std::string(ToStringT<TEncUtf8>(value).GetView());
    } else {
        return std::string(ToStringFixed<TEncUtf8>(static_cast<double>(value), 4).GetView());
    }
}
}  // namespace

ReflectedObserver* SetReflectedObserver(ReflectedObserver* observer) {
    return g_observer.exchange(observer, std::memory_order_acq_rel);
}

bool HasReflectedObserver() {
    return g_observer.load(std::memory_order_acquire) != nullptr;
}

void NotifyValueWritten(const Reflected& item, std::string_view valueText, bool flag) {
    if (ReflectedObserver* observer = g_observer.load(std::memory_order_acquire)) {
        observer->OnValueWritten(item, valueText, flag);
    }
}

std::string FourCCToString(std::uint32_t identifier) {
    std::string text(4, ' ');
    for (int i = 0; i < 4; ++i) {
        const char c = static_cast<char>((identifier >> (24 - 8 * i)) & 0xFF);
        text[static_cast<std::size_t>(i)] = (c >= 0x20 && c < 0x7F) ? c : '?';
    }
    return text;
}

template <class T>
void ReflectedRangeT<T>::SetValue(T value, bool flag) {
    m_value = value;
    if (HasReflectedObserver()) {  // describing costs an allocation, only an observer needs it
        NotifyValueWritten(*this, DescribeNumber(value), flag);
    }
}

template class ReflectedRangeT<double>;
template class ReflectedRangeT<float>;
template class ReflectedRangeT<int>;

UnitType ReflectedUnitRange::GetDisplayUnit(const Counted<const UserUnits>& units) const {
    for (const Counted<Attribute>& attribute : GetAttributes()) {
        if (auto* valueType = dynamic_cast<const ValueTypeAttribute*>(attribute.Get())) {
            if (valueType->unitTypeSet) {
                return valueType->unitType;
            }
            return units ? units->GetUnitType(valueType->userUnitKind) : m_storedUnit;
        }
    }
    return m_storedUnit;
}

double ReflectedUnitRange::ToDisplay(double stored, const Counted<const UserUnits>& units) const {
    return UnitValue::Convert(stored, m_storedUnit, GetDisplayUnit(units),
                              units ? units->GetDpi() : 72.0);
}

double ReflectedUnitRange::GetValue(const Counted<const UserUnits>& units) const {
    return ToDisplay(m_value, units);
}
double ReflectedUnitRange::GetMinimum(const Counted<const UserUnits>& units) const {
    return ToDisplay(m_minimum, units);
}
double ReflectedUnitRange::GetMaximum(const Counted<const UserUnits>& units) const {
    return ToDisplay(m_maximum, units);
}

void ReflectedUnitRange::SetValue(bool flag, const Counted<const UserUnits>& units, double value) {
    m_value = UnitValue::Convert(value, GetDisplayUnit(units), m_storedUnit,
                                 units ? units->GetDpi() : 72.0);
    if (HasReflectedObserver()) {
        NotifyValueWritten(*this, DescribeNumber(value), flag);
    }
}

std::string DescribeValue(bool value) {
    return value ? "true" : "false";
}

std::string DescribeValue(const PointT<double>& value) {
    return "(" + DescribeNumber(value.x) + ", " + DescribeNumber(value.y) + ")";
}

void ReflectedRasterBlendMode::SetIndex(int index, bool flag) {
    m_index = index;
    std::string text = DescribeNumber(index);
    if (index >= 0 && static_cast<std::size_t>(index) < m_entries.size()) {
        text += " ";
        text += m_entries[static_cast<std::size_t>(index)].name.ToString().GetView();
    }
    NotifyValueWritten(*this, text, flag);
}

std::int32_t ReflectedRasterBlendMode::GetMode() const {
    if (m_index >= 0 && static_cast<std::size_t>(m_index) < m_entries.size()) {
        return m_entries[static_cast<std::size_t>(m_index)].mode;
    }
    return -1;
}

}  // namespace Kernel
