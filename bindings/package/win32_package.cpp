// Package identity and the known folders from Win32. GetCurrentPackageFullName exists from
// Windows 8 on and MinGW-w64 does not declare it: it is looked up in kernel32 at run time, and a
// system without it runs every process unpackaged.
#include "bindings/platform/win_backends.h"
// <windows.h> (through win_types.h) first: shlobj.h builds on it.
#include <shlobj.h>

#include <string>

#include "bindings/platform/error.h"

namespace Quarn::WinRT::platform {

namespace {

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
        throw PlatformError(E_NOTIMPL,
                            "Sandboxed folders need the Windows Runtime's ApplicationData.");
    }
};

}  // namespace

PackageEnvironment& Win32Package() {
    static Win32PackageBackend package;
    return package;
}

}  // namespace Quarn::WinRT::platform
