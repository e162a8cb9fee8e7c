#pragma once
// The editor's package identity and the folders it keeps its data in, as Windows gives them:
// the Win32 calls return codes the Win32 way, the Windows Runtime's application data raises
// PlatformError.
//
// Thread rule: any thread. The core reads these while it computes its path table, once per
// process, and for the version-2 home folders on every request.

#include <cstdint>
#include <string>
#include <string_view>

#include "bindings/platform/ref.h"
#include "bindings/platform/win_types.h"

namespace Quarn::WinRT::platform {

// Results of GetCurrentPackageFullName (Win32 error codes).
inline constexpr std::int32_t kErrorSuccess = 0;
inline constexpr std::int32_t kErrorInsufficientBuffer = 122;
inline constexpr std::int32_t kAppModelErrorNoPackage = 15700;

// The known folders the core asks for (KNOWNFOLDERID).
enum class KnownFolder : std::int32_t {
    RoamingAppData = 0,  // FOLDERID_RoamingAppData
    ProgramData = 1,     // FOLDERID_ProgramData
    Profile = 2,         // FOLDERID_Profile
};

// Windows.Storage.StorageFolder, as far as the core reads it.
class StorageFolder : public RefCounted {
public:
    virtual std::u16string Path() const = 0;
};

// Windows.Storage.ApplicationData of the current package. Every call may raise PlatformError.
class ApplicationData : public RefCounted {
public:
    virtual Ref<StorageFolder> LocalCacheFolder() = 0;
    // The folder shared by the publisher's packages that declare `folderName`.
    virtual Ref<StorageFolder> GetPublisherCacheFolder(std::u16string_view folderName) = 0;
    virtual Ref<StorageFolder> TemporaryFolder() = 0;
};

class PackageEnvironment {
public:
    virtual ~PackageEnvironment() = default;

    // As GetCurrentPackageFullName: kErrorSuccess with the name in `buffer`, or
    // kErrorInsufficientBuffer with the length needed (terminator included) in `length`, or
    // kAppModelErrorNoPackage for a process without package identity. `buffer` may be null
    // when `length` is 0.
    virtual std::int32_t GetCurrentPackageFullName(std::uint32_t* length, char16_t* buffer) = 0;

    // As SHGetKnownFolderPath: S_OK with the folder's path, or a failing HRESULT (the folder
    // does not exist, or cannot be retrieved) with `path` left empty. `token` stands for the
    // access token of another user; the core passes none.
    virtual HRESULT GetKnownFolderPath(KnownFolder folder, DWORD flags, void* token,
                                       std::u16string& path) = 0;

    // As GetTempPathW: the length written (terminator excluded, the path ends in a
    // backslash); the length needed (terminator included) when `bufferLength` is too short;
    // 0 on failure.
    virtual DWORD GetTempPathW(DWORD bufferLength, char16_t* buffer) = 0;

    // Windows.Storage.ApplicationData.Current; raises PlatformError for a process without
    // package identity.
    virtual Ref<ApplicationData> CurrentApplicationData() = 0;
};

}  // namespace Quarn::WinRT::platform
