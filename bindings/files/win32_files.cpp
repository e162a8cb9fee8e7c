// File existence through PathFileExistsW; icon streams through the Windows Runtime: the file
// from StorageFile.GetFileFromPathAsync, waited for on the calling thread, then a
// RandomAccessStreamReference made from it.
#include "bindings/files/win32_files.h"

#include "bindings/platform/win_backends.h"
// <windows.h> (through win_types.h) first: shlwapi.h builds on it.
#include <shlwapi.h>

#include <string>

#include "bindings/platform/error.h"
#include "bindings/winrt/blocking_suspend.h"
#include "bindings/winrt/winrt_icon_stream.h"

namespace Quarn::WinRT::platform {

namespace {

using Microsoft::WRL::ComPtr;
namespace abi = winrt::abi;

class Win32FilesBackend final : public FileSystem {
public:
    explicit Win32FilesBackend(winrt::ActivationSource activation)
        : m_activation(std::move(activation)) {}

    bool PathFileExistsW(std::u16string_view path) override {
        // Null-terminated for the call; an embedded null would name a different path.
        if (path.find(u'\0') != std::u16string_view::npos) {
            return false;
        }
        const std::wstring terminated(path.begin(), path.end());
        return ::PathFileExistsW(terminated.c_str()) != FALSE;
    }

    Ref<IconStream> LoadIconStream(std::u16string_view path) override {
        // The factories are asked for on every load: a menu is built rarely, and a class that
        // becomes available (or goes) is seen at the next build.
        const auto files =
            winrt::FactoryFrom<abi::IStorageFileStatics>(m_activation, abi::kStorageFileClass);
        const winrt::HString pathString(path);
        ComPtr<abi::StorageFileOperation> opening;
        winrt::ThrowIfFailed(files->GetFileFromPathAsync(pathString.Get(), &opening));
        // Blocks the host thread until the platform has opened the file.
        const ComPtr<abi::IStorageFile> file = winrt::blocking_suspend(opening.Get());
        if (!file) {
            throw PlatformError(E_POINTER, "StorageFile.GetFileFromPathAsync gave no file.");
        }

        const auto references = winrt::FactoryFrom<abi::IRandomAccessStreamReferenceStatics>(
            m_activation, abi::kRandomAccessStreamReferenceClass);
        ComPtr<abi::IRandomAccessStreamReference> reference;
        winrt::ThrowIfFailed(references->CreateFromFile(file.Get(), &reference));
        if (!reference) {
            throw PlatformError(E_POINTER, "RandomAccessStreamReference.CreateFromFile gave none.");
        }
        return MakeRef<winrt::WinRtIconStream>(ComPtr<IUnknown>(reference.Get()),
                                               std::u16string(path));
    }

private:
    const winrt::ActivationSource m_activation;
};

}  // namespace

std::unique_ptr<FileSystem> MakeWin32Files(winrt::ActivationSource activation) {
    return std::make_unique<Win32FilesBackend>(std::move(activation));
}

FileSystem& Win32Files() {
    static const std::unique_ptr<FileSystem> files = MakeWin32Files(winrt::SystemActivation());
    return *files;
}

}  // namespace Quarn::WinRT::platform
