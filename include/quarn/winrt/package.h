#pragma once
// Where the editor keeps its data: per user (some of it kept across reinstalls, "persisted"),
// for all users, shared by its products ("Common"), and its temporary files. A packaged
// (sandboxed) editor keeps what it may in its package's folders.
//
//   Quarn::WinRT::Package::InitialiseCurrentPackage(product, buildKind);  // once, at start-up
//   Kernel::String8 settings = Quarn::WinRT::Package::GetAppDataPathForCurrentUserPersisted();
//
// The paths are worked out once per process, on the first InitialiseCurrentPackage or getter,
// whichever comes first: a getter called before InitialiseCurrentPackage fixes the paths of
// product 0 and build kind 0 for the life of the process.
//
// Thread rule: any thread, at any time; the first call computes, the others wait for it.

#include "bindings/corvanta/product.h"
#include "bindings/kernel/path.h"
#include "bindings/kernel/string.h"
#include "quarn/winrt/export.h"

namespace Quarn::WinRT {

class QUARN_WINRT_API Package {
public:
    Package() = delete;

    // True when the process runs with package identity.
    static bool IsSandboxed();

    static void InitialiseCurrentPackage(Corvanta::Product product,
                                         Corvanta::CloudServices::BuildKind buildKind);
    // Kept for the start-up sequence of the application; there is nothing left to do.
    static void FinaliseInitialisation();

    static Kernel::String8 GetAppDataPathForCurrentUser();
    static Kernel::String8 GetAppDataPathForCurrentUserPersisted();
    static Kernel::String8 GetAppDataPathForAllUsers();
    static Kernel::String8 GetCommonDataPathForCurrentUser();
    static Kernel::String8 GetCommonDataPathForCurrentUserPersisted();
    static Kernel::String8 GetCommonDataPathForCurrentUserPersistedBuildInvariant();
    static Kernel::String8 GetCommonDataPathForAllUsers();
    static Kernel::String8 GetTempPathForCurrentUser();

    // The home folder of the version-2 products, whose data a newer product imports: under the
    // user's profile (".corvanta") or the roaming application data ("Corvanta"). Worked out
    // on every call.
    static Kernel::PathDos GetV2HomeDir(bool inProfile);
};

}  // namespace Quarn::WinRT
