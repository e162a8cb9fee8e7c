#pragma once
// The overlays' spin locks, each with a rank that says where it stands in the one order in which
// they may be taken: a group overlay's items lock, then the overlay's own lock, then its hit
// lock, then the history overlay's text lock, and last the layout lock of every overlay. A thread
// that takes a lock while holding one of the same or a later rank is counted as a violation: the
// render thread and the host thread would deadlock on such a pair as soon as they met in the wrong
// order. ThreadSanitizer cannot see this (the host's spin lock is plain atomics), so the locks keep
// the tally themselves and tests read it.
//
// Cost: one thread-local word read and written per acquire and release.

#include <atomic>
#include <cstdint>

#include "bindings/kernel/lock.h"

namespace Quarn::WinRT::detail {

enum class OverlayLockRank : std::uint8_t { Items = 0, Overlay = 1, Hit = 2, Text = 3, Layout = 4 };

// Lock-order violations since the process started, over every overlay and thread.
std::uint64_t OverlayLockOrderViolations();

class OverlayLock {
public:
    explicit OverlayLock(OverlayLockRank rank) : m_rank(rank) {}
    OverlayLock(const OverlayLock&) = delete;
    OverlayLock& operator=(const OverlayLock&) = delete;

    void lock() noexcept;
    void unlock() noexcept;

private:
    Kernel::CriticalSectionSpin m_spin;
    const OverlayLockRank m_rank;
};

}  // namespace Quarn::WinRT::detail
