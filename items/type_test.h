#pragma once
// Run-time class tests with a one-entry cache per test site and thread.
//
// The dial tests host objects against a handful of classes on every enumeration, menu build and
// rotation. Each site remembers the last dynamic type it saw (the object's virtual table) and
// the answer for it: the pointer adjustment to the tested class, or "no match". A repeated type
// costs one comparison; anything else falls back to dynamic_cast and refills the entry.
//
// A site names itself with a tag type written at the call:
//
//     CachedCast<Corvanta::ReflectedGroup, struct SelectedGroupSite>(item.Get())
//
// `struct SelectedGroupSite` inside a function declares a class local to that function (local to
// each instantiation, in a template), so the name is the site: one name, one cache entry per
// tested class and thread. Two calls that should not share an entry need two names; a helper
// that wraps a call is one site for all its callers, which the tag written in it makes plain.
// The entry is thread_local, so two threads testing at one site never share it.
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

// The cache entry of the site `Site` testing for `To`, on the calling thread.
template <class To, class Site>
thread_local TypeTestEntry t_typeTestEntry;

template <class To, class Site, class From>
auto CachedCast(From* object) noexcept
    -> std::conditional_t<std::is_const_v<From>, const To*, To*> {
    static_assert(std::is_polymorphic_v<From>, "the run-time class test needs a virtual table");
    using Result = std::conditional_t<std::is_const_v<From>, const To*, To*>;
    using Byte = std::conditional_t<std::is_const_v<From>, const char, char>;
    if (!object) {
        return nullptr;
    }
    TypeTestEntry& entry = t_typeTestEntry<To, Site>;
    const void* vtable;
    std::memcpy(&vtable, static_cast<const void*>(object), sizeof vtable);
    if (vtable == entry.vtable) {
        return entry.match
                   ? reinterpret_cast<Result>(reinterpret_cast<Byte*>(object) + entry.offset)
                   : nullptr;
    }
    Result cast = dynamic_cast<Result>(object);
    entry.vtable = vtable;
    entry.match = cast != nullptr;
    entry.offset = cast ? reinterpret_cast<Byte*>(cast) - reinterpret_cast<Byte*>(object) : 0;
    return cast;
}

template <class To, class Site, class From>
bool IsA(From* object) noexcept {
    return CachedCast<To, Site>(object) != nullptr;
}

// The counted form: a new strong reference to the same object, or empty.
template <class To, class Site, class From>
Kernel::Counted<To> CachedCast(const Kernel::Counted<From>& object) noexcept {
    return Kernel::Counted<To>(const_cast<To*>(CachedCast<To, Site>(object.Get())));
}

}  // namespace Quarn::WinRT::detail
