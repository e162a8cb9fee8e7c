#pragma once
// The host's look-ups over reflected items: which items a reflectable offers to the dial, and
// finding one of them by its identifier.

#include <cstdint>
#include <vector>

#include "bindings/kernel/counted.h"
#include "bindings/kernel/reflected.h"

namespace Corvanta {

struct DialReflection {
    // A copy of the items `reflectable` offers to the dial; empty for an empty reference. The
    // sample host only keeps dial items, so `dialOnly` selects nothing further.
    static std::vector<Kernel::Counted<Kernel::Reflected>> EnumerateReflecteds(
        const Kernel::Counted<Kernel::Reflectable>& reflectable, bool dialOnly);
};

struct Reflection {
    // The item with `identifier`, or empty: the first of the list's own entries that has it, else
    // the first element of a group of the list (groups searched in order, nested ones too).
    // Empty entries are skipped.
    static Kernel::Counted<Kernel::Reflected> FindReflected(
        const std::vector<Kernel::Counted<Kernel::Reflected>>& items, std::uint32_t identifier);
};

}  // namespace Corvanta
