// A packaged process's folders from ApplicationData, and the core's fallback to the unpackaged
// folders when they cannot be had. Wine runs every process unpackaged and has no
// ApplicationData class: the real run shows the failure and the fallback, and application data
// of our own shows the folders and each step's failure.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>

#include "bindings/package/win32_package.h"
#include "bindings/platform/win_backends.h"
#include "bindings/sample_host/recorder.h"
#include "package/path_table.h"
#include "tests/windows/fake_application_data.h"

namespace Quarn::WinRT::testing {
namespace {

constexpr Corvanta::CloudServices::BuildKind kStoreBuild = 2;  // "3.0 (Store)", persisted "3.0"

std::string S(const Kernel::String8& text) {
    return std::string(text.GetView());
}

// The line the core writes for a failure with this code and message.
std::string FailureLine(HRESULT code, const std::string& message) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "%08lX", static_cast<unsigned long>(static_cast<DWORD>(code)));
    return std::string("Error (0x") + hex + "): Failed to retrieve sandboxed paths! " + message +
           "\n";
}

TEST(SandboxedFoldersTest, WineHasNoApplicationDataAndTheCoreFallsBack) {
    platform::PackageEnvironment& package = platform::Win32Package();
    HRESULT code = S_OK;
    std::string message;
    try {
        package.CurrentApplicationData();
        FAIL() << "Wine gained Windows.Storage.ApplicationData: its folders can be read for real";
    } catch (const platform::PlatformError& error) {
        code = error.Code();
        message = error.MessageUtf8();
    }
    EXPECT_TRUE(FAILED(code));
    EXPECT_FALSE(message.empty()) << "the platform's text for the code";

    sample::HostRecorder host;
    const detail::PathTable table =
        detail::ComputePathTable(Corvanta::Product::Vector, kStoreBuild, true, package);
    EXPECT_EQ(host.LogLines(), std::vector<std::string>{FailureLine(code, message)});
    EXPECT_EQ(table,
              detail::ComputeUnpackagedPathTable(Corvanta::Product::Vector, kStoreBuild, package));
}

TEST(SandboxedFoldersTest, FoldersFromApplicationDataOrTheFailureAndTheFallback) {
    const HRESULT kNoPackage = static_cast<HRESULT>(0x80073D54);  // APPMODEL_ERROR_NO_PACKAGE
    using Data = FakeApplicationDataStatics;
    struct Case {
        const char* name;
        std::function<void(Data&)> arrange;  // null: no ApplicationData class
        HRESULT failure;                     // S_OK: the sandboxed folders
    };
    const Case cases[] = {
        {"every folder", [](Data&) {}, S_OK},
        {"no ApplicationData class", nullptr, REGDB_E_CLASSNOTREG},
        {"Current fails", [&](Data& s) { s.failure = kNoPackage; }, kNoPackage},
        {"LocalCacheFolder fails", [](Data& s) { s.current->localCacheFailure = E_FAIL; }, E_FAIL},
        {"no publisher cache (before Windows 10)",
         [](Data& s) { s.current->hasPublisherCache = false; }, E_NOINTERFACE},
        {"GetPublisherCacheFolder fails",
         [](Data& s) { s.current->publisherCacheFailure = E_ACCESSDENIED; }, E_ACCESSDENIED},
        {"TemporaryFolder fails", [](Data& s) { s.current->temporaryFailure = E_OUTOFMEMORY; },
         E_OUTOFMEMORY},
        {"a folder without a path",
         [](Data& s) { s.current->temporary->pathFailure = E_UNEXPECTED; }, E_UNEXPECTED},
        {"a folder that is no storage item",
         [](Data& s) { s.current->localCache->isStorageItem = false; }, E_NOINTERFACE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeActivation activation;
        const ComPtr<Data> statics = Make<Data>();
        if (c.arrange) {
            c.arrange(*statics.Get());
            activation.Register(winrt::abi::kApplicationDataClass, statics);
        }
        const auto package = platform::MakeWin32Package(activation.Source());

        std::string message;
        try {
            platform::Ref<platform::ApplicationData> data = package->CurrentApplicationData();
            data->LocalCacheFolder()->Path();
            data->GetPublisherCacheFolder(u"Corvanta")->Path();
            data->TemporaryFolder()->Path();
            EXPECT_EQ(c.failure, S_OK) << "no error";
        } catch (const platform::PlatformError& error) {
            EXPECT_EQ(error.Code(), c.failure);
            message = error.MessageUtf8();
        }

        sample::HostRecorder host;
        const detail::PathTable table =
            detail::ComputePathTable(Corvanta::Product::Vector, kStoreBuild, true, *package);
        if (c.failure != S_OK) {
            EXPECT_EQ(host.LogLines(), std::vector<std::string>{FailureLine(c.failure, message)});
            EXPECT_EQ(table, detail::ComputeUnpackagedPathTable(Corvanta::Product::Vector,
                                                                kStoreBuild, *package));
            continue;
        }
        EXPECT_TRUE(host.LogLines().empty());
        EXPECT_EQ(statics->current->publisherFolderAskedFor, u"Corvanta");
        EXPECT_EQ(S(table.appDataForCurrentUser), "C:\\Pkg\\LocalCache");
        EXPECT_EQ(S(table.commonForCurrentUser),
                  "C:\\Pkg\\Publisher\\Corvanta\\Common\\3.0 (Store)");
        EXPECT_EQ(S(table.tempForCurrentUser), "C:\\Pkg\\Temp");
        // The persisted and all-users folders stay outside the package, on the known folders.
        const detail::PathTable unpackaged =
            detail::ComputeUnpackagedPathTable(Corvanta::Product::Vector, kStoreBuild, *package);
        EXPECT_EQ(table.appDataForAllUsers, unpackaged.appDataForAllUsers);
        EXPECT_NE(S(table.commonForCurrentUserPersisted).find("\\.corvanta\\Common\\3.0"),
                  std::string::npos);
    }
}

}  // namespace
}  // namespace Quarn::WinRT::testing
