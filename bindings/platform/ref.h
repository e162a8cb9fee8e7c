#pragma once
// Reference counting of platform objects (controller, menu, items, contacts, ...), the way COM
// counts them: an object starts with no owner, a Ref adds one, and the last Release deletes it.
// Counts are atomic; a platform object may be released on any thread.

#include <atomic>
#include <cstddef>
#include <string_view>
#include <type_traits>
#include <utility>

namespace Quarn::WinRT::platform {

class RefCounted {
public:
    RefCounted(const RefCounted&) = delete;
    RefCounted& operator=(const RefCounted&) = delete;

    void AddRef() const noexcept { m_refs.fetch_add(1, std::memory_order_relaxed); }
    void Release() const noexcept {
        if (m_refs.fetch_sub(1, std::memory_order_acq_rel) == 1) {
            delete this;
        }
    }

protected:
    RefCounted() = default;
    virtual ~RefCounted() = default;

private:
    mutable std::atomic<long> m_refs{0};
};

template <class T>
class Ref {
public:
    Ref() noexcept = default;
    Ref(std::nullptr_t) noexcept {}
    explicit Ref(T* object) noexcept : m_object(object) {
        if (m_object) {
            m_object->AddRef();
        }
    }
    Ref(const Ref& other) noexcept : Ref(other.m_object) {}
    Ref(Ref&& other) noexcept : m_object(std::exchange(other.m_object, nullptr)) {}
    template <class U>
    requires std::is_convertible_v<U*, T*> Ref(const Ref<U>& other)
    noexcept : Ref(static_cast<T*>(other.Get())) {}
    ~Ref() { Reset(); }

    Ref& operator=(Ref other) noexcept {
        std::swap(m_object, other.m_object);
        return *this;
    }

    void Reset() noexcept {
        if (T* object = std::exchange(m_object, nullptr)) {
            object->Release();
        }
    }
    T* Get() const noexcept { return m_object; }
    T* operator->() const noexcept { return m_object; }
    T& operator*() const noexcept { return *m_object; }
    explicit operator bool() const noexcept { return m_object != nullptr; }
    friend bool operator==(const Ref& a, const Ref& b) noexcept { return a.m_object == b.m_object; }

private:
    T* m_object = nullptr;
};

template <class T, class... Args>
Ref<T> MakeRef(Args&&... args) {
    return Ref<T>(new T(std::forward<Args>(args)...));
}

// A platform object that carries nothing but its identity and its runtime class name, as
// IInspectable does; the tags of menu items derive from it. The Windows build hands the platform
// a real IInspectable that answers with this name.
class Inspectable : public RefCounted {
public:
    virtual std::u16string_view GetRuntimeClassName() const = 0;
};

}  // namespace Quarn::WinRT::platform
