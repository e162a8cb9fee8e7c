// The processor's instruction set levels for the standard library's vectorised algorithms, read
// once before any initialiser runs: AVX and above count only when the system saves their
// registers (XGETBV), as a processor may have them while the system does not.
#include <intrin.h>
#include <isa_availability.h>

#include "sections.h"

extern "C" {
int __isa_available = __ISA_AVAILABLE_X86;
long __isa_enabled = 1 << __ISA_AVAILABLE_X86;
}

namespace {
constexpr int kEcxSse42 = 1 << 20;
constexpr int kEcxOsxsave = 1 << 27;
constexpr int kEcxAvx = 1 << 28;
constexpr int kEbxAvx2 = 1 << 5;
constexpr int kEbxAvx512f = 1 << 16;
constexpr unsigned long long kXmmYmmState = 0x6;
constexpr unsigned long long kAvx512State = 0xE6;

void Enable(int level) {
    __isa_available = level;
    __isa_enabled |= 1 << level;
}

int __cdecl DetectInstructionSets() {
    int registers[4] = {};
    __cpuid(registers, 0);
    const int highestLeaf = registers[0];
    __cpuid(registers, 1);
    const int ecx = registers[2];
    Enable(__ISA_AVAILABLE_SSE2);  // every x64 processor has it
    if ((ecx & kEcxSse42) == 0) {
        return 0;
    }
    Enable(__ISA_AVAILABLE_SSE42);
    if ((ecx & kEcxOsxsave) == 0 || (ecx & kEcxAvx) == 0) {
        return 0;
    }
    const unsigned long long state = _xgetbv(0);
    if ((state & kXmmYmmState) != kXmmYmmState) {
        return 0;
    }
    Enable(__ISA_AVAILABLE_AVX);
    if (highestLeaf < 7) {
        return 0;
    }
    __cpuidex(registers, 7, 0);
    if ((registers[1] & kEbxAvx2) != 0) {
        Enable(__ISA_AVAILABLE_AVX2);
        if ((registers[1] & kEbxAvx512f) != 0 && (state & kAvx512State) == kAvx512State) {
            Enable(__ISA_AVAILABLE_AVX512);
        }
    }
    return 0;
}
}  // namespace

// First among the C initialisers, ahead of every C++ one. External, so that the compiler keeps it.
#pragma section(".CRT$XIC", long, read)
extern "C" __declspec(allocate(".CRT$XIC"))
    QuarnStatusInitialiser __quarn_detect_instruction_sets = DetectInstructionSets;
