// Menu icons through the Windows Runtime's storage classes: the file opened with
// StorageFile.GetFileFromPathAsync, waited for, and made a RandomAccessStreamReference. Wine
// has neither class, so the real run shows the failure; factories of our own show the rest (the
// wait itself is the blocking suspend test's).
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "bindings/files/win32_files.h"
#include "bindings/platform/win_backends.h"
#include "bindings/winrt/winrt_icon_stream.h"
#include "tests/windows/fake_winrt.h"
#include "tests/windows/win32_host.h"

namespace Quarn::WinRT::testing {
namespace {

constexpr char16_t kPath[] = u"C:\\Resources\\Dial\\size.png";  // never opened: the fakes take it

// The stream reference inside an icon stream of the Windows build, as the wheel backend takes
// it out; null for any other icon stream.
IUnknown* ReferenceOf(const platform::IconStream& icon) {
    const auto* ours = dynamic_cast<const winrt::WinRtIconStream*>(&icon);
    return ours ? ours->StreamReference().Get() : nullptr;
}

// Storage factories of our own, registered under the system's class names; an operation that
// each case finishes as it likes.
struct FakeStorage {
    FakeStorage() {
        files->operation = operation;
        activation.Register(abi::kStorageFileClass, files);
        activation.Register(abi::kRandomAccessStreamReferenceClass, references);
    }
    ComPtr<FakeFileOperation> operation = Make<FakeFileOperation>();
    ComPtr<FakeStorageFile> file = Make<FakeStorageFile>();
    ComPtr<FakeStorageFileStatics> files = Make<FakeStorageFileStatics>();
    ComPtr<FakeStreamReferenceStatics> references = Make<FakeStreamReferenceStatics>();
    FakeActivation activation;
};

TEST(IconStreamTest, LoadsThroughTheStorageClassesOrRaisesTheirError) {
    const std::u16string path = kPath;
    struct Case {
        const char* name;
        std::function<void(FakeStorage&)> arrange;
        HRESULT raised;  // S_OK: an icon stream comes back
    };
    const Case cases[] = {
        {"completed at once", [](FakeStorage& s) { s.operation->Complete(s.file.Get()); }, S_OK},
        {"no StorageFile class",
         [](FakeStorage& s) { s.activation.Register(abi::kStorageFileClass, nullptr); },
         REGDB_E_CLASSNOTREG},
        {"no RandomAccessStreamReference class",
         [](FakeStorage& s) {
             s.operation->Complete(s.file.Get());
             s.activation.Register(abi::kRandomAccessStreamReferenceClass, nullptr);
         },
         REGDB_E_CLASSNOTREG},
        {"GetFileFromPathAsync refuses", [](FakeStorage& s) { s.files->failure = E_INVALIDARG; },
         E_INVALIDARG},
        {"CreateFromFile refuses",
         [](FakeStorage& s) {
             s.operation->Complete(s.file.Get());
             s.references->failure = E_ACCESSDENIED;
         },
         E_ACCESSDENIED},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeStorage storage;
        c.arrange(storage);
        const auto files = platform::MakeWin32Files(storage.activation.Source());
        HRESULT raised = S_OK;
        platform::Ref<platform::IconStream> icon;
        try {
            icon = files->LoadIconStream(path);
        } catch (const platform::PlatformError& error) {
            raised = error.Code();
        }
        EXPECT_EQ(raised, c.raised);
        if (c.raised != S_OK) {
            EXPECT_FALSE(icon);
            continue;
        }
        ASSERT_TRUE(icon);
        EXPECT_EQ(storage.files->lastPath, path);
        EXPECT_EQ(icon->Source(), path);
        EXPECT_EQ(storage.references->lastFile, storage.file.Get());
        EXPECT_EQ(ReferenceOf(*icon), storage.references->lastReference.Get())
            << "the wheel backend reaches the reference the icon was made of";
    }
}

// Wine has no StorageFile class: the real backend raises the platform's error, which the dial
// turns into its log line and the stock icon (the simulated tests' fault sweep).
TEST(IconStreamTest, OnWineTheRealBackendRaisesClassNotRegistered) {
    HRESULT raised = S_OK;
    try {
        platform::Win32Files().LoadIconStream(kPath);
    } catch (const platform::PlatformError& error) {
        raised = error.Code();
    }
    EXPECT_EQ(raised, REGDB_E_CLASSNOTREG);
}

}  // namespace
}  // namespace Quarn::WinRT::testing
