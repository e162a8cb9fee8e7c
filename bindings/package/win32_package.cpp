// Package identity and the known folders from Win32; a packaged process's own folders from the
// Windows Runtime's ApplicationData. GetCurrentPackageFullName exists from Windows 8 on and
// MinGW-w64 does not declare it: it is looked up in kernel32 at run time, and a system without
// it runs every process unpackaged.
#include "bindings/package/win32_package.h"

#include "bindings/platform/win_backends.h"
// <windows.h> (through win_types.h) first: shlobj.h builds on it.
#include <shlobj.h>

#include <string>

#include "bindings/platform/error.h"

namespace Quarn::WinRT::platform {

namespace {

using Microsoft::WRL::ComPtr;
namespace abi = winrt::abi;

// QueryInterface for an interface declared without __uuidof support.
template <class I>
HRESULT QueryInterfaceOf(IUnknown* object, const IID& iid, ComPtr<I>& result) {
    return object->QueryInterface(iid, reinterpret_cast<void**>(result.ReleaseAndGetAddressOf()));
}

void Check(HRESULT result, std::string_view what) {
    if (FAILED(result)) {
        throw PlatformError(result, winrt::FailureMessage(what, result));
    }
}

// A folder's path is read when asked for: IStorageItem.Path of the folder.
class Win32StorageFolder final : public StorageFolder {
public:
    explicit Win32StorageFolder(ComPtr<abi::IStorageFolder> folder) : m_folder(std::move(folder)) {}

    std::u16string Path() const override {
        ComPtr<abi::IStorageItem> item;
        Check(QueryInterfaceOf(m_folder.Get(), abi::kIidStorageItem, item),
              "The folder is no storage item.");
        HSTRING path = nullptr;
        Check(item->get_Path(&path), "IStorageItem.Path failed.");
        std::u16string text = winrt::ReadHString(path);
        winrt::DeleteHString(path);
        return text;
    }

private:
    const ComPtr<abi::IStorageFolder> m_folder;
};

Ref<StorageFolder> WrapFolder(ComPtr<abi::IStorageFolder> folder, std::string_view what) {
    if (!folder) {
        throw PlatformError(E_POINTER, std::string(what) + " gave no folder.");
    }
    return MakeRef<Win32StorageFolder>(std::move(folder));
}

class Win32ApplicationData final : public ApplicationData {
public:
    explicit Win32ApplicationData(ComPtr<abi::IApplicationData> data) : m_data(std::move(data)) {}

    Ref<StorageFolder> LocalCacheFolder() override {
        ComPtr<abi::IApplicationData2> data2;
        Check(QueryInterfaceOf(m_data.Get(), abi::kIidApplicationData2, data2),
              "ApplicationData has no LocalCacheFolder.");
        ComPtr<abi::IStorageFolder> folder;
        Check(data2->get_LocalCacheFolder(&folder), "ApplicationData.LocalCacheFolder failed.");
        return WrapFolder(std::move(folder), "ApplicationData.LocalCacheFolder");
    }

    Ref<StorageFolder> GetPublisherCacheFolder(std::u16string_view folderName) override {
        ComPtr<abi::IApplicationData3> data3;
        Check(QueryInterfaceOf(m_data.Get(), abi::kIidApplicationData3, data3),
              "ApplicationData has no GetPublisherCacheFolder.");
        const winrt::HString name(folderName);
        ComPtr<abi::IStorageFolder> folder;
        Check(data3->GetPublisherCacheFolder(name.Get(), &folder),
              "ApplicationData.GetPublisherCacheFolder failed.");
        return WrapFolder(std::move(folder), "ApplicationData.GetPublisherCacheFolder");
    }

    Ref<StorageFolder> TemporaryFolder() override {
        ComPtr<abi::IStorageFolder> folder;
        Check(m_data->get_TemporaryFolder(&folder), "ApplicationData.TemporaryFolder failed.");
        return WrapFolder(std::move(folder), "ApplicationData.TemporaryFolder");
    }

private:
    const ComPtr<abi::IApplicationData> m_data;
};

using GetCurrentPackageFullNameProc = LONG(WINAPI*)(UINT32* length, PWSTR name);

GetCurrentPackageFullNameProc LookUpGetCurrentPackageFullName() {
    HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
    if (!kernel) {
        return nullptr;
    }
    // FARPROC to the real signature: the only way to call an export found at run time.
    return reinterpret_cast<GetCurrentPackageFullNameProc>(
        reinterpret_cast<void*>(::GetProcAddress(kernel, "GetCurrentPackageFullName")));
}

const KNOWNFOLDERID& FolderId(KnownFolder folder) {
    switch (folder) {
        case KnownFolder::ProgramData:
            return FOLDERID_ProgramData;
        case KnownFolder::Profile:
            return FOLDERID_Profile;
        case KnownFolder::RoamingAppData:
            break;
    }
    return FOLDERID_RoamingAppData;
}

class Win32PackageBackend final : public PackageEnvironment {
public:
    explicit Win32PackageBackend(winrt::ActivationSource activation)
        : m_activation(std::move(activation)) {}

    std::int32_t GetCurrentPackageFullName(std::uint32_t* length, char16_t* buffer) override {
        static const GetCurrentPackageFullNameProc proc = LookUpGetCurrentPackageFullName();
        if (!proc) {
            return kAppModelErrorNoPackage;
        }
        UINT32 size = length ? *length : 0;
        const LONG result = proc(&size, reinterpret_cast<PWSTR>(buffer));
        if (length) {
            *length = size;
        }
        return result;
    }

    HRESULT GetKnownFolderPath(KnownFolder folder, DWORD flags, void* token,
                               std::u16string& path) override {
        path.clear();
        PWSTR found = nullptr;
        const HRESULT result =
            ::SHGetKnownFolderPath(FolderId(folder), flags, static_cast<HANDLE>(token), &found);
        if (SUCCEEDED(result) && found) {
            for (const wchar_t* c = found; *c; ++c) {
                path.push_back(static_cast<char16_t>(*c));
            }
        }
        // The buffer is the caller's to free, on failure too.
        ::CoTaskMemFree(found);
        return result;
    }

    DWORD GetTempPathW(DWORD bufferLength, char16_t* buffer) override {
        return ::GetTempPathW(bufferLength, reinterpret_cast<LPWSTR>(buffer));
    }

    Ref<ApplicationData> CurrentApplicationData() override {
        const ComPtr<abi::IApplicationDataStatics> statics =
            winrt::GetActivationFactory<abi::IApplicationDataStatics>(
                m_activation, abi::kApplicationDataClass, abi::kIidApplicationDataStatics);
        ComPtr<abi::IApplicationData> data;
        Check(statics->get_Current(&data), "ApplicationData.Current failed.");
        if (!data) {
            throw PlatformError(E_POINTER, "ApplicationData.Current gave none.");
        }
        return MakeRef<Win32ApplicationData>(std::move(data));
    }

private:
    const winrt::ActivationSource m_activation;
};

}  // namespace

std::unique_ptr<PackageEnvironment> MakeWin32Package(winrt::ActivationSource activation) {
    return std::make_unique<Win32PackageBackend>(std::move(activation));
}

PackageEnvironment& Win32Package() {
    static const std::unique_ptr<PackageEnvironment> package =
        MakeWin32Package(winrt::SystemActivation());
    return *package;
}

}  // namespace Quarn::WinRT::platform
