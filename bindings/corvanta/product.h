#pragma once
// The editor's products and the build kinds of its cloud services.

#include <cstdint>

#include "bindings/kernel/string.h"

namespace Corvanta {

enum class Product : std::int32_t { Raster = 0, Vector = 1, Layout = 2 };

// "Raster", "Vector" or "Layout"; any other value reads "Product" and its number ("Product7"),
// so a newer product still gets a distinct, stable name.
Kernel::String8 GetProductShortName(Product product);

namespace CloudServices {
// Every integer is a valid build kind; the host gives them no names.
using BuildKind = std::int32_t;
}  // namespace CloudServices

}  // namespace Corvanta
