#include "bindings/corvanta/attributes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <ostream>
#include <string>
#include <typeinfo>
#include <vector>

#include "bindings/corvanta/group.h"
#include "bindings/corvanta/product.h"
#include "bindings/corvanta/reflection.h"
#include "bindings/corvanta/view_rotation.h"
#include "bindings/vorta/attributes.h"
#include "bindings/vorta/notifications.h"

namespace {

using Corvanta::NonLinearRangeAttribute;
using Kernel::Counted;
using Kernel::MakeCounted;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

struct Rgb {
    int red;
    int green;
    int blue;
    friend bool operator==(const Rgb&, const Rgb&) = default;
    friend std::ostream& operator<<(std::ostream& out, const Rgb& c) {
        return out << "(" << c.red << ", " << c.green << ", " << c.blue << ")";
    }
};

TEST(NonLinearRangeAttributeTest, MapAndUnmapAreInverseWithinTheRange) {
    struct Case {
        double exponent;
        double minimum;
        double maximum;
        double position;
        double value;
    };
    const Case cases[] = {
        {2.0, 0.0, 100.0, 0.5, 25.0},  {2.0, 0.0, 100.0, 1.0, 100.0},
        {0.5, 0.0, 100.0, 0.25, 50.0}, {3.0, -1.0, 1.0, 0.5, -0.75},
        {1.0, -10.0, 10.0, 0.75, 5.0}, {2.0, 100.0, 0.0, 0.5, 75.0},  // a reversed range
        {0.0, 0.0, 10.0, 0.3, 3.0},  // non-positive exponents are linear
        {-2.0, 0.0, 10.0, 0.3, 3.0},   {kNaN, 0.0, 10.0, 0.3, 3.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("exponent " + std::to_string(c.exponent) + " position " +
                     std::to_string(c.position));
        const NonLinearRangeAttribute curve(c.exponent);
        const double value = curve.Map(c.position, c.minimum, c.maximum);
        EXPECT_NEAR(value, c.value, 1e-9);
        EXPECT_NEAR(curve.Unmap(value, c.minimum, c.maximum), c.position, 1e-9);
    }
}

TEST(NonLinearRangeAttributeTest, OutOfRangeInputsStayWithinTheRange) {
    const NonLinearRangeAttribute curve;
    EXPECT_EQ(curve.exponent, 2.0);

    EXPECT_EQ(curve.Map(-0.5, 10.0, 20.0), 10.0);
    EXPECT_EQ(curve.Map(1.5, 10.0, 20.0), 20.0);
    EXPECT_EQ(curve.Map(kNaN, 10.0, 20.0), 10.0);
    EXPECT_EQ(curve.Map(0.5, 4.0, 4.0), 4.0);

    EXPECT_EQ(curve.Unmap(5.0, 4.0, 4.0), 0.0);  // an empty span has no position
    EXPECT_EQ(curve.Unmap(0.0, 10.0, 20.0), 0.0);
    EXPECT_EQ(curve.Unmap(99.0, 10.0, 20.0), 1.0);
    EXPECT_EQ(curve.Unmap(kNaN, 10.0, 20.0), 0.0);
    EXPECT_EQ(curve.Unmap(5.0, 0.0, std::numeric_limits<double>::infinity()), 0.0);
}

Rgb Saturation(double hue, double saturation) {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    Corvanta::SaturationColourRangeAttribute().GetRGB(hue, saturation, r, g, b);
    return {r, g, b};
}

TEST(SaturationColourRangeAttributeTest, GetRGBWalksTheColourWheel) {
    struct Case {
        double hue;
        double saturation;
        Rgb expected;
    };
    const Case cases[] = {
        {0.0, 1.0, {255, 0, 0}},
        {1.0 / 6.0, 1.0, {255, 255, 0}},
        {1.0 / 3.0, 1.0, {0, 255, 0}},
        {0.5, 1.0, {0, 255, 255}},
        {2.0 / 3.0, 1.0, {0, 0, 255}},
        {5.0 / 6.0, 1.0, {255, 0, 255}},
        {1.0 / 12.0, 1.0, {255, 128, 0}},
        {1.0, 1.0, {255, 0, 0}},  // wraps
        {1.0 / 3.0 + 2.0, 1.0, {0, 255, 0}},
        {-1.0 / 6.0, 1.0, {255, 0, 255}},
        {-1e-18, 1.0, {255, 0, 0}},  // rounds to a whole turn
        {0.0, 0.5, {255, 128, 128}},
        {0.25, 0.0, {255, 255, 255}},  // no saturation is white whatever the hue
        {0.0, 2.0, {255, 0, 0}},       // saturation is clamped
        {0.0, -1.0, {255, 255, 255}},
        {kNaN, 1.0, {255, 0, 0}},
        {std::numeric_limits<double>::infinity(), 1.0, {255, 0, 0}},
        {0.5, kNaN, {255, 255, 255}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("hue " + std::to_string(c.hue) + " saturation " +
                     std::to_string(c.saturation));
        EXPECT_EQ(Saturation(c.hue, c.saturation), c.expected);
    }
}

TEST(ColourRangeAttributeTest, GetColourBlendsBetweenTheEnds) {
    const Corvanta::ColourRangeAttribute redToBlue(0x0000FFu, 0xFF0000u);
    const Corvanta::SaturationColourRangeAttribute saturation;
    struct Case {
        const Corvanta::ColourRangeAttribute* range;
        double position;
        Rgb expected;
    };
    const Case cases[] = {
        {&redToBlue, 0.0, {255, 0, 0}},      {&redToBlue, 1.0, {0, 0, 255}},
        {&redToBlue, 0.5, {128, 0, 128}},    {&redToBlue, -3.0, {255, 0, 0}},
        {&redToBlue, 3.0, {0, 0, 255}},      {&redToBlue, kNaN, {255, 0, 0}},
        {&saturation, 0.0, {255, 255, 255}}, {&saturation, 0.5, {255, 128, 128}},
        {&saturation, 1.0, {255, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("position " + std::to_string(c.position));
        std::uint8_t r = 0;
        std::uint8_t g = 0;
        std::uint8_t b = 0;
        c.range->GetColour(c.position, r, g, b);
        EXPECT_EQ((Rgb{r, g, b}), c.expected);
    }
}

TEST(ProductTest, ShortNamesOfKnownAndUnknownProducts) {
    struct Case {
        std::int32_t value;
        const char* name;
    };
    const Case cases[] = {
        {0, "Raster"},
        {1, "Vector"},
        {2, "Layout"},
        {3, "Product3"},
        {7, "Product7"},
        {-1, "Product-1"},
        {2147483647, "Product2147483647"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(
            std::string(
                Corvanta::GetProductShortName(static_cast<Corvanta::Product>(c.value)).GetView()),
            c.name);
    }
}

TEST(ReflectionTest, FindReflectedTakesTheFirstMatchAndSkipsEmptyEntries) {
    auto first = MakeCounted<Corvanta::ViewRotationReflected>(Kernel::FourCC("rot "), "Rotate");
    auto second = MakeCounted<Kernel::Reflected>(Kernel::FourCC("rot "), "Rotate again");
    auto inGroup = MakeCounted<Kernel::Reflected>(Kernel::FourCC("rot "), "Rotate in a group");
    auto onlyInGroup = MakeCounted<Kernel::Reflected>(Kernel::FourCC("elem"), "Element");
    auto deep = MakeCounted<Kernel::Reflected>(Kernel::FourCC("deep"), "Deep");
    auto inner = MakeCounted<Corvanta::ReflectedGroup>(
        Kernel::FourCC("innr"), "Inner", std::vector<Counted<Kernel::Reflected>>{deep});
    auto group = MakeCounted<Corvanta::ReflectedGroup>(
        Kernel::FourCC("grp "), "Group",
        std::vector<Counted<Kernel::Reflected>>{nullptr, inGroup, onlyInGroup, inner});
    const std::vector<Counted<Kernel::Reflected>> items = {nullptr, group, first, second};

    // The list's own entries come before the elements of its groups.
    EXPECT_EQ(Corvanta::Reflection::FindReflected(items, Kernel::FourCC("rot ")), first);
    EXPECT_EQ(Corvanta::Reflection::FindReflected(items, Kernel::FourCC("grp ")), group);
    EXPECT_EQ(Corvanta::Reflection::FindReflected(items, Kernel::FourCC("elem")), onlyInGroup);
    EXPECT_EQ(Corvanta::Reflection::FindReflected(items, Kernel::FourCC("deep")), deep);
    EXPECT_FALSE(Corvanta::Reflection::FindReflected(items, Kernel::FourCC("none")));
    EXPECT_FALSE(Corvanta::Reflection::FindReflected({}, 0));
}

TEST(ReflectionTest, EnumerationIsASnapshot) {
    EXPECT_TRUE(Corvanta::DialReflection::EnumerateReflecteds(nullptr, true).empty());

    auto tool = MakeCounted<Kernel::Reflectable>();
    tool->AddDialReflected(MakeCounted<Kernel::Reflected>(1u, "Size"));
    const auto items = Corvanta::DialReflection::EnumerateReflecteds(tool, true);
    tool->ClearDialReflecteds();
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0]->GetIdentifier(), 1u);
}

TEST(RequiresUpdateAfterNotificationAttributeTest, HashNamesTheDynamicType) {
    const auto attribute = RequiresUpdateAfterNotificationAttribute::For<
        AdjustmentNodeParametersChangedNotification>();
    const Counted<Kernel::Notification> matching =
        MakeCounted<AdjustmentNodeParametersChangedNotification>(nullptr, false);
    const Counted<Kernel::Notification> other =
        MakeCounted<DocumentHistoryChangedNotification>(nullptr, false);
    const Kernel::Notification& matchingRef = *matching;
    const Kernel::Notification& otherRef = *other;
    EXPECT_EQ(attribute->notificationTypeHash, typeid(matchingRef).hash_code());
    EXPECT_NE(attribute->notificationTypeHash, typeid(otherRef).hash_code());
}

}  // namespace
