// On Windows every service is the system's own: the wheel device through the Windows Runtime,
// windows, timers, keys, files and package identity through Win32 and COM, and the overlay's
// chain through Direct3D, DirectComposition and Direct2D.
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
        .graphics = &Direct3DGraphics(),
    };
    return services;
}

}  // namespace Quarn::WinRT::platform
