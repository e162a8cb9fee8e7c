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

// QueryInterface for an interface of ours (no __uuidof); raises the failure.
template <class I>
ComPtr<I> Query(IUnknown* object) {
    ComPtr<I> result;
    winrt::ThrowIfFailed(
        object->QueryInterface(abi::kIid<I>, reinterpret_cast<void**>(result.GetAddressOf())));
    return result;
}

// The folder itself, or E_POINTER raised for a call that succeeded without one.
ComPtr<abi::IStorageFolder> Folder(HRESULT result, ComPtr<abi::IStorageFolder> folder) {
    winrt::ThrowIfFailed(result);
    if (!folder) {
        throw PlatformError(E_POINTER, "The platform gave no folder.");
    }
    return folder;
}

// A folder's path is read when asked for: IStorageItem.Path of the folder.
class Win32StorageFolder final : public StorageFolder {
public:
    explicit Win32StorageFolder(ComPtr<abi::IStorageFolder> folder) : m_folder(std::move(folder)) {}

    std::u16string Path() const override {
        const ComPtr<abi::IStorageItem> item = Query<abi::IStorageItem>(m_folder.Get());
        winrt::HString path;
        winrt::ThrowIfFailed(item->get_Path(path.Put()));
        return std::u16string(path.View());
    }

private:
    const ComPtr<abi::IStorageFolder> m_folder;
};

class Win32ApplicationData final : public ApplicationData {
public:
    explicit Win32ApplicationData(ComPtr<abi::IApplicationData> data) : m_data(std::move(data)) {}

    Ref<StorageFolder> LocalCacheFolder() override {
        const auto data2 = Query<abi::IApplicationData2>(m_data.Get());
        ComPtr<abi::IStorageFolder> folder;
        const HRESULT result = data2->get_LocalCacheFolder(&folder);
        return MakeRef<Win32StorageFolder>(Folder(result, std::move(folder)));
    }

    Ref<StorageFolder> GetPublisherCacheFolder(std::u16string_view folderName) override {
        const auto data3 = Query<abi::IApplicationData3>(m_data.Get());
        const winrt::HString name(folderName);
        ComPtr<abi::IStorageFolder> folder;
        const HRESULT result = data3->GetPublisherCacheFolder(name.Get(), &folder);
        return MakeRef<Win32StorageFolder>(Folder(result, std::move(folder)));
    }

    Ref<StorageFolder> TemporaryFolder() override {
        ComPtr<abi::IStorageFolder> folder;
        const HRESULT result = m_data->get_TemporaryFolder(&folder);
        return MakeRef<Win32StorageFolder>(Folder(result, std::move(folder)));
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
        const auto statics = winrt::FactoryFrom<abi::IApplicationDataStatics>(
            m_activation, abi::kApplicationDataClass);
        ComPtr<abi::IApplicationData> data;
        winrt::ThrowIfFailed(statics->get_Current(&data));
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
