#pragma once
// Lookups over dial items, shared by the dial and the overlays (see this folder's CMakeLists).

#include <cstdint>
#include <vector>

#include "bindings/corvanta/group.h"
#include "bindings/kernel/counted.h"
#include "bindings/kernel/reflected.h"
#include "items/type_test.h"

namespace Quarn::WinRT::detail {

using ItemList = std::vector<Kernel::Counted<Kernel::Reflected>>;

// The first attribute of the item whose class is T or derived from T; empty if none. One class-test
// site per attribute class T, shared by every caller: all of them ask the same question.
template <class T>
Kernel::Counted<T> FindAttribute(const Kernel::Reflected& item) {
    for (const Kernel::Counted<Kernel::Reflected::Attribute>& attribute : item.GetAttributes()) {
        if (const T* found = CachedCast<T, struct FindAttributeSite>(attribute.Get())) {
            return Kernel::Counted<T>(const_cast<T*>(found));
        }
    }
    return {};
}

template <class T>
bool HasAttribute(const Kernel::Reflected& item) {
    return static_cast<bool>(FindAttribute<T>(item));
}

// An empty reference in a host's item list or among a group's elements is no item: the menu, the
// lookups, the default marker and the current element all pass over it as if it were not there.
// The first item of the list that is not empty; empty if there is none.
Kernel::Counted<Kernel::Reflected> FirstPresent(const ItemList& items);

// The first group of `items` holding an element with the identifier of `item`; empty if none.
Kernel::Counted<Corvanta::ReflectedGroup> FindGroupContaining(
    const ItemList& items, const Kernel::Counted<Kernel::Reflected>& item);

}  // namespace Quarn::WinRT::detail
