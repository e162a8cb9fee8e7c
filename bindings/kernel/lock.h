#pragma once
// The host's spin lock, for sections of a few instructions shared between the host thread and
// the render thread. It spins briefly, then yields, so a preempted holder does not burn a core.

#include <atomic>
#include <thread>

namespace Kernel {

class CriticalSectionSpin {
public:
    CriticalSectionSpin() = default;
    CriticalSectionSpin(const CriticalSectionSpin&) = delete;
    CriticalSectionSpin& operator=(const CriticalSectionSpin&) = delete;

    void AcquireLock() noexcept {
        for (int spins = 0; m_locked.exchange(true, std::memory_order_acquire); ++spins) {
            while (m_locked.load(std::memory_order_relaxed)) {
                if (++spins > 64) {
                    std::this_thread::yield();
                }
            }
        }
    }
    bool TryAcquireLock() noexcept { return !m_locked.exchange(true, std::memory_order_acquire); }
    void ReleaseLock() noexcept { m_locked.store(false, std::memory_order_release); }

    // Lets std::lock_guard and std::scoped_lock hold it.
    void lock() noexcept { AcquireLock(); }
    bool try_lock() noexcept { return TryAcquireLock(); }
    void unlock() noexcept { ReleaseLock(); }

private:
    std::atomic<bool> m_locked{false};
};

}  // namespace Kernel
