#include "quarn/winrt/package.h"

#include <atomic>
#include <mutex>

#include "package/environment.h"
#include "package/package_state.h"
#include "package/path_table.h"

namespace Quarn::WinRT {

namespace {

// The package state of the process.
// Thread rule: any thread. Product and build kind are atomics, stored by
// InitialiseCurrentPackage and read by the table's one computation. The sandboxed flag and the
// table are each written once under their once_flag and only read after it, so readers take
// no lock.
struct PackageState {
    std::atomic<Corvanta::Product> product{Corvanta::Product{}};
    std::atomic<Corvanta::CloudServices::BuildKind> buildKind{0};
    std::once_flag sandboxedOnce;
    bool sandboxed = false;
    std::once_flag tableOnce;
    detail::PathTable table;
    std::atomic<int> tableComputations{0};
};

// Never destroyed: a getter may still be called from another static's destructor.
PackageState& State() {
    static PackageState* const state = new PackageState;
    return *state;
}

const detail::PathTable& Table() {
    PackageState& state = State();
    std::call_once(state.tableOnce, [&state] {
        state.table =
            detail::ComputePathTable(state.product.load(std::memory_order_relaxed),
                                     state.buildKind.load(std::memory_order_relaxed),
                                     Package::IsSandboxed(), detail::CurrentEnvironment());
        state.tableComputations.fetch_add(1, std::memory_order_relaxed);
    });
    return state.table;
}

}  // namespace

int detail::PathTableComputationCount() {
    return State().tableComputations.load(std::memory_order_relaxed);
}

bool Package::IsSandboxed() {
    PackageState& state = State();
    std::call_once(state.sandboxedOnce, [&state] {
        state.sandboxed = detail::ProbeSandboxed(detail::CurrentEnvironment());
    });
    return state.sandboxed;
}

void Package::InitialiseCurrentPackage(Corvanta::Product product,
                                       Corvanta::CloudServices::BuildKind buildKind) {
    PackageState& state = State();
    state.product.store(product, std::memory_order_relaxed);
    state.buildKind.store(buildKind, std::memory_order_relaxed);
    Table();
}

void Package::FinaliseInitialisation() {}

Kernel::String8 Package::GetAppDataPathForCurrentUser() {
    return Table().appDataForCurrentUser;
}

Kernel::String8 Package::GetAppDataPathForCurrentUserPersisted() {
    return Table().appDataForCurrentUserPersisted;
}

Kernel::String8 Package::GetAppDataPathForAllUsers() {
    return Table().appDataForAllUsers;
}

Kernel::String8 Package::GetCommonDataPathForCurrentUser() {
    return Table().commonForCurrentUser;
}

Kernel::String8 Package::GetCommonDataPathForCurrentUserPersisted() {
    return Table().commonForCurrentUserPersisted;
}

Kernel::String8 Package::GetCommonDataPathForCurrentUserPersistedBuildInvariant() {
    return Table().commonForCurrentUserPersistedBuildInvariant;
}

Kernel::String8 Package::GetCommonDataPathForAllUsers() {
    return Table().commonForAllUsers;
}

Kernel::String8 Package::GetTempPathForCurrentUser() {
    return Table().tempForCurrentUser;
}

Kernel::PathDos Package::GetV2HomeDir(bool inProfile) {
    return detail::ComputeV2HomeDir(inProfile, detail::CurrentEnvironment());
}

}  // namespace Quarn::WinRT
