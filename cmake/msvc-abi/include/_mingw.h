// MinGW-w64's base header, as the clang-cl build reads MinGW-w64's C runtime and Windows SDK
// headers. Under _MSC_VER it would blank __attribute__ (which clang's own intrinsic headers
// need) and leave __CRT_UUID_DECL empty, so that __uuidof finds no interface's GUID. After it,
// __attribute__ is the compiler's again and __uuidof reads the GUIDs the SDK headers attach
// with __CRT_UUID_DECL, through MinGW-w64's own template. (So a type with only a
// __declspec(uuid) has no __uuidof in this build; none of ours relies on one.)
#pragma once
#include_next <_mingw.h>

#undef __attribute__
// Attributes it spells with __declspec after a declarator, where C++ has no place for them: the
// forms MinGW-w64 gives GCC, which clang understands in every mode.
#undef __MINGW_NOTHROW
#define __MINGW_NOTHROW __attribute__((__nothrow__))
#undef __MINGW_ATTRIB_DEPRECATED
#define __MINGW_ATTRIB_DEPRECATED __attribute__((__deprecated__))
#undef __MINGW_ATTRIB_DEPRECATED_MSG
#define __MINGW_ATTRIB_DEPRECATED_MSG(x) __attribute__((__deprecated__(x)))
#undef __MINGW_ATTRIB_MALLOC
#define __MINGW_ATTRIB_MALLOC __attribute__((__malloc__))
#undef __MINGW_ATTRIB_NORETURN
#define __MINGW_ATTRIB_NORETURN __attribute__((__noreturn__))
#undef USE___UUIDOF
#define USE___UUIDOF 0

#ifdef __cplusplus
extern "C++" {
template <typename T>
struct __mingw_uuidof_s;
template <typename T>
constexpr const struct _GUID& __mingw_uuidof();
}
#undef __CRT_UUID_DECL
#define __CRT_UUID_DECL(type, l, w1, w2, b1, b2, b3, b4, b5, b6, b7, b8)                  \
    extern "C++" {                                                                        \
    template <>                                                                           \
    struct __mingw_uuidof_s<type> {                                                       \
        static constexpr IID __uuid_inst = {l, w1, w2, {b1, b2, b3, b4, b5, b6, b7, b8}}; \
    };                                                                                    \
    template <>                                                                           \
    constexpr const GUID& __mingw_uuidof<type>() {                                        \
        return __mingw_uuidof_s<type>::__uuid_inst;                                       \
    }                                                                                     \
    template <>                                                                           \
    constexpr const GUID& __mingw_uuidof<type*>() {                                       \
        return __mingw_uuidof_s<type>::__uuid_inst;                                       \
    }                                                                                     \
    }
#define __uuidof(type) __mingw_uuidof<__typeof(type)>()
#endif
