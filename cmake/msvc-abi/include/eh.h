// The exception-handling declarations of Microsoft's C++ runtime (vcruntime140.dll) that the
// standard library uses. MinGW-w64's eh.h names std::type_info before anything declares it.
#pragma once
#include <vcruntime.h>

#pragma pack(push, _CRT_PACKING)

extern "C++" {
typedef void(__cdecl* terminate_handler)();
typedef void(__cdecl* terminate_function)();
typedef void(__cdecl* unexpected_handler)();
typedef void(__cdecl* unexpected_function)();
struct _EXCEPTION_POINTERS;
typedef void(__cdecl* _se_translator_function)(unsigned int, struct _EXCEPTION_POINTERS*);
}

// The runtimes export these under their C names.
extern "C" {
[[noreturn]] __declspec(dllimport) void __cdecl terminate() noexcept;
__declspec(dllimport) terminate_handler __cdecl set_terminate(terminate_handler) noexcept;
__declspec(dllimport) terminate_handler __cdecl _get_terminate();
_VCRTIMP void __cdecl unexpected() noexcept(false);
_VCRTIMP unexpected_handler __cdecl set_unexpected(unexpected_handler) noexcept;
_VCRTIMP _se_translator_function __cdecl _set_se_translator(_se_translator_function);
_VCRTIMP unexpected_handler __cdecl _get_unexpected();
_VCRTIMP int __cdecl __uncaught_exceptions();
}

#pragma pack(pop)
