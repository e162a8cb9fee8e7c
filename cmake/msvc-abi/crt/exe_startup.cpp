// A console program's entry point: the C runtime's arguments and environment, the module's
// initialisers, then main; exit runs the module's exit table through the C runtime's own.
#include "sections.h"

#include <stdlib.h>

extern "C" {
__declspec(dllimport) int __cdecl _configure_narrow_argv(int mode);
__declspec(dllimport) int __cdecl _initialize_narrow_environment();
__declspec(dllimport) int* __cdecl __p___argc();
__declspec(dllimport) char*** __cdecl __p___argv();
__declspec(dllimport) char** __cdecl _get_initial_narrow_environment();
__declspec(dllimport) void __cdecl _set_app_type(int type);
__declspec(dllimport) int __cdecl _crt_atexit(void(__cdecl* function)());
int main(int argc, char** argv, char** environment);
}

namespace {
constexpr int kConsoleApplication = 1;
constexpr int kExpandWildcards = 1;
constexpr int kStartupFailure = 255;

void __cdecl RunModuleExitTable() {
    QuarnRunExitTable();
}
}  // namespace

// Programs that take main(void) or main(argc, argv) get the same call: extra arguments are
// harmless in the x64 calling convention.
extern "C" int __cdecl mainCRTStartup() {
    _set_app_type(kConsoleApplication);
    if (_configure_narrow_argv(kExpandWildcards) != 0 || _initialize_narrow_environment() != 0 ||
        !QuarnInitialiseModule() || _crt_atexit(RunModuleExitTable) != 0) {
        exit(kStartupFailure);
    }
    exit(main(*__p___argc(), *__p___argv(), _get_initial_narrow_environment()));
}
