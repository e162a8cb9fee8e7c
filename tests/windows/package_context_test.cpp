// Package identity and the unpackaged data folders on Wine's real known folders, and the Windows
// Runtime's probe and COM start-up for a thread.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <string>
#include <thread>

#include "bindings/platform/win_backends.h"
#include "bindings/sample_host/recorder.h"
#include "package/path_table.h"
#include "quarn/winrt/context.h"
#include "quarn/winrt/package.h"
#include "tests/windows/win32_host.h"

namespace Quarn::WinRT::testing {
namespace {

// Wine runs this process without package identity; the unpackaged table lies on the known
// folders Wine gives, one entry of each (how the table is made of them is the simulated tests').
TEST(PackageTest, UnpackagedOnWinesKnownFolders) {
    platform::PackageEnvironment& package = platform::Win32Package();
    std::uint32_t length = 0;
    EXPECT_EQ(package.GetCurrentPackageFullName(&length, nullptr),
              platform::kAppModelErrorNoPackage);
    EXPECT_FALSE(Package::IsSandboxed());

    wchar_t temp[MAX_PATH + 1] = {};
    ASSERT_GT(GetTempPathW(MAX_PATH + 1, temp), 0u);
    const detail::PathTable table =
        detail::ComputeUnpackagedPathTable(Corvanta::Product::Vector, /*Store*/ 2, package);
    const auto text = [](const Kernel::String8& path) { return std::string(path.GetView()); };
    EXPECT_EQ(text(table.appDataForCurrentUser),
              KnownFolder(FOLDERID_RoamingAppData) + "\\Corvanta\\Vector\\3.0 (Store)");
    EXPECT_EQ(text(table.commonForAllUsers),
              KnownFolder(FOLDERID_ProgramData) + "\\Corvanta\\Common\\3.0 (Store)");
    EXPECT_EQ(text(table.tempForCurrentUser), Utf8(temp) + "Corvanta\\Vector\\3.0 (Store)");
    EXPECT_EQ(text(detail::ComputeV2HomeDir(true, package).ToString()),
              KnownFolder(FOLDERID_Profile) + "\\.corvanta\\Common\\2.0");
}

// The probe finds combase's entry points; COM answers S_FALSE for the same mode twice and
// RPC_E_CHANGED_MODE for the other.
TEST(ContextTest, BothModesAndTheChangedModeTrace) {
    for (const bool multiThreaded : {true, false}) {
        SCOPED_TRACE(multiThreaded ? "multi-threaded" : "apartment");
        sample::HostRecorder host;
        void* first = nullptr;
        void* again = nullptr;
        void* otherMode = this;
        // On a thread of its own, since COM's apartment is per thread.
        std::thread([&] {
            first = CreateContext(multiThreaded);
            again = CreateContext(multiThreaded);  // S_FALSE: success
            otherMode = CreateContext(!multiThreaded);
        }).join();
        EXPECT_NE(first, nullptr);
        EXPECT_NE(again, nullptr);
        EXPECT_NE(first, again) << "each call its own token";
        EXPECT_EQ(otherMode, nullptr);

        // The trace's wording is the simulated context tests'; here the system's code.
        const auto traces = host.Traces();
        ASSERT_EQ(traces.size(), 1u);
        EXPECT_NE(traces[0].find(" (-2147417850)"), std::string::npos)  // RPC_E_CHANGED_MODE
            << traces[0];
        DestroyContext(first);
        DestroyContext(again);
    }
}

}  // namespace
}  // namespace Quarn::WinRT::testing
