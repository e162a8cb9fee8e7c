#include "items/item_lookup.h"

namespace Quarn::WinRT::detail {

Kernel::Counted<Kernel::Reflected> FirstPresent(const ItemList& items) {
    for (const Kernel::Counted<Kernel::Reflected>& item : items) {
        if (item) {
            return item;
        }
    }
    return {};
}

Kernel::Counted<Corvanta::ReflectedGroup> FindGroupContaining(
    const ItemList& items, const Kernel::Counted<Kernel::Reflected>& item) {
    if (!item) {
        return {};
    }
    const std::uint32_t identifier = item->GetIdentifier();
    for (const Kernel::Counted<Kernel::Reflected>& candidate : items) {
        // An empty entry is no group: the class test answers null for it.
        const auto* group =
            CachedCast<Corvanta::ReflectedGroup, struct GroupContainingSite>(candidate.Get());
        if (!group) {
            continue;
        }
        for (const Kernel::Counted<Kernel::Reflected>& element : group->GetElements()) {
            if (element && element->GetIdentifier() == identifier) {
                return Kernel::Counted<Corvanta::ReflectedGroup>(
                    const_cast<Corvanta::ReflectedGroup*>(group));
            }
        }
    }
    return {};
}

}  // namespace Quarn::WinRT::detail
