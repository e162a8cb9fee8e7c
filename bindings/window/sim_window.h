#pragma once
// The simulated window table and Win32-style timers on the virtual clock.
//
// Timers fire only when the driver advances the clock: every timer whose time has come runs, in
// the order of its due time (ties in the order they were set), each on the calling (host)
// thread, and a periodic timer is due again one interval later. A timer procedure may set or
// kill timers, including its own.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "bindings/sim/fault.h"
#include "bindings/sim/virtual_clock.h"
#include "bindings/window/window.h"

namespace Quarn::WinRT::sim {

namespace ops {
inline constexpr std::string_view kGetWindowRect = "GetWindowRect";
inline constexpr std::string_view kSetTimer = "SetTimer";
inline constexpr std::string_view kKillTimer = "KillTimer";
}  // namespace ops

struct SimWindow {
    HWND handle = nullptr;
    RECT rect{};
    HWND owner = nullptr;
    std::string title;
};

struct SimTimer {
    HWND window = nullptr;
    UINT_PTR id = 0;
    UINT interval = 0;
    TIMERPROC proc = nullptr;
    std::int64_t dueMs = 0;
    std::uint64_t order = 0;
};

class SimWindowing final : public platform::Windowing {
public:
    // Win32 raises shorter intervals to this minimum.
    static constexpr UINT kMinimumInterval = 10;

    SimWindowing(VirtualClock& clock, FaultInjector& faults) : m_clock(clock), m_faults(faults) {}

    HWND CreateHostWindow(RECT rect, std::string title = "Host", HWND owner = nullptr);
    // Removes the window and its timers.
    void DestroyWindow(HWND window);
    void MoveWindow(HWND window, RECT rect);
    bool IsWindow(HWND window) const { return Find(window) != nullptr; }
    const SimWindow* Find(HWND window) const;
    const std::vector<SimWindow>& Windows() const { return m_windows; }

    // Moves the clock forward by `ms`, running the timers that come due on the way.
    void Advance(std::int64_t ms);
    const std::vector<SimTimer>& Timers() const { return m_timers; }
    const SimTimer* FindTimer(HWND window, UINT_PTR id) const;

    RECT GetWindowRect(HWND window) override;
    UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT milliseconds, TIMERPROC proc) override;
    bool KillTimer(HWND window, UINT_PTR id) override;

private:
    SimWindow* FindMutable(HWND window);

    VirtualClock& m_clock;
    FaultInjector& m_faults;
    std::vector<SimWindow> m_windows;
    std::vector<SimTimer> m_timers;
    std::uintptr_t m_nextHandle = 0x10010;
    std::uint64_t m_nextOrder = 0;
};

}  // namespace Quarn::WinRT::sim
