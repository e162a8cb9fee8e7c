// The configuration header of Microsoft's C++ runtime, as its standard library headers include
// it: language-level macros and the few types every runtime header assumes. The real one comes
// with the compiler, not with the library's sources or any package; this one serves the
// clang-cl build and defines only what the library's headers and ours use, with the values the
// runtime (vcruntime140.dll) was built with.
#pragma once
#define _VCRUNTIME_H

#include <sal.h>
#include <vadefs.h>

#define _CRT_PACKING 8
#pragma pack(push, _CRT_PACKING)

#define _VCRT_COMPILER_PREPROCESSOR 1
#define _CRT_BEGIN_C_HEADER __pragma(pack(push, _CRT_PACKING)) extern "C" {
#define _CRT_END_C_HEADER \
    }                     \
    __pragma(pack(pop))
#ifndef __cplusplus
#undef _CRT_BEGIN_C_HEADER
#undef _CRT_END_C_HEADER
#define _CRT_BEGIN_C_HEADER __pragma(pack(push, _CRT_PACKING))
#define _CRT_END_C_HEADER __pragma(pack(pop))
#endif

#ifndef _VCRTIMP
#define _VCRTIMP __declspec(dllimport)
#endif

#define _CRT_STRINGIZE_(x) #x
#define _CRT_STRINGIZE(x) _CRT_STRINGIZE_(x)
#define _CRT_WIDE_(s) L##s
#define _CRT_WIDE(s) _CRT_WIDE_(s)
#define _CRT_CONCATENATE_(a, b) a##b
#define _CRT_CONCATENATE(a, b) _CRT_CONCATENATE_(a, b)
#define _CRT_UNPARENTHESIZE_(...) __VA_ARGS__
#define _CRT_UNPARENTHESIZE(...) _CRT_UNPARENTHESIZE_ __VA_ARGS__

#ifndef _VCRT_ALIGN
#define _VCRT_ALIGN(x) __declspec(align(x))
#endif
#ifndef _CRTALLOCATOR
#define _CRTALLOCATOR __declspec(allocator)
#endif
#ifndef _VCRT_NOALIAS
#define _VCRT_NOALIAS __declspec(noalias)
#endif
#ifndef _VCRT_RESTRICT
#define _VCRT_RESTRICT __declspec(restrict)
#endif
#ifndef _VCRT_ALLOCATOR
#define _VCRT_ALLOCATOR __declspec(allocator)
#endif
#define _CRT_NOINLINE __declspec(noinline)
#if defined(__has_cpp_attribute)
#if __has_cpp_attribute(msvc::constexpr)
#define _MSVC_CONSTEXPR [[msvc::constexpr]]
#endif
#endif
#ifndef _MSVC_CONSTEXPR
#define _MSVC_CONSTEXPR
#endif
// The standard library's satellite DLLs: msvcp140_1.dll (memory resources) and msvcp140_2.dll
// (special mathematical functions).
#define _CRT_SATELLITE_1 __declspec(dllimport)
#define _CRT_SATELLITE_2 __declspec(dllimport)
// The ids of the char16_t and char32_t conversion facets live in msvcp140_codecvt_ids.dll, which
// Wine does not have; nothing here converts through them.
#define _CRT_SATELLITE_CODECVT_IDS __declspec(dllimport)
#define _CRT_SATELLITE_CODECVT_IDS_NOIMPORT
#ifndef _ACRTIMP
#define _ACRTIMP __declspec(dllimport)
#endif
#define _CRT_GUARDOVERFLOW
#define _CRT_HYBRIDPATCHABLE
// memchr, strchr and kin return plain pointers: MinGW-w64's headers have no const overloads.
#define _CONST_RETURN
#define _CRT_UNUSED(x) (void)x
#define __CRTDECL __cdecl
#define __CLRCALL_PURE_OR_CDECL __cdecl
#define __CLRCALL_OR_CDECL __cdecl
#define __CLR_OR_THIS_CALL
#define _VCRUNTIME_DISABLED_WARNINGS 4514 4820
#define _UNALIGNED

#ifndef _CRT_DEPRECATE_TEXT
#define _CRT_DEPRECATE_TEXT(_Text) __declspec(deprecated(_Text))
#endif
#ifndef _CRT_INSECURE_DEPRECATE
#define _CRT_INSECURE_DEPRECATE(_Replacement)
#endif

// Exceptions on, as /EHsc builds everything here.
#ifndef _HAS_EXCEPTIONS
#define _HAS_EXCEPTIONS 1
#endif

// The standard modes, read from the compiler as Microsoft's header does (/std:c++20 sets
// _MSVC_LANG to 202002).
#ifdef _MSVC_LANG
#define _VCRT_LANG _MSVC_LANG
#else
#define _VCRT_LANG __cplusplus
#endif
#ifndef _HAS_CXX17
#if _VCRT_LANG > 201402L
#define _HAS_CXX17 1
#else
#define _HAS_CXX17 0
#endif
#endif
#ifndef _HAS_CXX20
#if _HAS_CXX17 && _VCRT_LANG > 201703L
#define _HAS_CXX20 1
#else
#define _HAS_CXX20 0
#endif
#endif
#ifndef _HAS_CXX23
#if _HAS_CXX20 && _VCRT_LANG > 202002L
#define _HAS_CXX23 1
#else
#define _HAS_CXX23 0
#endif
#endif
#ifndef _HAS_NODISCARD
#define _HAS_NODISCARD 1
#endif
#define _NODISCARD [[nodiscard]]

#ifndef _SIZE_T_DEFINED
#define _SIZE_T_DEFINED
typedef unsigned __int64 size_t;
#endif
#ifndef _PTRDIFF_T_DEFINED
#define _PTRDIFF_T_DEFINED
typedef __int64 ptrdiff_t;
#endif
#ifndef _INTPTR_T_DEFINED
#define _INTPTR_T_DEFINED
typedef __int64 intptr_t;
#endif
#ifndef _UINTPTR_T_DEFINED
#define _UINTPTR_T_DEFINED
typedef unsigned __int64 uintptr_t;
#endif
#ifndef _WCHAR_T_DEFINED
#define _WCHAR_T_DEFINED
#endif

#define _CRT_SECURE_INVALID_PARAMETER(expr) ::_invalid_parameter_noinfo_noreturn()

#ifdef __cplusplus
extern "C++" {
template <typename _CountofType, size_t _SizeOfArray>
char (*__countof_helper(_CountofType (&_Array)[_SizeOfArray]))[_SizeOfArray];
}
#define __crt_countof(_Array) (sizeof(*__countof_helper(_Array)) + 0)
#else
#define __crt_countof(_Array) (sizeof(_Array) / sizeof(_Array[0]))
#endif

#ifdef __cplusplus
extern "C" {
#endif
#ifdef _M_X64
void __cdecl __security_init_cookie(void);
#endif
void __cdecl __security_check_cookie(uintptr_t _StackCookie);
__declspec(noreturn) void __cdecl __report_gsfailure(uintptr_t _StackCookie);
extern uintptr_t __security_cookie;
__declspec(dllimport) __declspec(noreturn) void __cdecl _invalid_parameter_noinfo_noreturn(void);
#ifdef __cplusplus
}
#endif

#pragma pack(pop)
