// Menu icons through the Windows Runtime's storage classes: the file opened with
// StorageFile.GetFileFromPathAsync, waited for, and made a RandomAccessStreamReference. Wine
// has neither class, so the real run shows the failure path (the dial's log line, then the
// stock icon); factories of our own show the rest, down to an operation that completes on
// another thread or fails there.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <thread>
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
        HANDLE file = CreateFileW(IconPath().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        const unsigned char png[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
        DWORD written = 0;
        WriteFile(file, png, sizeof png, &written, nullptr);
        CloseHandle(file);
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
    ComPtr<FakeFileOperation> operation = MakeFake<FakeFileOperation>();
    ComPtr<FakeStorageFile> file = MakeFake<FakeStorageFile>();
    ComPtr<FakeStorageFileStatics> files = MakeFake<FakeStorageFileStatics>();
    ComPtr<FakeStreamReferenceStatics> references = MakeFake<FakeStreamReferenceStatics>();
    FakeActivation activation;
};

// Finishes the operation on another thread 50 ms from now; joined by the destructor.
class LaterOnAnotherThread {
public:
    explicit LaterOnAnotherThread(std::function<void()> finish)
        : m_thread([finish = std::move(finish)] {
              std::this_thread::sleep_for(std::chrono::milliseconds(50));
              finish();
          }) {}
    ~LaterOnAnotherThread() { m_thread.join(); }

private:
    std::thread m_thread;
};

TEST(IconStreamTest, LoadsThroughTheStorageClassesOrRaisesTheirError) {
    const ResourcesFolder resources;
    const std::u16string path = U16(resources.IconPath());
    struct Case {
        const char* name;
        std::function<void(FakeStorage&)> arrange;
        bool finishLater;  // the operation completes on another thread during the wait
        HRESULT raised;    // S_OK: an icon stream comes back
    };
    const Case cases[] = {
        {"completed at once", [](FakeStorage& s) { s.operation->Complete(s.file.Get()); }, false,
         S_OK},
        {"completed later", nullptr, true, S_OK},
        {"no StorageFile class",
         [](FakeStorage& s) { s.activation.Register(abi::kStorageFileClass, nullptr); }, false,
         REGDB_E_CLASSNOTREG},
        {"no RandomAccessStreamReference class",
         [](FakeStorage& s) {
             s.operation->Complete(s.file.Get());
             s.activation.Register(abi::kRandomAccessStreamReferenceClass, nullptr);
         },
         false, REGDB_E_CLASSNOTREG},
        {"GetFileFromPathAsync refuses", [](FakeStorage& s) { s.files->failure = E_INVALIDARG; },
         false, E_INVALIDARG},
        {"the file cannot be opened", [](FakeStorage& s) { s.operation->Fail(kFileNotFound); },
         false, kFileNotFound},
        {"CreateFromFile refuses",
         [](FakeStorage& s) {
             s.operation->Complete(s.file.Get());
             s.references->failure = E_ACCESSDENIED;
         },
         false, E_ACCESSDENIED},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeStorage storage;
        if (c.arrange) {
            c.arrange(storage);
        }
        const auto files = platform::MakeWin32Files(storage.activation.Source());
        HRESULT raised = S_OK;
        platform::Ref<platform::IconStream> icon;
        try {
            std::optional<LaterOnAnotherThread> later;
            if (c.finishLater) {
                later.emplace([&] { storage.operation->Complete(storage.file.Get()); });
            }
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

TEST(IconStreamTest, WineHasNoStorageFileClass) {
    const ResourcesFolder resources;
    try {
        platform::Win32Files().LoadIconStream(U16(resources.IconPath()));
        FAIL() << "Wine gained Windows.Storage.StorageFile: the success path can run for real";
    } catch (const platform::PlatformError& error) {
        EXPECT_EQ(error.Code(), REGDB_E_CLASSNOTREG);
        EXPECT_FALSE(error.Message().empty()) << "the platform's text for the code";
    }
}

class NoViewCallbacks final : public IDialCallbacks {
public:
    bool ComputeDialCentres(const Kernel::PointT<double>&, Kernel::PointT<double>&,
                            Kernel::PointT<double>&) override {
        return false;
    }
};

// The dial's menu on the simulated wheel device, its icons loaded by the Windows files backend.
TEST(MenuIconTest, AFailingLoadLogsOnceAndTheEntryGetsTheStockIcon) {
    struct Case {
        const char* name;
        bool systemClasses;  // Wine's own (missing) classes, or ours
        std::function<void(FakeStorage&)> arrange;
        bool failLater;  // ours: the operation fails on another thread during the wait
        bool iconExpected;
    };
    const Case cases[] = {
        {"Wine: no StorageFile class", true, nullptr, false, false},
        {"the operation fails later", false, nullptr, true, false},
        {"the operation completes", false,
         [](FakeStorage& s) { s.operation->Complete(s.file.Get()); }, false, true},
    };
    const ResourcesFolder resources;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeStorage storage;
        if (c.arrange) {
            c.arrange(storage);
        }
        const auto fakeFiles = platform::MakeWin32Files(storage.activation.Source());
        sim::FaultInjector faults;
        sim::SimWheel wheel{faults};
        platform::ServiceSet services = platform::DefaultServices();
        services.wheel = &wheel;
        services.files = c.systemClasses ? &platform::Win32Files() : fakeFiles.get();
        const platform::ScopedServices installed{services};
        sample::HostRecorder host;
        HostWindow window{RECT{100, 50, 900, 650}};
        NoViewCallbacks callbacks;
        auto document = MakeCounted<DocumentController>();
        auto tool = MakeCounted<Tool>(7, "Brush", document);
        auto size = MakeCounted<Kernel::ReflectedRangeT<double>>(Kernel::FourCC("size"), "Size",
                                                                 50.0, 0.0, 100.0);
        size->AppendAttribute(MakeCounted<ImageAttribute>(Kernel::String8("size")));
        tool->AddDialReflected(size);
        document->AddTool(tool);
        {
            Counted<Dial> dial = Dial::Create(window.Handle(), &callbacks);
            dial->SetResourcesDirectory(resources.Root());
            dial->SetCurrentWindow(window.Handle());
            wheel.SetForegroundWindow(window.Handle());
            {
                std::optional<LaterOnAnotherThread> later;
                if (c.failLater) {
                    later.emplace([&] { storage.operation->Fail(kFileNotFound); });
                }
                dial->Update(tool, false);
            }
            sim::SimController* controller = wheel.ActiveController();
            ASSERT_NE(controller, nullptr);
            const auto& entries = controller->GetSimMenu().Entries();
            ASSERT_EQ(entries.size(), 1u);
            if (c.iconExpected) {
                ASSERT_TRUE(entries[0]->Icon());
                EXPECT_EQ(ReferenceOf(*entries[0]->Icon()),
                          storage.references->lastReference.Get());
                EXPECT_TRUE(host.LogLines().empty());
                EXPECT_TRUE(host.Traces().empty());
            } else {
                EXPECT_FALSE(entries[0]->Icon());
                EXPECT_EQ(entries[0]->GetKnownIcon(), platform::KnownIcon::PenType);
                EXPECT_EQ(host.LogLines(), std::vector<std::string>{kIconLoadFailed});
                EXPECT_EQ(host.Traces(), std::vector<std::string>{"Missing dial icon for Size!\n"});
            }
        }
    }
}

}  // namespace
}  // namespace Quarn::WinRT::testing
