#include "package/path_table.h"

#include <array>
#include <exception>
#include <string>

#include "bindings/kernel/format.h"
#include "bindings/kernel/log.h"
#include "bindings/platform/error.h"
#include "package/version_names.h"

namespace Quarn::WinRT::detail {

namespace {

constexpr std::string_view kMaker = "Corvanta";
constexpr std::string_view kProfileFolder = ".corvanta";
constexpr std::string_view kCommon = "Common";
constexpr std::string_view kV2Version = "2.0";
constexpr DWORD kMaxPath = 260;

Kernel::String8 ToUtf8(const std::u16string& text) {
    return Kernel::ConvertEnc<Kernel::TEncUtf8>(text.c_str(),
                                                static_cast<std::ptrdiff_t>(text.size()));
}

Kernel::String8 FolderPath(const platform::Ref<platform::StorageFolder>& folder) {
    return folder ? ToUtf8(folder->Path()) : Kernel::String8();
}

}  // namespace

Kernel::String8 JoinPath(std::initializer_list<std::string_view> pieces) {
    Kernel::String8 path;
    for (std::string_view piece : pieces) {
        Kernel::PathTraitsDos::Append(
            path, piece.empty() ? Kernel::PathTraitsDos::DefaultSeparatorString : piece);
    }
    return path;
}

bool ProbeSandboxed(platform::PackageEnvironment& environment) {
    std::uint32_t length = 0;
    return environment.GetCurrentPackageFullName(&length, nullptr) ==
           platform::kErrorInsufficientBuffer;
}

Kernel::String8 KnownFolderPath(platform::PackageEnvironment& environment,
                                platform::KnownFolder folder) {
    std::u16string path;
    if (FAILED(environment.GetKnownFolderPath(folder, 0, nullptr, path))) {
        return {};
    }
    return ToUtf8(path);
}

Kernel::String8 TempPath(platform::PackageEnvironment& environment) {
    std::array<char16_t, kMaxPath> buffer{};
    const DWORD length = environment.GetTempPathW(kMaxPath, buffer.data());
    // 0 is a failure; a length past the buffer is the size it would have needed.
    if (length == 0 || length >= kMaxPath) {
        return {};
    }
    return Kernel::ConvertEnc<Kernel::TEncUtf8>(buffer.data(), static_cast<std::ptrdiff_t>(length));
}

PathTable ComputeUnpackagedPathTable(Corvanta::Product product,
                                     Corvanta::CloudServices::BuildKind buildKind,
                                     platform::PackageEnvironment& environment) {
    const Kernel::String8 roaming =
        KnownFolderPath(environment, platform::KnownFolder::RoamingAppData);
    const Kernel::String8 programData =
        KnownFolderPath(environment, platform::KnownFolder::ProgramData);
    const Kernel::String8 temp = TempPath(environment);
    const Kernel::String8 name = Corvanta::GetProductShortName(product);
    const Kernel::String8 version = VersionFolderName(buildKind);
    const Kernel::String8 persisted = PersistedVersionFolderName(buildKind);

    PathTable table;
    table.appDataForCurrentUser = JoinPath({roaming, kMaker, name, version});
    table.appDataForCurrentUserPersisted = JoinPath({roaming, kMaker, name, persisted});
    table.appDataForAllUsers = JoinPath({programData, kMaker, name, version});
    table.commonForCurrentUser = JoinPath({roaming, kMaker, kCommon, version});
    table.commonForCurrentUserPersisted = JoinPath({roaming, kMaker, kCommon, persisted});
    table.commonForCurrentUserPersistedBuildInvariant =
        JoinPath({roaming, kMaker, kCommon, kVersion});
    table.commonForAllUsers = JoinPath({programData, kMaker, kCommon, version});
    table.tempForCurrentUser = JoinPath({temp, kMaker, name, version});
    return table;
}

PathTable ComputeSandboxedPathTable(Corvanta::Product product,
                                    Corvanta::CloudServices::BuildKind buildKind,
                                    platform::PackageEnvironment& environment) {
    const platform::Ref<platform::ApplicationData> data = environment.CurrentApplicationData();
    if (!data) {
        throw platform::PlatformError(E_POINTER, "No application data.");
    }
    const Kernel::String8 localCache = FolderPath(data->LocalCacheFolder());
    const Kernel::String8 publisherCache = FolderPath(data->GetPublisherCacheFolder(u"Corvanta"));
    const Kernel::String8 temporary = FolderPath(data->TemporaryFolder());

    // Outside the package's folders: the persisted data must outlive the package, and the
    // data for all users is no package's to keep.
    const Kernel::String8 profile = KnownFolderPath(environment, platform::KnownFolder::Profile);
    const Kernel::String8 programData =
        KnownFolderPath(environment, platform::KnownFolder::ProgramData);
    const Kernel::String8 name = Corvanta::GetProductShortName(product);
    const Kernel::String8 version = VersionFolderName(buildKind);
    const Kernel::String8 persisted = PersistedVersionFolderName(buildKind);

    PathTable table;
    table.appDataForCurrentUser = JoinPath({localCache});
    table.appDataForCurrentUserPersisted = JoinPath({profile, kProfileFolder, name, persisted});
    table.appDataForAllUsers = JoinPath({programData, kMaker, name, version});
    table.commonForCurrentUser = JoinPath({publisherCache, kCommon, version});
    table.commonForCurrentUserPersisted = JoinPath({profile, kProfileFolder, kCommon, persisted});
    table.commonForCurrentUserPersistedBuildInvariant =
        JoinPath({profile, kProfileFolder, kCommon, kVersion});
    table.commonForAllUsers = JoinPath({programData, kMaker, kCommon, version});
    table.tempForCurrentUser = JoinPath({temporary});
    return table;
}

PathTable ComputePathTable(Corvanta::Product product, Corvanta::CloudServices::BuildKind buildKind,
                           bool sandboxed, platform::PackageEnvironment& environment) {
    if (sandboxed) {
        try {
            return ComputeSandboxedPathTable(product, buildKind, environment);
        } catch (const platform::PlatformError& error) {
            Kernel::Log().WriteLine(Kernel::Format8(
                "Error (0x%1): Failed to retrieve sandboxed paths! %2\n",
                Kernel::ToStringBase<Kernel::TEncUtf8>(static_cast<std::uint32_t>(error.Code()), 16,
                                                       8, Kernel::kPadZeros),
                error.MessageUtf8()));
        } catch (...) {
            Kernel::Log().WriteLine("Error (unknown): Failed to retrieve sandboxed paths!\n");
        }
    }
    return ComputeUnpackagedPathTable(product, buildKind, environment);
}

Kernel::PathDos ComputeV2HomeDir(bool inProfile, platform::PackageEnvironment& environment) {
    const Kernel::String8 root =
        KnownFolderPath(environment, inProfile ? platform::KnownFolder::Profile
                                               : platform::KnownFolder::RoamingAppData);
    return Kernel::PathDos(
        JoinPath({root, inProfile ? kProfileFolder : kMaker, kCommon, kV2Version}));
}

}  // namespace Quarn::WinRT::detail
