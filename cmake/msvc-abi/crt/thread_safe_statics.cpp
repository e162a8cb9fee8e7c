// Thread-safe initialisation of function-local statics, as the compiler's code expects it: a
// guard word per static, 0 before, -1 while a thread initialises it, then the global epoch at the
// time it was done. A thread whose own epoch is at least the guard's has seen it done and skips
// the call; others come here, wait for the initialising thread, and catch up.
#include <windows.h>
#include <climits>

namespace {
constexpr int kUninitialised = 0;
constexpr int kBeingInitialised = -1;

SRWLOCK g_lock = SRWLOCK_INIT;
CONDITION_VARIABLE g_done = CONDITION_VARIABLE_INIT;
}  // namespace

extern "C" {
int _Init_global_epoch = INT_MIN;
__declspec(thread) int _Init_thread_epoch = INT_MIN;

void __cdecl _Init_thread_header(int* const guard) noexcept {
    AcquireSRWLockExclusive(&g_lock);
    if (*guard == kUninitialised) {
        *guard = kBeingInitialised;
    } else {
        while (*guard == kBeingInitialised) {
            SleepConditionVariableSRW(&g_done, &g_lock, INFINITE, 0);
            // The initialiser threw: this thread takes its turn.
            if (*guard == kUninitialised) {
                *guard = kBeingInitialised;
                ReleaseSRWLockExclusive(&g_lock);
                return;
            }
        }
        _Init_thread_epoch = _Init_global_epoch;
    }
    ReleaseSRWLockExclusive(&g_lock);
}

void __cdecl _Init_thread_footer(int* const guard) noexcept {
    AcquireSRWLockExclusive(&g_lock);
    ++_Init_global_epoch;
    *guard = _Init_global_epoch;
    _Init_thread_epoch = _Init_global_epoch;
    ReleaseSRWLockExclusive(&g_lock);
    WakeAllConditionVariable(&g_done);
}

void __cdecl _Init_thread_abort(int* const guard) noexcept {
    AcquireSRWLockExclusive(&g_lock);
    *guard = kUninitialised;
    ReleaseSRWLockExclusive(&g_lock);
    WakeAllConditionVariable(&g_done);
}
}
