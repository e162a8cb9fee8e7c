// A packaged process's folders from ApplicationData. Wine runs every process unpackaged and has
// no ApplicationData class: the real run shows the failure, and application data of our own
// shows the folders and each step's failure. What the core makes of them (the table, its
// fallback and log line) is the simulated package tests'.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "bindings/package/win32_package.h"
#include "bindings/platform/win_backends.h"
#include "tests/windows/fake_application_data.h"

namespace Quarn::WinRT::testing {
namespace {

TEST(SandboxedFoldersTest, WineHasNoApplicationData) {
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
}

TEST(SandboxedFoldersTest, FoldersFromApplicationDataOrTheFailingStepsCode) {
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

        try {
            platform::Ref<platform::ApplicationData> data = package->CurrentApplicationData();
            EXPECT_EQ(data->LocalCacheFolder()->Path(), u"C:\\Pkg\\LocalCache");
            EXPECT_EQ(data->GetPublisherCacheFolder(u"Corvanta")->Path(),
                      u"C:\\Pkg\\Publisher\\Corvanta");
            EXPECT_EQ(statics->current->publisherFolderAskedFor, u"Corvanta");
            EXPECT_EQ(data->TemporaryFolder()->Path(), u"C:\\Pkg\\Temp");
            EXPECT_EQ(c.failure, S_OK) << "no error";
        } catch (const platform::PlatformError& error) {
            EXPECT_EQ(error.Code(), c.failure);
        }
    }
}

}  // namespace
}  // namespace Quarn::WinRT::testing
