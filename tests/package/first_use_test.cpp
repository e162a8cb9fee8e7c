// Eight threads asking for paths at once on first use: one computation, the same answers.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "bindings/sim/sim_platform.h"
#include "package/package_state.h"
#include "quarn/winrt/package.h"

namespace Quarn::WinRT {
namespace {

TEST(PackageFirstUseTest, EightThreadsShareOneComputation) {
    sim::SimPlatform platform;
    ASSERT_EQ(detail::PathTableComputationCount(), 0) << "no other test may touch the table";
    std::vector<std::string> seen(8);
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < seen.size(); ++i) {
        threads.emplace_back([&seen, i] {
            seen[i] = std::string(Package::GetCommonDataPathForAllUsers().GetView());
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(detail::PathTableComputationCount(), 1);
    for (const std::string& path : seen) {
        EXPECT_EQ(path, seen[0]);
    }
    EXPECT_TRUE(seen[0].ends_with("\\Corvanta\\Common\\3.0")) << seen[0];
}

}  // namespace
}  // namespace Quarn::WinRT
