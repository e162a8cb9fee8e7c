// MinGW-w64's stdlib.h, with the overloads of abs and div for long and long long that the
// Universal C Runtime's header declares in C++, and that <cstdlib> expects to find there.
#pragma once
#include_next <stdlib.h>

#ifdef __cplusplus
extern "C++" {
[[nodiscard]] inline long abs(long const _X) noexcept {
    return labs(_X);
}
[[nodiscard]] inline long long abs(long long const _X) noexcept {
    return llabs(_X);
}
[[nodiscard]] inline ldiv_t div(long const _A1, long const _A2) noexcept {
    return ldiv(_A1, _A2);
}
[[nodiscard]] inline lldiv_t div(long long const _A1, long long const _A2) noexcept {
    return lldiv(_A1, _A2);
}
}
#endif
