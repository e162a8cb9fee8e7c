#pragma once
// Win32 windows and timers as the core uses them.
//
// Thread rule: called on the thread that owns the window. Timer procedures run on that thread,
// from its message dispatch, never re-entrantly from SetTimer or KillTimer.

#include "bindings/platform/win_types.h"

namespace Quarn::WinRT::platform {

class Windowing {
public:
    virtual ~Windowing() = default;

    // The window's outer rectangle in screen pixels; raises PlatformError for an unknown window.
    virtual RECT GetWindowRect(HWND window) = 0;

    // Starts, or restarts with a new interval, the timer `id` of `window`. A periodic timer:
    // it fires every `milliseconds` until killed. Returns 0 when the window is unknown.
    virtual UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT milliseconds, TIMERPROC proc) = 0;
    // False when no such timer runs.
    virtual bool KillTimer(HWND window, UINT_PTR id) = 0;
};

}  // namespace Quarn::WinRT::platform
