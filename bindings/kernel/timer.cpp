#include "bindings/kernel/timer.h"

#include <atomic>
#include <chrono>

namespace Kernel {

namespace {

class SteadyClockImpl final : public Clock {
public:
    double NowSeconds() const override {
        using namespace std::chrono;
        return duration<double>(steady_clock::now().time_since_epoch()).count();
    }
};

std::atomic<const Clock*> g_defaultClock{nullptr};

}  // namespace

const Clock& SteadyClock() {
    static const SteadyClockImpl clock;
    return clock;
}

const Clock& DefaultClock() {
    const Clock* clock = g_defaultClock.load(std::memory_order_acquire);
    return clock ? *clock : SteadyClock();
}

const Clock* SetDefaultClock(const Clock* clock) {
    const Clock* previous = g_defaultClock.exchange(clock, std::memory_order_acq_rel);
    return previous ? previous : &SteadyClock();
}

}  // namespace Kernel
