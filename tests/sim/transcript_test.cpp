#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <sstream>

#include "bindings/kernel/format.h"
#include "tools/sim/transcript.h"

namespace Quarn::WinRT::sim {
namespace {

TEST(TranscriptTest, NumbersReadAsTheHostWritesThem) {
    const double values[] = {0.0,
                             -0.0,
                             -0.00001,
                             0.125,
                             2.5,
                             -2.5,
                             1.0 / 3.0,
                             1e15,
                             -1e15,
                             1e308,
                             std::numeric_limits<double>::denorm_min(),
                             std::numeric_limits<double>::infinity(),
                             -std::numeric_limits<double>::infinity(),
                             std::numeric_limits<double>::quiet_NaN()};
    std::mt19937_64 random(15);
    std::uniform_real_distribution<double> spread(-1e6, 1e6);
    for (int decimals : {-1, 0, 1, 2, 4, 15, 20}) {
        for (const double value : values) {
            EXPECT_EQ(
                Number(value, decimals),
                std::string(Kernel::ToStringFixed<Kernel::TEncUtf8>(value, decimals).GetView()))
                << value << " with " << decimals;
        }
        for (int i = 0; i < 1000; ++i) {
            const double value = spread(random);
            ASSERT_EQ(
                Number(value, decimals),
                std::string(Kernel::ToStringFixed<Kernel::TEncUtf8>(value, decimals).GetView()))
                << value << " with " << decimals;
        }
    }
}

}  // namespace
}  // namespace Quarn::WinRT::sim
