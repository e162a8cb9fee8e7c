// Key states from GetKeyState: the state as of the message being handled, which is what the
// rotation handler wants while it runs from the window's message dispatch.
#include "bindings/platform/win_backends.h"

namespace Quarn::WinRT::platform {

namespace {

class Win32KeyboardBackend final : public Keyboard {
public:
    std::int16_t GetKeyState(int virtualKey) override { return ::GetKeyState(virtualKey); }
};

}  // namespace

Keyboard& Win32Keyboard() {
    static Win32KeyboardBackend keyboard;
    return keyboard;
}

}  // namespace Quarn::WinRT::platform
