// The stack-protection cookie (/GS): one random value per module, checked in every function with
// a buffer on its stack; a mismatch ends the process at once through the runtime.
#include <vcruntime.h>
#include <windows.h>

namespace {
// The value the compiler's documentation gives for a cookie not yet initialised.
constexpr uintptr_t kDefaultCookie = 0x00002B992DDFA232ull;
}  // namespace

extern "C" {
uintptr_t __security_cookie = kDefaultCookie;
uintptr_t __security_cookie_complement = ~kDefaultCookie;

// Without a cookie of its own: it changes the value its own check would compare with.
__declspec(safebuffers) void __cdecl __security_init_cookie() {
    if (__security_cookie != kDefaultCookie) {
        return;
    }
    FILETIME time{};
    GetSystemTimeAsFileTime(&time);
    LARGE_INTEGER counter{};
    QueryPerformanceCounter(&counter);
    uintptr_t cookie = (static_cast<uintptr_t>(time.dwHighDateTime) << 32) ^ time.dwLowDateTime;
    cookie ^= GetCurrentThreadId();
    cookie ^= GetCurrentProcessId();
    cookie ^= (static_cast<uintptr_t>(counter.LowPart) << 32) ^ counter.QuadPart;
    cookie ^= reinterpret_cast<uintptr_t>(&cookie);
    cookie &= 0x0000FFFFFFFFFFFFull;  // the top 16 bits stay zero, as the runtime's do
    if (cookie == kDefaultCookie) {
        ++cookie;
    }
    __security_cookie = cookie;
    __security_cookie_complement = ~cookie;
}

void __cdecl __security_check_cookie(uintptr_t cookie) {
    if (cookie != __security_cookie) {
        __report_gsfailure(cookie);
    }
}
}
