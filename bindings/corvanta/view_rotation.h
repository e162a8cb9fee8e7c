#pragma once
// The item that stands for the rotation of the document view. It carries no value of its own:
// the view keeps the angle, and the dial recognises the item by its class.

#include <cstdint>
#include <utility>

#include "bindings/kernel/localised_string.h"
#include "bindings/kernel/reflected.h"

namespace Corvanta {

class ViewRotationReflected : public Kernel::Reflected {
public:
    ViewRotationReflected(std::uint32_t identifier, Kernel::LocalisedString name)
        : Reflected(identifier, std::move(name)) {}
};

}  // namespace Corvanta
