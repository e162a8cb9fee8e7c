#include "package/version_names.h"

#include <array>

#include "bindings/kernel/format.h"

namespace Quarn::WinRT::detail {

namespace {

struct Suffixes {
    std::string_view buildSpecific;
    std::string_view persisted;
};

// Indexed by build kind; kinds outside the table are plain release builds.
constexpr std::array<Suffixes, 8> kSuffixes = {{
    {"", ""},
    {"CN", "CN"},
    {"(Store)", ""},
    {"CN (Store)", "CN"},
    {"(Alpha)", "(Alpha)"},
    {"(Beta)", "(Beta)"},
    {"CN (Beta)", "CN (Beta)"},
    {"(Beta)", "(Beta)"},
}};

Suffixes SuffixesOf(Corvanta::CloudServices::BuildKind buildKind) {
    if (buildKind < 0 || static_cast<std::size_t>(buildKind) >= kSuffixes.size()) {
        return {};
    }
    return kSuffixes[static_cast<std::size_t>(buildKind)];
}

Kernel::String8 WithSuffix(std::string_view suffix) {
    if (suffix.empty()) {
        return Kernel::String8(kVersion);
    }
    return Kernel::Format8("%1 %2", kVersion, suffix);
}

}  // namespace

Kernel::String8 VersionFolderName(Corvanta::CloudServices::BuildKind buildKind) {
    return WithSuffix(SuffixesOf(buildKind).buildSpecific);
}

Kernel::String8 PersistedVersionFolderName(Corvanta::CloudServices::BuildKind buildKind) {
    return WithSuffix(SuffixesOf(buildKind).persisted);
}

}  // namespace Quarn::WinRT::detail
