#include "overlay/overlay_lock.h"

namespace Quarn::WinRT::detail {

namespace {

std::atomic<std::uint64_t> s_violations{0};
// One bit per rank held by this thread.
thread_local std::uint32_t t_held = 0;

std::uint32_t Bit(OverlayLockRank rank) {
    return 1u << static_cast<unsigned>(rank);
}

}  // namespace

std::uint64_t OverlayLockOrderViolations() {
    return s_violations.load(std::memory_order_relaxed);
}

void OverlayLock::lock() noexcept {
    // Any held rank at or after this one: the bits from this rank upwards.
    if (t_held & ~(Bit(m_rank) - 1)) {
        s_violations.fetch_add(1, std::memory_order_relaxed);
    }
    m_spin.AcquireLock();
    t_held |= Bit(m_rank);
}

void OverlayLock::unlock() noexcept {
    t_held &= ~Bit(m_rank);
    m_spin.ReleaseLock();
}

}  // namespace Quarn::WinRT::detail
