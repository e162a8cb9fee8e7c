// A DLL's entry point: starts the module before the DLL's own DllMain sees the process, and
// runs its static destructors after DllMain saw it leave.
#include "sections.h"

#include <windows.h>

extern "C" void __cdecl __quarn_destroy_type_names();

// A DLL without a DllMain of its own gets this one, through the linker's alternate name.
extern "C" BOOL WINAPI __quarn_default_dll_main(HINSTANCE, DWORD, LPVOID) {
    return TRUE;
}
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved);
#pragma comment(linker, "/alternatename:DllMain=__quarn_default_dll_main")

extern "C" BOOL WINAPI _DllMainCRTStartup(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    switch (reason) {
        case DLL_PROCESS_ATTACH:
            if (!QuarnInitialiseModule()) {
                return FALSE;
            }
            if (!DllMain(instance, reason, reserved)) {
                QuarnRunExitTable();
                return FALSE;
            }
            return TRUE;
        case DLL_PROCESS_DETACH: {
            const BOOL result = DllMain(instance, reason, reserved);
            QuarnRunExitTable();
            __quarn_destroy_type_names();
            return result;
        }
        default:
            return DllMain(instance, reason, reserved);
    }
}
