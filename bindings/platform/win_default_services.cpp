// On Windows the build's own backends are the Win32 and COM ones. The wheel device and the
// overlay's graphics chain go through the Windows Runtime and Direct3D, which this build does
// not reach yet: the wheel reports itself unsupported (the dial stays inert) and the chain
// refuses to start (the overlay window stays empty).
#include "bindings/platform/services.h"
#include "bindings/platform/win_backends.h"

namespace Quarn::WinRT::platform {

const ServiceSet& DefaultServices() {
    static const ServiceSet services{
        .wheel = &WinRtWheel(),
        .windowing = &Win32Windowing(),
        .keyboard = &Win32Keyboard(),
        .files = &Win32Files(),
        .package = &Win32Package(),
        .com = &Win32Com(),
        .graphics = &UnavailableGraphics(),
    };
    return services;
}

}  // namespace Quarn::WinRT::platform
