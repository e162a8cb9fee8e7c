// File existence through PathFileExistsW. Icon streams need Windows.Storage.StorageFile and
// RandomAccessStreamReference, which come with the Windows Runtime backend.
#include "bindings/platform/win_backends.h"
// <windows.h> (through win_types.h) first: shlwapi.h builds on it.
#include <shlwapi.h>

#include <string>

#include "bindings/platform/error.h"

namespace Quarn::WinRT::platform {

namespace {

class Win32FilesBackend final : public FileSystem {
public:
    bool PathFileExistsW(std::u16string_view path) override {
        // Null-terminated for the call; an embedded null would name a different path.
        if (path.find(u'\0') != std::u16string_view::npos) {
            return false;
        }
        const std::wstring terminated(path.begin(), path.end());
        return ::PathFileExistsW(terminated.c_str()) != FALSE;
    }

    Ref<IconStream> LoadIconStream(std::u16string_view /*path*/) override {
        throw PlatformError(E_NOTIMPL, "Icon streams need the Windows Runtime storage classes.");
    }
};

}  // namespace

FileSystem& Win32Files() {
    static Win32FilesBackend files;
    return files;
}

}  // namespace Quarn::WinRT::platform
