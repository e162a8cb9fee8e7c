#include "bindings/corvanta/reflection.h"

#include "bindings/corvanta/group.h"

namespace Corvanta {

std::vector<Kernel::Counted<Kernel::Reflected>> DialReflection::EnumerateReflecteds(
    const Kernel::Counted<Kernel::Reflectable>& reflectable, bool /*dialOnly*/) {
    if (!reflectable) {
        return {};
    }
    return reflectable->GetDialReflecteds();
}

Kernel::Counted<Kernel::Reflected> Reflection::FindReflected(
    const std::vector<Kernel::Counted<Kernel::Reflected>>& items, std::uint32_t identifier) {
    for (const Kernel::Counted<Kernel::Reflected>& item : items) {
        if (item && item->GetIdentifier() == identifier) {
            return item;
        }
    }
    // Not among the list's own entries: an element of one of its groups, in the list's order.
    for (const Kernel::Counted<Kernel::Reflected>& item : items) {
        if (const auto* group = dynamic_cast<const ReflectedGroup*>(item.Get())) {
            if (auto element = FindReflected(group->GetElements(), identifier)) {
                return element;
            }
        }
    }
    return {};
}

}  // namespace Corvanta
