#pragma once
// The editor's data folders, worked out from the platform's folders for one product and build
// kind. Plain functions over a package environment: Package computes its table with them once
// per process; tests and the simulator call them for any product, kind and platform.

#include <initializer_list>
#include <string_view>

#include "bindings/corvanta/product.h"
#include "bindings/kernel/path.h"
#include "bindings/kernel/string.h"
#include "bindings/package/package.h"
#include "quarn/winrt/export.h"

namespace Quarn::WinRT::detail {

struct PathTable {
    Kernel::String8 appDataForCurrentUser;
    Kernel::String8 appDataForCurrentUserPersisted;
    Kernel::String8 appDataForAllUsers;
    Kernel::String8 commonForCurrentUser;
    Kernel::String8 commonForCurrentUserPersisted;
    Kernel::String8 commonForCurrentUserPersistedBuildInvariant;
    Kernel::String8 commonForAllUsers;
    Kernel::String8 tempForCurrentUser;

    friend bool operator==(const PathTable&, const PathTable&) = default;
};

// Joins the pieces with single backslashes. An empty piece (a folder the platform could not
// give) stands as a backslash, so the path stays rooted and never silently becomes relative.
QUARN_WINRT_API Kernel::String8 JoinPath(std::initializer_list<std::string_view> pieces);

// True when the process has package identity: asked for its package's full name with no
// buffer, the platform wants a longer one.
QUARN_WINRT_API bool ProbeSandboxed(platform::PackageEnvironment& environment);

// A known folder's path in UTF-8; empty when the platform cannot give it.
QUARN_WINRT_API Kernel::String8 KnownFolderPath(platform::PackageEnvironment& environment,
                                                platform::KnownFolder folder);
// The user's temporary folder as GetTempPathW gives it (with its trailing backslash); empty
// when it fails or does not fit MAX_PATH.
QUARN_WINRT_API Kernel::String8 TempPath(platform::PackageEnvironment& environment);

QUARN_WINRT_API PathTable ComputeUnpackagedPathTable(Corvanta::Product product,
                                                     Corvanta::CloudServices::BuildKind buildKind,
                                                     platform::PackageEnvironment& environment);
// Raises whatever the application data raises.
QUARN_WINRT_API PathTable ComputeSandboxedPathTable(Corvanta::Product product,
                                                    Corvanta::CloudServices::BuildKind buildKind,
                                                    platform::PackageEnvironment& environment);
// The sandboxed table when `sandboxed`, unless the package's folders cannot be read: then the
// failure goes to the log and the unpackaged table stands in, so the editor still finds a
// place for its data.
QUARN_WINRT_API PathTable ComputePathTable(Corvanta::Product product,
                                           Corvanta::CloudServices::BuildKind buildKind,
                                           bool sandboxed,
                                           platform::PackageEnvironment& environment);

QUARN_WINRT_API Kernel::PathDos ComputeV2HomeDir(bool inProfile,
                                                 platform::PackageEnvironment& environment);

}  // namespace Quarn::WinRT::detail
