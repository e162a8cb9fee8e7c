// The wheel device on a build that does not reach the Windows Runtime: no device is supported,
// so the dial never creates a controller and stays inert. Creation is refused as the runtime
// refuses a class it does not know.
#include "bindings/platform/error.h"
#include "bindings/platform/win_backends.h"

namespace Quarn::WinRT::platform {

namespace {

constexpr const char* kNoWheel = "The wheel device needs the Windows Runtime's RadialController.";

class UnsupportedWheelBackend final : public WheelPlatform {
public:
    bool IsSupported() override { return false; }
    Ref<RadialController> CreateForWindow(HWND) override {
        throw PlatformError(REGDB_E_CLASSNOTREG, kNoWheel);
    }
    Ref<RadialControllerConfiguration> GetConfigurationForWindow(HWND) override {
        throw PlatformError(REGDB_E_CLASSNOTREG, kNoWheel);
    }
    Ref<RadialControllerMenuItem> CreateMenuItemFromIcon(std::u16string_view,
                                                         Ref<IconStream>) override {
        throw PlatformError(REGDB_E_CLASSNOTREG, kNoWheel);
    }
    Ref<RadialControllerMenuItem> CreateMenuItemFromKnownIcon(std::u16string_view,
                                                              KnownIcon) override {
        throw PlatformError(REGDB_E_CLASSNOTREG, kNoWheel);
    }
};

}  // namespace

WheelPlatform& UnsupportedWheel() {
    static UnsupportedWheelBackend wheel;
    return wheel;
}

}  // namespace Quarn::WinRT::platform
