#include "bindings/corvanta/attributes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "bindings/corvanta/group.h"
#include "bindings/corvanta/product.h"
#include "bindings/corvanta/reflection.h"

namespace {

using Kernel::Counted;
using Kernel::MakeCounted;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(NonLinearRangeAttributeTest, MapAndUnmapAreInverseAndStayWithinTheRange) {
    struct Case {
        double exponent, minimum, maximum, position, value;
    };
    const Case cases[] = {
        {0.5, 0.0, 100.0, 0.25, 50.0}, {3.0, -1.0, 1.0, 0.5, -0.75},
        {2.0, 100.0, 0.0, 0.5, 75.0},  // a reversed range
        {-2.0, 0.0, 10.0, 0.3, 3.0},   // non-positive exponents are linear
        {kNaN, 0.0, 10.0, 0.3, 3.0},
    };
    for (const Case& c : cases) {
        const Corvanta::NonLinearRangeAttribute curve(c.exponent);
        EXPECT_NEAR(curve.Map(c.position, c.minimum, c.maximum), c.value, 1e-9) << c.exponent;
        EXPECT_NEAR(curve.Unmap(c.value, c.minimum, c.maximum), c.position, 1e-9) << c.exponent;
    }
    const Corvanta::NonLinearRangeAttribute curve;
    EXPECT_EQ(curve.Map(1.5, 10.0, 20.0), 20.0);
    EXPECT_EQ(curve.Map(kNaN, 10.0, 20.0), 10.0);
    EXPECT_EQ(curve.Unmap(5.0, 4.0, 4.0), 0.0);  // an empty span has no position
    EXPECT_EQ(curve.Unmap(99.0, 10.0, 20.0), 1.0);
    EXPECT_EQ(curve.Unmap(5.0, 0.0, std::numeric_limits<double>::infinity()), 0.0);
}

// Hue and saturation for the saturation ramp; a position for the plain red-to-blue ramp.
TEST(ColourRangeAttributeTest, ColoursAlongTheRampsAndTheColourWheel) {
    struct Case {
        double hue, saturation;  // hue NaN: the red-to-blue ramp at `saturation`
        int red, green, blue;
    };
    const Case cases[] = {
        {1.0 / 6.0, 1.0, 255, 255, 0},  {0.5, 1.0, 0, 255, 255},
        {2.0 / 3.0, 1.0, 0, 0, 255},    {5.0 / 6.0, 1.0, 255, 0, 255},
        {1.0 / 12.0, 1.0, 255, 128, 0}, {1.0 / 3.0 + 2.0, 1.0, 0, 255, 0},
        {-1e-18, 1.0, 255, 0, 0},       {0.0, 0.5, 255, 128, 128},
        {0.0, 2.0, 255, 0, 0},          {0.5, kNaN, 255, 255, 255},
        {kNaN, 0.5, 128, 0, 128},       {kNaN, -3.0, 255, 0, 0},
        {kNaN, 3.0, 0, 0, 255},
    };
    const Corvanta::ColourRangeAttribute redToBlue(0x0000FFu, 0xFF0000u);
    for (const Case& c : cases) {
        std::uint8_t rgb[3] = {};
        if (std::isnan(c.hue)) {
            redToBlue.GetColour(c.saturation, rgb[0], rgb[1], rgb[2]);
        } else {
            Corvanta::SaturationColourRangeAttribute().GetRGB(c.hue, c.saturation, rgb[0], rgb[1],
                                                              rgb[2]);
        }
        EXPECT_EQ(std::vector<int>(rgb, rgb + 3), (std::vector<int>{c.red, c.green, c.blue}))
            << c.hue << " " << c.saturation;
    }
}

TEST(ProductTest, UnknownProductsAreNamedByNumber) {
    for (const auto& [value, name] : {std::pair{2, "Layout"}, {3, "Product3"}, {-1, "Product-1"}}) {
        EXPECT_EQ(Corvanta::GetProductShortName(static_cast<Corvanta::Product>(value)).GetView(),
                  name);
    }
}

TEST(ReflectionTest, FindReflectedTakesTheFirstMatchAndSkipsEmptyEntries) {
    auto first = MakeCounted<Kernel::Reflected>(Kernel::FourCC("rot "), "Rotate");
    auto inGroup = MakeCounted<Kernel::Reflected>(Kernel::FourCC("rot "), "Rotate in a group");
    auto deep = MakeCounted<Kernel::Reflected>(Kernel::FourCC("deep"), "Deep");
    auto inner = MakeCounted<Corvanta::ReflectedGroup>(
        Kernel::FourCC("innr"), "Inner", std::vector<Counted<Kernel::Reflected>>{deep});
    auto group = MakeCounted<Corvanta::ReflectedGroup>(
        Kernel::FourCC("grp "), "Group",
        std::vector<Counted<Kernel::Reflected>>{nullptr, inGroup, inner});
    const std::vector<Counted<Kernel::Reflected>> items = {nullptr, group, first};
    // The list's own entries come before the elements of its groups.
    EXPECT_EQ(Corvanta::Reflection::FindReflected(items, Kernel::FourCC("rot ")), first);
    EXPECT_EQ(Corvanta::Reflection::FindReflected(items, Kernel::FourCC("deep")), deep);
    EXPECT_FALSE(Corvanta::Reflection::FindReflected(items, Kernel::FourCC("none")));
}

}  // namespace
