// A getter before InitialiseCurrentPackage fixes product 0 and build kind 0 for the process.
#include <gtest/gtest.h>

#include "bindings/sim/sim_platform.h"
#include "quarn/winrt/package.h"

namespace Quarn::WinRT {
namespace {

TEST(PackageEarlyGetterTest, FixesTheDefaultsForTheLifeOfTheProcess) {
    sim::SimPlatform platform;
    EXPECT_FALSE(Package::IsSandboxed());
    const std::string early(Package::GetAppDataPathForCurrentUser().GetView());
    EXPECT_TRUE(early.ends_with("\\Corvanta\\Raster\\3.0")) << early;
    Package::InitialiseCurrentPackage(Corvanta::Product::Vector, 3);
    EXPECT_EQ(std::string(Package::GetAppDataPathForCurrentUser().GetView()), early);
    const std::string common(Package::GetCommonDataPathForCurrentUser().GetView());
    EXPECT_TRUE(common.ends_with("\\Corvanta\\Common\\3.0")) << common;
}

}  // namespace
}  // namespace Quarn::WinRT
