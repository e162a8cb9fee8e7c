#pragma once
// A reflected item that stands for an ordered set of other items (a tool's sub-settings, say).

#include <cstdint>
#include <utility>
#include <vector>

#include "bindings/kernel/counted.h"
#include "bindings/kernel/localised_string.h"
#include "bindings/kernel/reflected.h"

namespace Corvanta {

class ReflectedGroup : public Kernel::Reflected {
public:
    ReflectedGroup(std::uint32_t identifier, Kernel::LocalisedString name,
                   std::vector<Kernel::Counted<Kernel::Reflected>> elements)
        : Reflected(identifier, std::move(name)), m_elements(std::move(elements)) {}

    const std::vector<Kernel::Counted<Kernel::Reflected>>& GetElements() const noexcept {
        return m_elements;
    }
    void SetElements(std::vector<Kernel::Counted<Kernel::Reflected>> elements) {
        m_elements = std::move(elements);
    }

private:
    std::vector<Kernel::Counted<Kernel::Reflected>> m_elements;
};

}  // namespace Corvanta
