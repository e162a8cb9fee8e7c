// The module's thread-local storage: the TLS directory the loader reads (the template of
// __declspec(thread) data between _tls_start and _tls_end, the slot index it assigns, the
// callbacks it calls for each thread), and the dynamic initialisers of thread_local variables,
// run for each thread when it starts or first touches one.
#include "sections.h"

#include <windows.h>

#pragma section(".tls", long, read, write)
#pragma section(".tls$ZZZ", long, read, write)
#pragma section(".CRT$XLA", long, read)
#pragma section(".CRT$XLC", long, read)
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

__declspec(allocate(".rdata$T")) extern const IMAGE_TLS_DIRECTORY64 _tls_used = {
    reinterpret_cast<ULONGLONG>(&_tls_start),
    reinterpret_cast<ULONGLONG>(&_tls_end),
    reinterpret_cast<ULONGLONG>(&_tls_index),
    reinterpret_cast<ULONGLONG>(&__xl_a + 1),
    0,
    0,
};
}
