#include "bindings/corvanta/product.h"

#include "bindings/kernel/format.h"

namespace Corvanta {

Kernel::String8 GetProductShortName(Product product) {
    switch (product) {
        case Product::Raster:
            return "Raster";
        case Product::Vector:
            return "Vector";
        case Product::Layout:
            return "Layout";
    }
    return Kernel::Format8("Product%1", static_cast<std::int32_t>(product));
}

}  // namespace Corvanta
