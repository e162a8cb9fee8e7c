#pragma once
// Simulated key states: the driver holds keys down and lets them up.

#include <set>

#include "bindings/keyboard/keyboard.h"
#include "bindings/sim/fault.h"

namespace Quarn::WinRT::sim {

namespace ops {
inline constexpr std::string_view kGetKeyState = "GetKeyState";
}

class SimKeyboard final : public platform::Keyboard {
public:
    explicit SimKeyboard(FaultInjector& faults) : m_faults(faults) {}

    void SetKeyDown(int virtualKey, bool down) {
        if (down) {
            m_down.insert(virtualKey);
        } else {
            m_down.erase(virtualKey);
        }
    }

    std::int16_t GetKeyState(int virtualKey) override {
        // GetKeyState cannot fail in Win32; a fault reads as "not held".
        if (m_faults.Take(ops::kGetKeyState)) {
            return 0;
        }
        return m_down.contains(virtualKey) ? static_cast<std::int16_t>(0x8000 - 0x10000) : 0;
    }

private:
    FaultInjector& m_faults;
    std::set<int> m_down;
};

}  // namespace Quarn::WinRT::sim
