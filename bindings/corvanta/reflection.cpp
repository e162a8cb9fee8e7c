#include "bindings/corvanta/reflection.h"

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
    return {};
}

}  // namespace Corvanta
