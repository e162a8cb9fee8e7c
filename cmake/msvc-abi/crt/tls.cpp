// The module's thread-local storage: the TLS directory the loader reads (the template of
// __declspec(thread) data between _tls_start and _tls_end, the slot index it assigns, the
// callbacks it calls for each thread), the dynamic initialisers of thread_local variables, run
// for each thread when it starts or first touches one, and their destructors, run when it ends.
#include "sections.h"

#include <windows.h>

#pragma section(".tls", long, read, write)
#pragma section(".tls$ZZZ", long, read, write)
#pragma section(".CRT$XLA", long, read)
#pragma section(".CRT$XLC", long, read)
#pragma section(".CRT$XLD", long, read)
#pragma section(".CRT$XLZ", long, read)
#pragma section(".rdata$T", long, read)

extern "C" {
ULONG _tls_index = 0;
__declspec(allocate(".tls")) char _tls_start = 0;
__declspec(allocate(".tls$ZZZ")) char _tls_end = 0;
__declspec(allocate(".CRT$XLA")) PIMAGE_TLS_CALLBACK __xl_a = nullptr;
__declspec(allocate(".CRT$XLZ")) PIMAGE_TLS_CALLBACK __xl_z = nullptr;

// Whether this thread ran the thread_local initialisers.
__declspec(thread) bool __tls_guard = false;

void __cdecl __dyn_tls_on_demand_init() noexcept {
    if (!__tls_guard) {
        __tls_guard = true;
        QuarnRunInitialisers(__xd_a, __xd_z);
    }
}

static void NTAPI __dyn_tls_init(PVOID, DWORD reason, PVOID) {
    if (reason == DLL_THREAD_ATTACH || reason == DLL_PROCESS_ATTACH) {
        __dyn_tls_on_demand_init();
    }
}
__declspec(allocate(".CRT$XLC")) PIMAGE_TLS_CALLBACK __xl_c = __dyn_tls_init;

// The destructors of this thread's thread_local objects, registered as each is constructed and
// run in reverse when the thread (or, for the last one, the module) ends. The first few live in
// the thread's own storage; more go to the process heap.
constexpr int kInlineDestructors = 16;
static __declspec(thread) void(__cdecl* t_inlineDestructors[kInlineDestructors])();
static __declspec(thread) void(__cdecl** t_destructors)();
static __declspec(thread) int t_destructorCount;
static __declspec(thread) int t_destructorCapacity;

int __cdecl __tlregdtor(void(__cdecl* destructor)()) {
    if (t_destructors == nullptr) {
        t_destructors = t_inlineDestructors;
        t_destructorCapacity = kInlineDestructors;
    }
    if (t_destructorCount == t_destructorCapacity) {
        const int capacity = t_destructorCapacity * 2;
        auto* grown = static_cast<void(__cdecl**)()>(
            HeapAlloc(GetProcessHeap(), 0, sizeof(*t_destructors) * capacity));
        if (grown == nullptr) {
            return -1;
        }
        CopyMemory(grown, t_destructors, sizeof(*t_destructors) * t_destructorCount);
        if (t_destructors != t_inlineDestructors) {
            HeapFree(GetProcessHeap(), 0, t_destructors);
        }
        t_destructors = grown;
        t_destructorCapacity = capacity;
    }
    t_destructors[t_destructorCount++] = destructor;
    return 0;
}

static void NTAPI __dyn_tls_dtor(PVOID, DWORD reason, PVOID) {
    if (reason != DLL_THREAD_DETACH && reason != DLL_PROCESS_DETACH) {
        return;
    }
    while (t_destructorCount > 0) {
        t_destructors[--t_destructorCount]();
    }
    if (t_destructors != nullptr && t_destructors != t_inlineDestructors) {
        HeapFree(GetProcessHeap(), 0, t_destructors);
    }
    t_destructors = nullptr;
    t_destructorCapacity = 0;
}
__declspec(allocate(".CRT$XLD")) PIMAGE_TLS_CALLBACK __xl_d = __dyn_tls_dtor;

__declspec(allocate(".rdata$T")) extern const IMAGE_TLS_DIRECTORY64 _tls_used = {
    reinterpret_cast<ULONGLONG>(&_tls_start),
    reinterpret_cast<ULONGLONG>(&_tls_end),
    reinterpret_cast<ULONGLONG>(&_tls_index),
    reinterpret_cast<ULONGLONG>(&__xl_a + 1),
    0,
    0,
};
}
