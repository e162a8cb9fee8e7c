#pragma once
// Key states. Thread rule: the host thread.

#include <cstdint>

#include "bindings/platform/win_types.h"

namespace Quarn::WinRT::platform {

class Keyboard {
public:
    virtual ~Keyboard() = default;
    // As GetKeyState: bit 0x8000 is set while the key is held.
    virtual std::int16_t GetKeyState(int virtualKey) = 0;
};

inline bool IsKeyDown(Keyboard& keyboard, int virtualKey) {
    return (static_cast<std::uint16_t>(keyboard.GetKeyState(virtualKey)) & 0x8000u) != 0;
}

}  // namespace Quarn::WinRT::platform
