// Menu icons through the Windows Runtime's storage classes: the file opened with
// StorageFile.GetFileFromPathAsync, waited for, and made a RandomAccessStreamReference. Wine
// has neither class, so the real run shows the failure path (the dial's log line, then the
// stock icon); factories of our own show the rest (the wait itself is the blocking suspend
// test's).
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "bindings/files/win32_files.h"
#include "bindings/platform/services.h"
#include "bindings/platform/win_backends.h"
#include "bindings/sample_host/recorder.h"
#include "bindings/sim/fault.h"
#include "bindings/vorta/attributes.h"
#include "bindings/vorta/document.h"
#include "bindings/vorta/tool.h"
#include "bindings/wheel/sim_wheel.h"
#include "bindings/winrt/winrt_icon_stream.h"
#include "dial/dial.h"
#include "tests/windows/fake_winrt.h"
#include "tests/windows/win32_host.h"

namespace Quarn::WinRT::testing {
namespace {

using detail::Dial;
using Kernel::Counted;
using Kernel::MakeCounted;

constexpr HRESULT kFileNotFound = static_cast<HRESULT>(0x80070002);
constexpr const char* kIconLoadFailed = "Dial error: Failed to create load menu item icon.";

// A resources folder in the temporary folder with one icon, Dial\size.png.
class ResourcesFolder {
public:
    ResourcesFolder() {
        wchar_t temp[MAX_PATH + 1] = {};
        GetTempPathW(MAX_PATH + 1, temp);
        m_root = std::wstring(temp) + L"quarn-icon-test";
        CreateDirectoryW(m_root.c_str(), nullptr);
        CreateDirectoryW((m_root + L"\\Dial").c_str(), nullptr);
        CloseHandle(CreateFileW(IconPath().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    }
    ~ResourcesFolder() {
        DeleteFileW(IconPath().c_str());
        RemoveDirectoryW((m_root + L"\\Dial").c_str());
        RemoveDirectoryW(m_root.c_str());
    }
    std::wstring IconPath() const { return m_root + L"\\Dial\\size.png"; }
    Kernel::String8 Root() const {
        return Kernel::ConvertEnc<Kernel::TEncUtf8>(
            reinterpret_cast<const char16_t*>(m_root.c_str()));
    }

private:
    std::wstring m_root;
};

std::u16string U16(const std::wstring& text) {
    return std::u16string(text.begin(), text.end());
}

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
    const ResourcesFolder resources;
    const std::u16string path = U16(resources.IconPath());
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
        {"the file cannot be opened", [](FakeStorage& s) { s.operation->Fail(kFileNotFound); },
         kFileNotFound},
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

// The dial's menu on the simulated wheel device, its icon loaded by the Windows files backend
// on Wine, which has no StorageFile class: one log line, and the entry gets the stock icon.
TEST(MenuIconTest, OnWineTheLoadFailsOnceAndTheEntryGetsTheStockIcon) {
    const ResourcesFolder resources;
    sim::FaultInjector faults;
    sim::SimWheel wheel{faults};
    platform::ServiceSet services = platform::DefaultServices();
    services.wheel = &wheel;
    const platform::ScopedServices installed{services};
    ASSERT_EQ(services.files, &platform::Win32Files());
    sample::HostRecorder host;
    const HostWindow window{RECT{100, 50, 900, 650}};
    NoViewCallbacks callbacks;
    const auto document = MakeCounted<DocumentController>();
    auto tool = MakeCounted<Tool>(7, "Brush", document);
    auto size = MakeCounted<Kernel::ReflectedRangeT<double>>(Kernel::FourCC("size"), "Size", 50.0,
                                                             0.0, 100.0);
    size->AppendAttribute(MakeCounted<ImageAttribute>(Kernel::String8("size")));
    tool->AddDialReflected(size);
    document->AddTool(tool);
    const Counted<Dial> dial = Dial::Create(window.Handle(), &callbacks);
    dial->SetResourcesDirectory(resources.Root());
    dial->SetCurrentWindow(window.Handle());
    wheel.SetForegroundWindow(window.Handle());
    dial->Update(tool, false);

    sim::SimController* controller = wheel.ActiveController();
    ASSERT_NE(controller, nullptr);
    const auto& entries = controller->GetSimMenu().Entries();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_FALSE(entries[0]->Icon());
    EXPECT_EQ(entries[0]->GetKnownIcon(), platform::KnownIcon::PenType);
    EXPECT_EQ(host.LogLines(), std::vector<std::string>{kIconLoadFailed});
    EXPECT_EQ(host.Traces(), std::vector<std::string>{"Missing dial icon for Size!\n"});
}

}  // namespace
}  // namespace Quarn::WinRT::testing
