// The markers around the module's initialisers, and running them.
#include "sections.h"

#include <vcruntime.h>

// What every module of this runtime links with, as Microsoft's msvcrt.lib names them (the
// start-up code calls the system's kernel32 itself).
#pragma comment(lib, "vcruntime")
#pragma comment(lib, "ucrt")
#pragma comment(lib, "kernel32")

// The Universal C Runtime's exit tables (ucrtbase.dll).
extern "C" {
typedef int(__cdecl* _onexit_t)();
struct _onexit_table_t {
    void (**_first)();
    void (**_last)();
    void (**_end)();
};
__declspec(dllimport) int __cdecl _initialize_onexit_table(_onexit_table_t* table);
__declspec(dllimport) int __cdecl _register_onexit_function(_onexit_table_t* table,
                                                            _onexit_t function);
__declspec(dllimport) int __cdecl _execute_onexit_table(_onexit_table_t* table);
}

#pragma section(".CRT$XIA", long, read)
#pragma section(".CRT$XIZ", long, read)
#pragma section(".CRT$XCA", long, read)
#pragma section(".CRT$XCZ", long, read)
#pragma section(".CRT$XDA", long, read)
#pragma section(".CRT$XDZ", long, read)

extern "C" {
__declspec(allocate(".CRT$XIA")) QuarnStatusInitialiser __xi_a[] = {nullptr};
__declspec(allocate(".CRT$XIZ")) QuarnStatusInitialiser __xi_z[] = {nullptr};
__declspec(allocate(".CRT$XCA")) QuarnInitialiser __xc_a[] = {nullptr};
__declspec(allocate(".CRT$XCZ")) QuarnInitialiser __xc_z[] = {nullptr};
__declspec(allocate(".CRT$XDA")) QuarnInitialiser __xd_a[] = {nullptr};
__declspec(allocate(".CRT$XDZ")) QuarnInitialiser __xd_z[] = {nullptr};
}

// The linker may pad between contributions with zeros: null entries are skipped.
int QuarnRunStatusInitialisers(QuarnStatusInitialiser* first, QuarnStatusInitialiser* last) {
    for (QuarnStatusInitialiser* entry = first; entry < last; ++entry) {
        if (*entry != nullptr) {
            if (const int status = (**entry)(); status != 0) {
                return status;
            }
        }
    }
    return 0;
}

void QuarnRunInitialisers(QuarnInitialiser* first, QuarnInitialiser* last) {
    for (QuarnInitialiser* entry = first; entry < last; ++entry) {
        if (*entry != nullptr) {
            (**entry)();
        }
    }
}

namespace {
_onexit_table_t g_exitTable;
}  // namespace

int QuarnInitialiseExitTable() {
    return _initialize_onexit_table(&g_exitTable);
}

void QuarnRunExitTable() {
    _execute_onexit_table(&g_exitTable);
}

// Static destructors and atexit register with the module, not with the process: a DLL's run
// when it unloads, while its code is still mapped.
extern "C" _onexit_t __cdecl _onexit(_onexit_t function) {
    return _register_onexit_function(&g_exitTable, function) == 0 ? function : nullptr;
}

extern "C" int __cdecl atexit(void(__cdecl* function)()) {
    return _onexit(reinterpret_cast<_onexit_t>(function)) != nullptr ? 0 : -1;
}

extern "C" void __cdecl __security_init_cookie();

bool QuarnInitialiseModule() {
    __security_init_cookie();
    if (QuarnInitialiseExitTable() != 0) {
        return false;
    }
    if (QuarnRunStatusInitialisers(__xi_a, __xi_z) != 0) {
        return false;
    }
    QuarnRunInitialisers(__xc_a, __xc_z);
    return true;
}
