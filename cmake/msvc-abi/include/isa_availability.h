// Which instruction set extensions the processor and the system support, as Microsoft's runtime
// publishes them to the standard library's vectorised algorithms: __isa_enabled holds one bit
// per level below, set at start-up (crt/cpu_features.cpp).
#pragma once

enum ISA_AVAILABILITY {
    __ISA_AVAILABLE_X86 = 0,
    __ISA_AVAILABLE_SSE2 = 1,
    __ISA_AVAILABLE_SSE42 = 2,
    __ISA_AVAILABLE_AVX = 3,
    __ISA_AVAILABLE_ENFSTRG = 4,
    __ISA_AVAILABLE_AVX2 = 5,
    __ISA_AVAILABLE_AVX512 = 6,
};

#ifdef __cplusplus
extern "C" {
#endif
extern int __isa_available;
extern long __isa_enabled;
#ifdef __cplusplus
}
#endif
