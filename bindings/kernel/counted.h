#pragma once
// Intrusive strong/weak reference counting of the host's object model.
//
// Every host object derives from Countable, which owns one CountedControlBlock. The block keeps
// a strong count (owners) and a weak count (observers, plus one held by the object itself while
// it is alive). When the last strong reference goes the holder deletes the object through its
// virtual destructor; the object's destructor drops its own weak count, and the block is freed
// with the last weak one, so a WeakCounted can always ask the block whether the object lives.
// All counts are atomic: references may be copied and released on any thread.

#include <atomic>
#include <cstddef>
#include <type_traits>
#include <utility>

namespace Kernel {

class CountedControlBlock {
public:
    CountedControlBlock() = default;
    CountedControlBlock(const CountedControlBlock&) = delete;
    CountedControlBlock& operator=(const CountedControlBlock&) = delete;

    void AcquireStrong() noexcept { m_strong.fetch_add(1, std::memory_order_relaxed); }

    // Takes a strong reference only while the object is still alive (count above zero).
    bool TryAcquireStrong() noexcept {
        long count = m_strong.load(std::memory_order_relaxed);
        while (count > 0) {
            if (m_strong.compare_exchange_weak(count, count + 1, std::memory_order_acq_rel,
                                               std::memory_order_relaxed)) {
                return true;
            }
        }
        return false;
    }

    // Returns the strong count left; the caller destroys the object when it reaches zero.
    long ReleaseStrong() noexcept { return m_strong.fetch_sub(1, std::memory_order_acq_rel) - 1; }

    void AcquireWeak() noexcept { m_weak.fetch_add(1, std::memory_order_relaxed); }

    void ReleaseWeak() noexcept {
        if (m_weak.fetch_sub(1, std::memory_order_acq_rel) == 1) {
            delete this;
        }
    }

    long StrongCount() const noexcept { return m_strong.load(std::memory_order_acquire); }
    long WeakCount() const noexcept { return m_weak.load(std::memory_order_acquire); }

private:
    ~CountedControlBlock() = default;

    std::atomic<long> m_strong{0};
    std::atomic<long> m_weak{1};  // the object's own, released by ~Countable
};

class Countable {
public:
    virtual ~Countable() { m_controlBlock->ReleaseWeak(); }

    CountedControlBlock& GetControlBlock() const noexcept { return *m_controlBlock; }

protected:
    Countable() : m_controlBlock(new CountedControlBlock) {}
    // A copy is a new object with counts of its own.
    Countable(const Countable&) : Countable() {}
    Countable& operator=(const Countable&) noexcept { return *this; }

private:
    CountedControlBlock* m_controlBlock;
};

namespace detail {
template <class T>
CountedControlBlock& BlockOf(T* object) noexcept {
    return static_cast<const Countable*>(object)->GetControlBlock();
}
struct AdoptStrong {};
}  // namespace detail

template <class T>
class WeakCounted;

// A strong reference. Constructing one from a raw pointer takes a new strong count, so `this`
// of a counted object can be handed out safely.
template <class T>
class Counted {
public:
    using element_type = T;

    Counted() noexcept = default;
    Counted(std::nullptr_t) noexcept {}
    explicit Counted(T* object) noexcept : m_object(object) {
        if (m_object) {
            detail::BlockOf(m_object).AcquireStrong();
        }
    }
    Counted(const Counted& other) noexcept : Counted(other.m_object) {}
    Counted(Counted&& other) noexcept : m_object(std::exchange(other.m_object, nullptr)) {}
    template <class U>
    requires std::is_convertible_v<U*, T*> Counted(const Counted<U>& other)
    noexcept : Counted(static_cast<T*>(other.Get())) {}
    template <class U>
    requires std::is_convertible_v<U*, T*> Counted(Counted<U>&& other)
    noexcept : m_object(other.Release()) {}

    ~Counted() { Reset(); }

    Counted& operator=(Counted other) noexcept {
        std::swap(m_object, other.m_object);
        return *this;
    }

    void Reset() noexcept {
        // Wherever a reference may be destroyed, the object's class must be complete. Under
        // Microsoft's ABI that includes every function taking a Counted<T> by value, since the
        // callee destroys its arguments there.
        static_assert(sizeof(T) > 0, "Counted<T> may delete its T: T must be complete here");
        if (T* object = std::exchange(m_object, nullptr)) {
            if (detail::BlockOf(object).ReleaseStrong() == 0) {
                delete object;
            }
        }
    }

    T* Get() const noexcept { return m_object; }
    T* operator->() const noexcept { return m_object; }
    T& operator*() const noexcept { return *m_object; }
    explicit operator bool() const noexcept { return m_object != nullptr; }

    // Gives up ownership without releasing: the caller now holds the strong count.
    T* Release() noexcept { return std::exchange(m_object, nullptr); }

    template <class U>
    bool operator==(const Counted<U>& other) const noexcept {
        return m_object == other.Get();
    }
    bool operator==(std::nullptr_t) const noexcept { return m_object == nullptr; }

private:
    friend class WeakCounted<std::remove_const_t<T>>;
    friend class WeakCounted<const std::remove_const_t<T>>;
    Counted(T* object, detail::AdoptStrong) noexcept : m_object(object) {}

    T* m_object = nullptr;
};

template <class T, class... Args>
Counted<T> MakeCounted(Args&&... args) {
    return Counted<T>(new T(std::forward<Args>(args)...));
}

// The general run-time cast between counted references.
template <class To, class From>
Counted<To> DynamicCast(const Counted<From>& from) noexcept {
    return Counted<To>(dynamic_cast<To*>(from.Get()));
}

template <class To, class From>
Counted<To> StaticCast(const Counted<From>& from) noexcept {
    return Counted<To>(static_cast<To*>(from.Get()));
}

// A weak reference: keeps the control block, not the object.
template <class T>
class WeakCounted {
public:
    WeakCounted() noexcept = default;
    WeakCounted(const Counted<T>& strong) noexcept : WeakCounted(strong.Get()) {}
    template <class U>
    requires std::is_convertible_v<U*, T*> WeakCounted(const Counted<U>& strong)
    noexcept : WeakCounted(static_cast<T*>(strong.Get())) {}
    explicit WeakCounted(T* object) noexcept
        : m_object(object), m_block(object ? &detail::BlockOf(object) : nullptr) {
        if (m_block) {
            m_block->AcquireWeak();
        }
    }
    WeakCounted(const WeakCounted& other) noexcept
        : m_object(other.m_object), m_block(other.m_block) {
        if (m_block) {
            m_block->AcquireWeak();
        }
    }
    WeakCounted(WeakCounted&& other) noexcept
        : m_object(std::exchange(other.m_object, nullptr)),
          m_block(std::exchange(other.m_block, nullptr)) {}
    ~WeakCounted() { Reset(); }

    WeakCounted& operator=(WeakCounted other) noexcept {
        std::swap(m_object, other.m_object);
        std::swap(m_block, other.m_block);
        return *this;
    }

    void Reset() noexcept {
        m_object = nullptr;
        if (CountedControlBlock* block = std::exchange(m_block, nullptr)) {
            block->ReleaseWeak();
        }
    }

    // A strong reference when the object still lives, otherwise empty.
    Counted<T> Lock() const noexcept {
        if (m_block && m_block->TryAcquireStrong()) {
            return Counted<T>(m_object, detail::AdoptStrong{});
        }
        return {};
    }

    bool Expired() const noexcept { return !m_block || m_block->StrongCount() == 0; }

private:
    T* m_object = nullptr;
    CountedControlBlock* m_block = nullptr;
};

}  // namespace Kernel
