// Package identity, the unpackaged data folders on Wine's real known folders, the Windows
// Runtime probe and COM start-up for a thread, and Quarn.WinRT.dll loaded as the editor loads it.
#include <gtest/gtest.h>

#include <objbase.h>
#include <shlobj.h>

#include <string>
#include <thread>

#include "bindings/platform/error.h"
#include "bindings/platform/win_backends.h"
#include "bindings/sample_host/recorder.h"
#include "package/path_table.h"
#include "quarn/winrt/context.h"
#include "quarn/winrt/package.h"
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

// A table on the known folders Wine gives, one entry of each (how the table is made of them is
// the simulated package tests').
TEST(PackageTest, UnpackagedTableOnWinesKnownFolders) {
    const std::string roaming = KnownFolder(FOLDERID_RoamingAppData);
    const std::string programData = KnownFolder(FOLDERID_ProgramData);
    wchar_t temp[MAX_PATH + 1] = {};
    ASSERT_GT(GetTempPathW(MAX_PATH + 1, temp), 0u);
    ASSERT_FALSE(roaming.empty());
    ASSERT_FALSE(programData.empty());

    const detail::PathTable table = detail::ComputeUnpackagedPathTable(
        Corvanta::Product::Vector, /*Store*/ 2, platform::Win32Package());
    EXPECT_EQ(S(table.appDataForCurrentUser), roaming + "\\Corvanta\\Vector\\3.0 (Store)");
    EXPECT_EQ(S(table.commonForAllUsers), programData + "\\Corvanta\\Common\\3.0 (Store)");
    EXPECT_EQ(S(table.tempForCurrentUser), Utf8(temp) + "Corvanta\\Vector\\3.0 (Store)");
    EXPECT_EQ(S(detail::ComputeV2HomeDir(true, platform::Win32Package()).ToString()),
              KnownFolder(FOLDERID_Profile) + "\\.corvanta\\Common\\2.0");
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
        DestroyContext(nullptr);
    }
}

// The DLL as the editor has it: loaded by name from the program's folder, importing the host's
// DLLs, its entry points found by their exported names; its dial's support error (Wine has no
// wheel class) crosses from the DLL into the host's catch.
TEST(DllTest, LoadsCreatesAContextAndItsDialRaisesIntoTheHost) {
    HMODULE dll = LoadLibraryW(L"Quarn.WinRT.dll");
    ASSERT_NE(dll, nullptr) << "error " << GetLastError();
    const auto find = [&](const char* name) {
        return reinterpret_cast<void*>(GetProcAddress(dll, name));
    };
    const auto create = reinterpret_cast<void* (*)(bool)>(find(exported::kCreateContext));
    const auto destroy = reinterpret_cast<void (*)(void*)>(find(exported::kDestroyContext));
    const auto sandboxed = reinterpret_cast<bool (*)()>(find(exported::kIsSandboxed));
    const auto createDial =
        reinterpret_cast<Kernel::Counted<IDial> (*)(void*, HWND, IDialCallbacks*)>(
            find(exported::kCreateDial));
    ASSERT_TRUE(create && destroy && sandboxed && createDial);
    EXPECT_FALSE(sandboxed());

    sample::HostRecorder host;
    {
        const HostWindow window{RECT{100, 100, 900, 700}};
        NoViewCallbacks callbacks;
        void* context = create(false);
        ASSERT_NE(context, nullptr);
        Kernel::Counted<IDial> dial = createDial(context, window.Handle(), &callbacks);
        ASSERT_TRUE(dial);
        HRESULT code = S_OK;
        try {
            dial->SetCurrentWindow(window.Handle());
        } catch (const platform::PlatformError& error) {
            code = error.Code();
        }
        EXPECT_EQ(code, REGDB_E_CLASSNOTREG);
        dial.Reset();
        destroy(context);
    }
    EXPECT_TRUE(host.LogLines().empty());
    EXPECT_TRUE(FreeLibrary(dll));
}

}  // namespace
}  // namespace Quarn::WinRT::testing
