// Package identity, the unpackaged data folders on Wine's real known folders, the Windows
// Runtime probe and COM start-up for a thread, and Quarn.WinRT.dll loaded as the editor loads it.
#include <gtest/gtest.h>

#include <objbase.h>
#include <shlobj.h>

#include <string>
#include <thread>

#include "bindings/platform/win_backends.h"
#include "bindings/sample_host/recorder.h"
#include "package/path_table.h"
#include "quarn/winrt/context.h"
#include "quarn/winrt/package.h"
#include "tests/package/expected_versions.h"
#include "tests/windows/win32_host.h"

namespace Quarn::WinRT::testing {
namespace {

std::string S(const Kernel::String8& text) {
    return std::string(text.GetView());
}

TEST(PackageTest, WineRunsThisProcessWithoutPackageIdentity) {
    platform::PackageEnvironment& package = platform::Win32Package();
    std::uint32_t length = 0;
    EXPECT_EQ(package.GetCurrentPackageFullName(&length, nullptr),
              platform::kAppModelErrorNoPackage);
    EXPECT_FALSE(detail::ProbeSandboxed(package));
    EXPECT_FALSE(Package::IsSandboxed());
}

TEST(PackageTest, UnpackagedTableOnWinesKnownFolders) {
    const std::string roaming = KnownFolder(FOLDERID_RoamingAppData);
    const std::string programData = KnownFolder(FOLDERID_ProgramData);
    wchar_t temp[MAX_PATH + 1] = {};
    ASSERT_GT(GetTempPathW(MAX_PATH + 1, temp), 0u);
    const std::string tempPath = Utf8(temp);  // ends in a backslash
    ASSERT_FALSE(roaming.empty());
    ASSERT_FALSE(programData.empty());
    ASSERT_EQ(tempPath.back(), '\\');

    for (const ExpectedVersions& v : kExpectedVersions) {
        const detail::PathTable table = detail::ComputeUnpackagedPathTable(
            Corvanta::Product::Vector, v.buildKind, platform::Win32Package());
        const std::string version = v.version;
        const std::string persisted = v.persisted;
        SCOPED_TRACE(v.buildKind);
        EXPECT_EQ(S(table.appDataForCurrentUser), roaming + "\\Corvanta\\Vector\\" + version);
        EXPECT_EQ(S(table.appDataForCurrentUserPersisted),
                  roaming + "\\Corvanta\\Vector\\" + persisted);
        EXPECT_EQ(S(table.appDataForAllUsers), programData + "\\Corvanta\\Vector\\" + version);
        EXPECT_EQ(S(table.commonForCurrentUser), roaming + "\\Corvanta\\Common\\" + version);
        EXPECT_EQ(S(table.commonForCurrentUserPersisted),
                  roaming + "\\Corvanta\\Common\\" + persisted);
        EXPECT_EQ(S(table.commonForCurrentUserPersistedBuildInvariant),
                  roaming + "\\Corvanta\\Common\\3.0");
        EXPECT_EQ(S(table.commonForAllUsers), programData + "\\Corvanta\\Common\\" + version);
        EXPECT_EQ(S(table.tempForCurrentUser), tempPath + "Corvanta\\Vector\\" + version);
    }
}

TEST(PackageTest, Version2HomeFoldersOnWinesKnownFolders) {
    EXPECT_EQ(S(detail::ComputeV2HomeDir(true, platform::Win32Package()).ToString()),
              KnownFolder(FOLDERID_Profile) + "\\.corvanta\\Common\\2.0");
    EXPECT_EQ(S(detail::ComputeV2HomeDir(false, platform::Win32Package()).ToString()),
              KnownFolder(FOLDERID_RoamingAppData) + "\\Corvanta\\Common\\2.0");
}

TEST(RuntimeProbeTest, TheRuntimeLibraryHasBothEntryPoints) {
    platform::ComRuntime& com = platform::Win32Com();
    platform::ModuleHandle module = com.LoadLibraryW(platform::kWindowsRuntimeLibrary);
    ASSERT_NE(module, nullptr);
    EXPECT_NE(com.GetProcAddress(module, "RoInitialize"), nullptr);
    EXPECT_NE(com.GetProcAddress(module, "RoGetActivationFactory"), nullptr);
    EXPECT_EQ(com.GetProcAddress(module, "NoSuchEntryPoint"), nullptr);
    EXPECT_TRUE(com.FreeLibrary(module));
    EXPECT_EQ(com.LoadLibraryW(u"no-such-library.dll"), nullptr);
}

// Both calls on a thread of their own, since COM's apartment is per thread.
struct ContextRun {
    void* first = nullptr;
    void* again = nullptr;
    void* otherMode = nullptr;
};

ContextRun RunContexts(bool multiThreaded) {
    ContextRun run;
    std::thread([&] {
        run.first = CreateContext(multiThreaded);
        run.again = CreateContext(multiThreaded);  // S_FALSE: success
        run.otherMode = CreateContext(!multiThreaded);
    }).join();
    return run;
}

TEST(ContextTest, BothModesAndTheChangedModeTrace) {
    for (const bool multiThreaded : {true, false}) {
        SCOPED_TRACE(multiThreaded ? "multi-threaded" : "apartment");
        sample::HostRecorder host;
        const ContextRun run = RunContexts(multiThreaded);
        EXPECT_NE(run.first, nullptr);
        EXPECT_NE(run.again, nullptr);
        EXPECT_NE(run.first, run.again) << "each call its own token";
        EXPECT_EQ(run.otherMode, nullptr);

        const auto traces = host.Traces();
        ASSERT_EQ(traces.size(), 1u);
        const std::string prefix = "Failed to initialise Windows Runtime! ";
        const std::string suffix = " (-2147417850)\n";  // RPC_E_CHANGED_MODE
        ASSERT_GE(traces[0].size(), prefix.size() + suffix.size());
        EXPECT_EQ(traces[0].substr(0, prefix.size()), prefix);
        EXPECT_EQ(traces[0].substr(traces[0].size() - suffix.size()), suffix) << traces[0];

        DestroyContext(run.first);
        DestroyContext(run.again);
        DestroyContext(nullptr);
    }
}

// The DLL as the editor has it: loaded by name from the program's folder, importing the host's
// DLLs, its entry points found by their exported names.
TEST(DllTest, LoadsAndCreatesAContext) {
    HMODULE dll = LoadLibraryW(L"Quarn.WinRT.dll");
    ASSERT_NE(dll, nullptr) << "error " << GetLastError();
    using Create = void* (*)(bool);
    using Destroy = void (*)(void*);
    using IsSandboxed = bool (*)();
    auto create = reinterpret_cast<Create>(
        reinterpret_cast<void*>(GetProcAddress(dll, exported::kCreateContext)));
    auto destroy = reinterpret_cast<Destroy>(
        reinterpret_cast<void*>(GetProcAddress(dll, exported::kDestroyContext)));
    auto sandboxed = reinterpret_cast<IsSandboxed>(
        reinterpret_cast<void*>(GetProcAddress(dll, exported::kIsSandboxed)));
    ASSERT_NE(create, nullptr);
    ASSERT_NE(destroy, nullptr);
    ASSERT_NE(sandboxed, nullptr);

    void* token = nullptr;
    std::thread([&] { token = create(true); }).join();
    EXPECT_NE(token, nullptr);
    destroy(token);
    EXPECT_FALSE(sandboxed());
    EXPECT_TRUE(FreeLibrary(dll));
}

}  // namespace
}  // namespace Quarn::WinRT::testing
