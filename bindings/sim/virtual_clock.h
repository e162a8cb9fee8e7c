#pragma once
// Virtual time of the simulated platform, in whole milliseconds. Only the driver moves it (by
// advancing the timers), so 250 ms of virtual time is exactly 250 ms and costs nothing.
// Thread rule: advanced on the host thread; read from any thread.

#include <atomic>
#include <cstdint>

#include "bindings/kernel/timer.h"

namespace Quarn::WinRT::sim {

class VirtualClock final : public Kernel::Clock {
public:
    double NowSeconds() const override { return static_cast<double>(NowMs()) / 1000.0; }
    std::int64_t NowMs() const { return m_nowMs.load(std::memory_order_acquire); }
    void SetMs(std::int64_t ms) { m_nowMs.store(ms, std::memory_order_release); }

private:
    std::atomic<std::int64_t> m_nowMs{0};
};

}  // namespace Quarn::WinRT::sim
