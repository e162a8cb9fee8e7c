#pragma once
// Attributes the raster editor appends to its reflected items for the dial.

#include <cstdint>
#include <typeinfo>
#include <utility>

#include "bindings/kernel/counted.h"
#include "bindings/kernel/reflected.h"
#include "bindings/kernel/string.h"

// The name of the image the dial shows for the item.
class ImageAttribute : public Kernel::Reflected::Attribute {
public:
    explicit ImageAttribute(Kernel::String8 name) : imageName(std::move(name)) {}
    Kernel::String8 imageName;
};

// Scales how far the value moves per step of the dial.
class SensitivityAttribute : public Kernel::Reflected::Attribute {
public:
    explicit SensitivityAttribute(double scale) : factor(scale) {}
    double factor;
};

// Digits after the decimal point when the value is shown.
class PrecisionAttribute : public Kernel::Reflected::Attribute {
public:
    explicit PrecisionAttribute(std::int32_t digits) : decimals(digits) {}
    std::int32_t decimals;
};

// The item's colour, packed 0xBBGGRR: red in bits 0-7, green 8-15, blue 16-23.
class ColourAttribute : public Kernel::Reflected::Attribute {
public:
    explicit ColourAttribute(std::uint32_t packed) : colour(packed) {}
    std::uint32_t colour;
};

// The item's value is stale after a notification of one type, which the host names by the
// hash of its type_info.
class RequiresUpdateAfterNotificationAttribute : public Kernel::Reflected::Attribute {
public:
    explicit RequiresUpdateAfterNotificationAttribute(std::uint64_t typeHash)
        : notificationTypeHash(typeHash) {}

    template <class N>
    static Kernel::Counted<RequiresUpdateAfterNotificationAttribute> For() {
        return Kernel::MakeCounted<RequiresUpdateAfterNotificationAttribute>(
            static_cast<std::uint64_t>(typeid(N).hash_code()));
    }

    std::uint64_t notificationTypeHash;
};
