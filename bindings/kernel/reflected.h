#pragma once
// Reflected properties of the host: a Reflectable (a tool, say) owns Reflected properties, each
// with an identifier, a name and an ordered list of attributes that callers may append to.
//
// The sample classes below store their values; every setter reports the write to the installed
// ReflectedObserver, which is how a test or the simulator sees what the dial wrote. Values are
// stored as given (no clamping), so a caller that writes out of range or NaN is caught.
// Thread rule: items are read and written on the host thread.

#include <cstdint>
#include <string>
#include <vector>

#include "bindings/kernel/counted.h"
#include "bindings/kernel/localised_string.h"
#include "bindings/kernel/point.h"
#include "bindings/kernel/units.h"

namespace Kernel {

class Reflected;

// Sees every value written into a reflected item.
class ReflectedObserver {
public:
    virtual ~ReflectedObserver() = default;
    virtual void OnValueWritten(const Reflected& item, std::string_view valueText, bool flag) = 0;
};
ReflectedObserver* SetReflectedObserver(ReflectedObserver* observer);
bool HasReflectedObserver();
void NotifyValueWritten(const Reflected& item, std::string_view valueText, bool flag);

// Four-character identifiers such as 'hist' read as big-endian 32-bit numbers.
constexpr std::uint32_t FourCC(const char (&code)[5]) {
    return (static_cast<std::uint32_t>(static_cast<unsigned char>(code[0])) << 24) |
           (static_cast<std::uint32_t>(static_cast<unsigned char>(code[1])) << 16) |
           (static_cast<std::uint32_t>(static_cast<unsigned char>(code[2])) << 8) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(code[3]));
}
std::string FourCCToString(std::uint32_t identifier);

class Reflected : public Countable {
public:
    class Attribute : public Countable {
    public:
        ~Attribute() override = default;
    };
    using AttributeList = std::vector<Counted<Attribute>>;

    Reflected(std::uint32_t identifier, LocalisedString name)
        : m_identifier(identifier), m_name(std::move(name)) {}

    virtual LocalisedString GetName() const { return m_name; }
    virtual std::uint32_t GetIdentifier() const { return m_identifier; }

    const AttributeList& GetAttributes() const noexcept { return m_attributes; }
    void AppendAttribute(Counted<Attribute> attribute) {
        m_attributes.push_back(std::move(attribute));
    }

private:
    std::uint32_t m_identifier;
    LocalisedString m_name;
    AttributeList m_attributes;
};

// An object that owns reflected properties; the host's dial enumeration lists the ones it was
// given as dial-able.
class Reflectable : public Countable {
public:
    void AddDialReflected(Counted<Reflected> item) { m_dialReflecteds.push_back(std::move(item)); }
    const std::vector<Counted<Reflected>>& GetDialReflecteds() const noexcept {
        return m_dialReflecteds;
    }
    void ClearDialReflecteds() { m_dialReflecteds.clear(); }

private:
    std::vector<Counted<Reflected>> m_dialReflecteds;
};

// The unit a unit-valued item is shown in: the user's unit for a kind of quantity, or, when
// `unitTypeSet`, a fixed unit type.
class ValueTypeAttribute : public Reflected::Attribute {
public:
    ValueTypeAttribute(UserUnitKind kind, bool isUnitTypeSet, UnitType type)
        : userUnitKind(kind), unitTypeSet(isUnitTypeSet), unitType(type) {}
    UserUnitKind userUnitKind;
    bool unitTypeSet;
    UnitType unitType;
};

template <class T>
class ReflectedRangeT : public Reflected {
public:
    ReflectedRangeT(std::uint32_t identifier, LocalisedString name, T value, T minimum, T maximum)
        : Reflected(identifier, std::move(name)),
          m_value(value),
          m_minimum(minimum),
          m_maximum(maximum) {}

    virtual T GetValue() const { return m_value; }
    virtual T GetMinimum() const { return m_minimum; }
    virtual T GetMaximum() const { return m_maximum; }
    virtual void SetValue(T value, bool flag);

private:
    T m_value;
    T m_minimum;
    T m_maximum;
};

// Instantiated once, in libkernel. Microsoft's linker exports data (the vtables) only to a module
// that imports it by name, so under Microsoft's compiler a module outside libkernel declares them
// imported; GNU ld resolves them without.
#if defined(_MSC_VER) && defined(QUARN_KERNEL_SHARED) && !defined(QUARN_KERNEL_BUILDING)
#define QUARN_KERNEL_IMPORTED_TEMPLATE __declspec(dllimport)
#else
#define QUARN_KERNEL_IMPORTED_TEMPLATE
#endif
extern template class QUARN_KERNEL_IMPORTED_TEMPLATE ReflectedRangeT<double>;
extern template class QUARN_KERNEL_IMPORTED_TEMPLATE ReflectedRangeT<float>;
extern template class QUARN_KERNEL_IMPORTED_TEMPLATE ReflectedRangeT<int>;

// A ranged value stored in one unit and read and written in the user's units.
class ReflectedUnitRange : public Reflected {
public:
    ReflectedUnitRange(std::uint32_t identifier, LocalisedString name, UnitType storedUnit,
                       double value, double minimum, double maximum)
        : Reflected(identifier, std::move(name)),
          m_storedUnit(storedUnit),
          m_value(value),
          m_minimum(minimum),
          m_maximum(maximum) {}

    virtual double GetValue(const Counted<const UserUnits>& units) const;
    virtual double GetMinimum(const Counted<const UserUnits>& units) const;
    virtual double GetMaximum(const Counted<const UserUnits>& units) const;
    virtual void SetValue(bool flag, const Counted<const UserUnits>& units, double value);

    UnitType GetStoredUnit() const noexcept { return m_storedUnit; }
    // The unit the value is read and written in with these units.
    UnitType GetDisplayUnit(const Counted<const UserUnits>& units) const;

private:
    double ToDisplay(double stored, const Counted<const UserUnits>& units) const;

    UnitType m_storedUnit;
    double m_value;
    double m_minimum;
    double m_maximum;
};

std::string DescribeValue(bool value);
std::string DescribeValue(const PointT<double>& value);
template <class T>
std::string DescribeValue(const T&) {
    return "<value>";
}

template <class T>
class ReflectedBinding : public Reflected {
public:
    ReflectedBinding(std::uint32_t identifier, LocalisedString name, T value)
        : Reflected(identifier, std::move(name)), m_value(std::move(value)) {}

    virtual T GetValue() const { return m_value; }
    virtual void SetValue(T value, bool flag) {
        m_value = std::move(value);
        NotifyValueWritten(*this, DescribeValue(m_value), flag);
    }

private:
    T m_value;
};

// A choice among blend modes.
class ReflectedRasterBlendMode : public Reflected {
public:
    struct Entry {
        std::int32_t mode;
        LocalisedString name;
    };

    ReflectedRasterBlendMode(std::uint32_t identifier, LocalisedString name,
                             std::vector<Entry> entries, int index)
        : Reflected(identifier, std::move(name)), m_entries(std::move(entries)), m_index(index) {}

    const std::vector<Entry>& GetEntries() const noexcept { return m_entries; }
    virtual int GetIndex() const { return m_index; }
    virtual void SetIndex(int index, bool flag);
    // The mode number of the current entry, or -1 when the index names none.
    virtual std::int32_t GetMode() const;

private:
    std::vector<Entry> m_entries;
    int m_index;
};

}  // namespace Kernel
