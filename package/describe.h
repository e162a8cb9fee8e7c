#pragma once
// The editor's data folders for any product and build kind, as the getters of Package would
// give them on the installed platform, for the simulator's `paths` command and diagnostics.
// Unlike Package, nothing here is computed once: every call works the paths out afresh and
// leaves the process's own table alone.

#include <string_view>
#include <vector>

#include "bindings/corvanta/product.h"
#include "bindings/kernel/string.h"
#include "quarn/winrt/export.h"

namespace Quarn::WinRT::detail {

struct PathListingEntry {
    std::string_view name;  // the getter's name, e.g. "GetTempPathForCurrentUser"
    Kernel::String8 path;
};

// The eight getters in declaration order, then "GetV2HomeDir(true)" and "GetV2HomeDir(false)".
// `packaged` asks for the sandboxed table; the platform must give the process package
// identity as well (SimPackage::SetPackaged), or the package's folders cannot be read and the
// listing shows the fallback the editor would use, with its log line.
QUARN_WINRT_API std::vector<PathListingEntry> ListPaths(
    Corvanta::Product product, Corvanta::CloudServices::BuildKind buildKind, bool packaged);

// ListPaths as text, one "name: path" line each.
QUARN_WINRT_API Kernel::String8 DescribePaths(Corvanta::Product product,
                                              Corvanta::CloudServices::BuildKind buildKind,
                                              bool packaged);

}  // namespace Quarn::WinRT::detail
