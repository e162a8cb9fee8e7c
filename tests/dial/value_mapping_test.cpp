// The three mappings of a rotation to a value, on the numbers a user would feel.
#include <gtest/gtest.h>

#include <limits>

#include "dial/value_mapping.h"

namespace Quarn::WinRT::detail::mapping {
namespace {

TEST(SpanStep, ThresholdsBelongToTheLargerStep) {
    const std::pair<double, double> cases[] = {{0, 1},  {19.9, 1}, {20, 2.5}, {49.9, 2.5},
                                               {50, 5}, {99.9, 5}, {100, 10}, {1e6, 10}};
    for (auto [span, step] : cases) {
        EXPECT_EQ(SpanStep(span), step) << span;
    }
}

struct RampCase {
    const char* name;
    RampState state;
    double elapsedMs, value, delta, minimum, maximum, expected;
};

TEST(RampedValue, StepsGrowWithSpeedAndKeys) {
    const RampState none{};
    const RampState shift{false, false, true};
    const RampState ctrl{false, true, false};
    const RampState both{false, true, true};
    const RampState first{true, false, false};
    const RampCase cases[] = {
        {"slow", none, 50, 3.4, 1, 0, 100, 5},
        {"fast", none, 30, 3.4, 1, 0, 100, 20},
        {"40 ms is fast", none, 40, 3.4, 1, 0, 100, 20},
        {"shift fast, no snap", shift, 30, 3.4, 1, 0, 100, 8.4},
        {"shift slow", shift, 50, 3.4, 1, 0, 100, 3.9},
        {"ctrl slow", ctrl, 50, 3.4, 1, 0, 100, 20},
        {"ctrl fast clamps", ctrl, 30, 3.4, 1, 0, 100, 100},
        {"ctrl and shift do not snap", both, 50, 3.4, 1, 0, 100, 13.4},
        {"backward floors", none, 50, 3.4, -1, 0, 100, 2},
        {"zero delta floors", none, 50, 3.4, 0, 0, 100, 3},
        {"span 20 steps 2.5 fast", none, 10, 1, 1, 0, 20, 5},
        {"first forward ceils", first, 50, 3.4, 1, 0, 100, 4},
        {"first backward floors", first, 50, 3.4, -1, 0, 100, 3},
        {"first from whole moves by delta", first, 50, 3.0, 1, 0, 100, 4},
        {"first within tolerance of whole", first, 50, 2.9999999, 1, 0, 100, 3.9999999},
        {"first clamps", first, 50, 100, 1, 0, 100, 100},
        {"history before the first entry", none, 50, 0, -1, 0, 10, 0},
    };
    for (const auto& c : cases) {
        EXPECT_NEAR(RampedValue(c.state, c.elapsedMs, c.value, c.delta, c.minimum, c.maximum),
                    c.expected, 1e-9)
            << c.name;
    }
    EXPECT_EQ(RampedValue(none, 50, 4, std::numeric_limits<double>::quiet_NaN(), 0, 10), 4);
}

TEST(AtLeastOneWholeStep, IntItemsNeverStandStill) {
    // Linear over 0..100: one degree maps 3 to 3.56, which truncates to 3.
    EXPECT_EQ(AtLeastOneWholeStep(LinearValue(3, 1, 0, 100), 3, 1, 0, 100), 4);
    EXPECT_EQ(AtLeastOneWholeStep(2.5, 3, -1, 0, 100), 2.5);
    EXPECT_EQ(AtLeastOneWholeStep(3.2, 3, -0.1, 0, 100), 2);
    EXPECT_EQ(AtLeastOneWholeStep(100, 100, 1, 0, 100), 100);
    EXPECT_EQ(AtLeastOneWholeStep(0, 0, 0, 0, 100), 0);  // zero counts as backward, clamped
    EXPECT_EQ(AtLeastOneWholeStep(40, 12, 1, 0, 100), 40);
}

}  // namespace
}  // namespace Quarn::WinRT::detail::mapping
