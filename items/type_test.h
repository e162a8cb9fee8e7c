#pragma once
// Run-time class tests with a one-entry cache per test site and thread.
//
// The dial tests host objects against a handful of classes on every enumeration, menu build and
// rotation. Each site remembers the last dynamic type it saw (the object's virtual table) and
// the answer for it: the pointer adjustment to the tested class, or "no match". A repeated type
// costs one comparison; anything else falls back to dynamic_cast and refills the entry.
//
// A site is a call: the lambda argument gives each call site its own instantiation, so its own
// cache, as in `CachedCast<Corvanta::ReflectedGroup>(item.Get(), [] {})`. The cache is
// thread_local, so two threads testing at one site never share an entry.
//
// Keying on the virtual table is exact also for multiple and virtual inheritance: one virtual
// table pointer belongs to one base subobject of one complete type, where the offset to any
// other subobject is fixed.

#include <cstddef>
#include <cstring>
#include <type_traits>

#include "bindings/kernel/counted.h"

namespace Quarn::WinRT::detail {

struct TypeTestEntry {
    const void* vtable = nullptr;
    std::ptrdiff_t offset = 0;
    bool match = false;
};

template <class To, class From, class Site>
auto CachedCast(From* object, Site) noexcept
    -> std::conditional_t<std::is_const_v<From>, const To*, To*> {
    static_assert(std::is_polymorphic_v<From>, "the run-time class test needs a virtual table");
    using Result = std::conditional_t<std::is_const_v<From>, const To*, To*>;
    using Byte = std::conditional_t<std::is_const_v<From>, const char, char>;
    if (!object) {
        return nullptr;
    }
    static thread_local TypeTestEntry s_entry;
    const void* vtable;
    std::memcpy(&vtable, static_cast<const void*>(object), sizeof vtable);
    if (vtable == s_entry.vtable) {
        return s_entry.match
                   ? reinterpret_cast<Result>(reinterpret_cast<Byte*>(object) + s_entry.offset)
                   : nullptr;
    }
    Result cast = dynamic_cast<Result>(object);
    s_entry.vtable = vtable;
    s_entry.match = cast != nullptr;
    s_entry.offset = cast ? reinterpret_cast<Byte*>(cast) - reinterpret_cast<Byte*>(object) : 0;
    return cast;
}

template <class To, class From, class Site>
bool IsA(From* object, Site site) noexcept {
    return CachedCast<To>(object, site) != nullptr;
}

// The counted form: a new strong reference to the same object, or empty.
template <class To, class From, class Site>
Kernel::Counted<To> CachedCast(const Kernel::Counted<From>& object, Site site) noexcept {
    return Kernel::Counted<To>(const_cast<To*>(CachedCast<To>(object.Get(), site)));
}

}  // namespace Quarn::WinRT::detail
