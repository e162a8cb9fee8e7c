// The global allocation functions over the C runtime's heap. Microsoft's runtime keeps them in
// each module rather than in a DLL; these follow the standard: the throwing forms call the new
// handler until it gives up, then throw std::bad_alloc.
#include <malloc.h>
#include <new>

// The C runtime's call of the installed new handler: 0 when there is none.
extern "C" __declspec(dllimport) int __cdecl _callnewh(size_t size);

namespace std {
nothrow_t const nothrow{};
}  // namespace std

namespace {
void* Allocate(size_t size) {
    if (size == 0) {
        size = 1;
    }
    for (;;) {
        if (void* block = malloc(size)) {
            return block;
        }
        if (_callnewh(size) == 0) {
            throw std::bad_alloc();
        }
    }
}

void* AllocateAligned(size_t size, std::align_val_t alignment) {
    if (size == 0) {
        size = 1;
    }
    for (;;) {
        if (void* block = _aligned_malloc(size, static_cast<size_t>(alignment))) {
            return block;
        }
        if (_callnewh(size) == 0) {
            throw std::bad_alloc();
        }
    }
}
}  // namespace

void* __cdecl operator new(size_t size) {
    return Allocate(size);
}
void* __cdecl operator new[](size_t size) {
    return Allocate(size);
}
void* __cdecl operator new(size_t size, std::nothrow_t const&) noexcept {
    try {
        return Allocate(size);
    } catch (...) {
        return nullptr;
    }
}
void* __cdecl operator new[](size_t size, std::nothrow_t const&) noexcept {
    try {
        return Allocate(size);
    } catch (...) {
        return nullptr;
    }
}
void __cdecl operator delete(void* block) noexcept {
    free(block);
}
void __cdecl operator delete[](void* block) noexcept {
    free(block);
}
void __cdecl operator delete(void* block, std::nothrow_t const&) noexcept {
    free(block);
}
void __cdecl operator delete[](void* block, std::nothrow_t const&) noexcept {
    free(block);
}
void __cdecl operator delete(void* block, size_t) noexcept {
    free(block);
}
void __cdecl operator delete[](void* block, size_t) noexcept {
    free(block);
}

void* __cdecl operator new(size_t size, std::align_val_t alignment) {
    return AllocateAligned(size, alignment);
}
void* __cdecl operator new[](size_t size, std::align_val_t alignment) {
    return AllocateAligned(size, alignment);
}
void* __cdecl operator new(size_t size, std::align_val_t alignment,
                           std::nothrow_t const&) noexcept {
    try {
        return AllocateAligned(size, alignment);
    } catch (...) {
        return nullptr;
    }
}
void* __cdecl operator new[](size_t size, std::align_val_t alignment,
                             std::nothrow_t const&) noexcept {
    try {
        return AllocateAligned(size, alignment);
    } catch (...) {
        return nullptr;
    }
}
void __cdecl operator delete(void* block, std::align_val_t) noexcept {
    _aligned_free(block);
}
void __cdecl operator delete[](void* block, std::align_val_t) noexcept {
    _aligned_free(block);
}
void __cdecl operator delete(void* block, std::align_val_t, std::nothrow_t const&) noexcept {
    _aligned_free(block);
}
void __cdecl operator delete[](void* block, std::align_val_t, std::nothrow_t const&) noexcept {
    _aligned_free(block);
}
void __cdecl operator delete(void* block, size_t, std::align_val_t) noexcept {
    _aligned_free(block);
}
void __cdecl operator delete[](void* block, size_t, std::align_val_t) noexcept {
    _aligned_free(block);
}
