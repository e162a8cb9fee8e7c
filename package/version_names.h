#pragma once
// The version folder names under which each build kind keeps its data. Builds of one version
// that must not share data (the China edition, the store edition, previews) get a suffix; the
// persisted folders drop the store marker, so data kept across reinstalls survives a move
// between the store and the direct download.

#include <string_view>

#include "bindings/corvanta/product.h"
#include "bindings/kernel/string.h"
#include "quarn/winrt/export.h"

namespace Quarn::WinRT::detail {

inline constexpr std::string_view kVersion = "3.0";

// "3.0" or "3.0 <suffix>" for the build kind.
QUARN_WINRT_API Kernel::String8 VersionFolderName(Corvanta::CloudServices::BuildKind buildKind);
QUARN_WINRT_API Kernel::String8 PersistedVersionFolderName(
    Corvanta::CloudServices::BuildKind buildKind);

}  // namespace Quarn::WinRT::detail
