// A packaged process, seen through the exported class: sandboxed, with the package's folders.
// The answer is fixed once per process, so this runs in a process of its own.
#include <gtest/gtest.h>

#include "bindings/sim/sim_platform.h"
#include "quarn/winrt/package.h"

namespace Quarn::WinRT {
namespace {

TEST(PackageSandboxedTest, APackagedProcessIsSandboxedAndUsesThePackagesFolders) {
    sim::SimPlatform platform;
    platform.Package().SetPackaged(true);
    platform.Package().SetLocalCacheFolder(u"C:\\Pkg\\LocalCache");
    platform.Package().SetTemporaryFolder(u"C:\\Pkg\\Temp");
    EXPECT_TRUE(Package::IsSandboxed());
    Package::InitialiseCurrentPackage(Corvanta::Product::Vector, 3);
    Package::FinaliseInitialisation();
    // The product and the build kind the process registered name the all-users folder.
    EXPECT_TRUE(std::string(Package::GetAppDataPathForAllUsers().GetView())
                    .ends_with("Corvanta\\Vector\\3.0 CN (Store)"))
        << Package::GetAppDataPathForAllUsers().GetView();
    EXPECT_EQ(std::string(Package::GetAppDataPathForCurrentUser().GetView()),
              "C:\\Pkg\\LocalCache");
    EXPECT_EQ(std::string(Package::GetTempPathForCurrentUser().GetView()), "C:\\Pkg\\Temp");
    platform.Package().SetPackaged(false);
    EXPECT_TRUE(Package::IsSandboxed()) << "asked once per process";
}

}  // namespace
}  // namespace Quarn::WinRT
