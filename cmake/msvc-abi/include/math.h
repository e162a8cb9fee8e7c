// MinGW-w64's math.h, with the classification and comparison macros of C replaced by the
// overloaded functions the Universal C Runtime's header declares in C++ and the standard
// library's <cmath> brings into std. They are the compiler's built-ins: nothing to import.
#pragma once
#include_next <math.h>

#ifdef __cplusplus
#undef fpclassify
#undef signbit
#undef isfinite
#undef isinf
#undef isnan
#undef isnormal
#undef isgreater
#undef isgreaterequal
#undef isless
#undef islessequal
#undef islessgreater
#undef isunordered

extern "C++" {
#define _QUARN_CLASSIFY(T)                                                                      \
    [[nodiscard]] inline int fpclassify(T _X) noexcept {                                        \
        return __builtin_fpclassify(FP_NAN, FP_INFINITE, FP_NORMAL, FP_SUBNORMAL, FP_ZERO, _X); \
    }                                                                                           \
    [[nodiscard]] inline bool signbit(T _X) noexcept {                                          \
        return __builtin_signbit(_X);                                                           \
    }                                                                                           \
    [[nodiscard]] inline bool isfinite(T _X) noexcept {                                         \
        return __builtin_isfinite(_X);                                                          \
    }                                                                                           \
    [[nodiscard]] inline bool isinf(T _X) noexcept {                                            \
        return __builtin_isinf(_X);                                                             \
    }                                                                                           \
    [[nodiscard]] inline bool isnan(T _X) noexcept {                                            \
        return __builtin_isnan(_X);                                                             \
    }                                                                                           \
    [[nodiscard]] inline bool isnormal(T _X) noexcept {                                         \
        return __builtin_isnormal(_X);                                                          \
    }                                                                                           \
    [[nodiscard]] inline bool isgreater(T _X, T _Y) noexcept {                                  \
        return __builtin_isgreater(_X, _Y);                                                     \
    }                                                                                           \
    [[nodiscard]] inline bool isgreaterequal(T _X, T _Y) noexcept {                             \
        return __builtin_isgreaterequal(_X, _Y);                                                \
    }                                                                                           \
    [[nodiscard]] inline bool isless(T _X, T _Y) noexcept {                                     \
        return __builtin_isless(_X, _Y);                                                        \
    }                                                                                           \
    [[nodiscard]] inline bool islessequal(T _X, T _Y) noexcept {                                \
        return __builtin_islessequal(_X, _Y);                                                   \
    }                                                                                           \
    [[nodiscard]] inline bool islessgreater(T _X, T _Y) noexcept {                              \
        return __builtin_islessgreater(_X, _Y);                                                 \
    }                                                                                           \
    [[nodiscard]] inline bool isunordered(T _X, T _Y) noexcept {                                \
        return __builtin_isunordered(_X, _Y);                                                   \
    }
_QUARN_CLASSIFY(float)
_QUARN_CLASSIFY(double)
_QUARN_CLASSIFY(long double)
#undef _QUARN_CLASSIFY
}
#endif
