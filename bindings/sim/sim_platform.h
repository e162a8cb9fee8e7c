#pragma once
// The simulated platform: the wheel device, windows and timers on a virtual clock, key states,
// files, the graphics chain with its frame clock, and fault injection, in one object. Constructing
// one installs it as the platform of the core and its virtual clock as the host's default clock;
// destroying it puts the previous ones back. Thread rule: make, drive and destroy it on the host
// thread.

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "bindings/com/sim_com.h"
#include "bindings/files/sim_files.h"
#include "bindings/keyboard/sim_keyboard.h"
#include "bindings/package/sim_package.h"
#include "bindings/platform/services.h"
#include "bindings/render/sim_render.h"
#include "bindings/sim/fault.h"
#include "bindings/sim/virtual_clock.h"
#include "bindings/wheel/sim_wheel.h"
#include "bindings/window/sim_window.h"

namespace Quarn::WinRT::sim {

class SimPlatform {
public:
    enum class Install { Yes, No };

    explicit SimPlatform(Install install = Install::Yes);
    ~SimPlatform();
    SimPlatform(const SimPlatform&) = delete;
    SimPlatform& operator=(const SimPlatform&) = delete;

    VirtualClock& Clock() { return m_clock; }
    FaultInjector& Faults() { return m_faults; }
    SimWindowing& Windows() { return m_windows; }
    SimWheel& Wheel() { return m_wheel; }
    SimKeyboard& Keys() { return m_keys; }
    SimFiles& Files() { return m_files; }
    SimPackage& Package() { return m_package; }
    SimCom& Com() { return m_com; }
    SimGraphics& Graphics() { return m_graphics; }
    const platform::ServiceSet& Services() const { return m_services; }

    // Advances virtual time, firing due timers in order.
    void Advance(std::int64_t ms) { m_windows.Advance(ms); }

    // Every operation name that `Faults().Fail` understands.
    static std::span<const std::string_view> FaultableOperations();
    static bool IsFaultableOperation(std::string_view operation);

private:
    VirtualClock m_clock;
    FaultInjector m_faults;
    SimWindowing m_windows{m_clock, m_faults};
    SimWheel m_wheel{m_faults};
    SimKeyboard m_keys{m_faults};
    SimFiles m_files{m_faults};
    SimPackage m_package{m_faults};
    SimCom m_com{m_faults};
    SimGraphics m_graphics{m_faults};
    platform::ServiceSet m_services;
    std::optional<platform::ScopedServices> m_installed;
    const Kernel::Clock* m_previousClock = nullptr;
};

}  // namespace Quarn::WinRT::sim
