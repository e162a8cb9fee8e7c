#pragma once
// The tag of each radial-menu entry: leads from the entry the user picked back to its item.

#include <string_view>

#include "bindings/kernel/counted.h"
#include "bindings/kernel/reflected.h"
#include "bindings/platform/ref.h"

namespace Quarn::WinRT::detail {

class MenuItemTag final : public platform::Inspectable {
public:
    static constexpr std::u16string_view kRuntimeClassName = u"Corvanta.MenuItemTag";

    std::u16string_view GetRuntimeClassName() const override { return kRuntimeClassName; }

    Kernel::Counted<Kernel::Reflected> item;
};

}  // namespace Quarn::WinRT::detail
