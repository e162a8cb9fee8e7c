#include "package/environment.h"

#include "bindings/platform/error.h"
#include "bindings/platform/services.h"

namespace Quarn::WinRT::detail {

namespace {

class NoPackageEnvironment final : public platform::PackageEnvironment {
public:
    std::int32_t GetCurrentPackageFullName(std::uint32_t*, char16_t*) override {
        return platform::kAppModelErrorNoPackage;
    }
    HRESULT GetKnownFolderPath(platform::KnownFolder, DWORD, void*, std::u16string& path) override {
        path.clear();
        return E_FAIL;
    }
    DWORD GetTempPathW(DWORD, char16_t*) override { return 0; }
    platform::Ref<platform::ApplicationData> CurrentApplicationData() override {
        throw platform::PlatformError(E_FAIL, "No package environment.");
    }
};

}  // namespace

platform::PackageEnvironment& CurrentEnvironment() {
    if (platform::PackageEnvironment* installed = platform::Services().package) {
        return *installed;
    }
    static NoPackageEnvironment none;
    return none;
}

}  // namespace Quarn::WinRT::detail
