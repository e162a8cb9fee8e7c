#include "package/describe.h"

#include <string>

#include "package/environment.h"
#include "package/path_table.h"

namespace Quarn::WinRT::detail {

std::vector<PathListingEntry> ListPaths(Corvanta::Product product,
                                        Corvanta::CloudServices::BuildKind buildKind,
                                        bool packaged) {
    platform::PackageEnvironment& environment = CurrentEnvironment();
    const PathTable table = ComputePathTable(product, buildKind, packaged, environment);
    return {
        {"GetAppDataPathForCurrentUser", table.appDataForCurrentUser},
        {"GetAppDataPathForCurrentUserPersisted", table.appDataForCurrentUserPersisted},
        {"GetAppDataPathForAllUsers", table.appDataForAllUsers},
        {"GetCommonDataPathForCurrentUser", table.commonForCurrentUser},
        {"GetCommonDataPathForCurrentUserPersisted", table.commonForCurrentUserPersisted},
        {"GetCommonDataPathForCurrentUserPersistedBuildInvariant",
         table.commonForCurrentUserPersistedBuildInvariant},
        {"GetCommonDataPathForAllUsers", table.commonForAllUsers},
        {"GetTempPathForCurrentUser", table.tempForCurrentUser},
        {"GetV2HomeDir(true)", ComputeV2HomeDir(true, environment).ToString()},
        {"GetV2HomeDir(false)", ComputeV2HomeDir(false, environment).ToString()},
    };
}

Kernel::String8 DescribePaths(Corvanta::Product product,
                              Corvanta::CloudServices::BuildKind buildKind, bool packaged) {
    std::string text;
    for (const PathListingEntry& entry : ListPaths(product, buildKind, packaged)) {
        text.append(entry.name);
        text.append(": ");
        text.append(entry.path.GetView());
        text.push_back('\n');
    }
    return Kernel::String8(std::move(text));
}

}  // namespace Quarn::WinRT::detail
