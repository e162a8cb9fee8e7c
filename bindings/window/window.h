#pragma once
// Win32 windows, window classes, messages and timers as the core uses them. Each operation is
// the Win32 function of the same name, or the one its comment names (where Win32's name is a
// macro of <windows.h>, such as DefWindowProc or SetWindowLongPtr); failures are reported the Win32
// way (a null, zero or false result), never raised, except where a comment says otherwise.
//
// Thread rule: every operation on a window or a timer is called on the thread that owns the
// window; window and timer procedures run on that thread, from its message dispatch, never
// re-entrantly from SetTimer or KillTimer. The one exception is GetMenuFontFace, which reads a
// system setting that belongs to no window: the render thread asks it for the overlays' label
// font, so a backend answers it on any thread.

#include <string>
#include <string_view>

#include "bindings/platform/win_types.h"

namespace Quarn::WinRT::platform {

// Win32 holds a window's position to this range and its width and height to 0 through the
// maximum before it moves the window: WM_MOVE and WM_SIZE carry them as 16-bit halves.
inline constexpr int kMinWindowCoordinate = -32768;
inline constexpr int kMaxWindowCoordinate = 32767;

// WNDCLASSEXW's fields, with the class name as a string.
struct WindowClass {
    UINT size = 80;
    UINT style = 0;
    WNDPROC windowProc = nullptr;
    int classExtraBytes = 0;
    int windowExtraBytes = 0;
    void* instance = nullptr;
    void* icon = nullptr;
    HCURSOR cursor = nullptr;
    void* background = nullptr;
    const char16_t* menuName = nullptr;
    std::u16string_view className;
    void* smallIcon = nullptr;
};

struct WindowCreation {
    DWORD exStyle = 0;
    std::u16string_view className;
    std::u16string_view title;
    DWORD style = 0;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    HWND owner = nullptr;
    void* instance = nullptr;
    void* createParam = nullptr;  // handed to WM_NCCREATE and WM_CREATE in CREATESTRUCTW
};

class Windowing {
public:
    virtual ~Windowing() = default;

    // The window's outer rectangle in screen pixels; raises PlatformError for an unknown window.
    virtual RECT GetWindowRect(HWND window) = 0;
    virtual bool GetClientRect(HWND window, RECT* rect) = 0;
    virtual bool ScreenToClient(HWND window, POINT* point) = 0;

    // RegisterClassExW: 0 when the class cannot be registered, for instance because it already is.
    virtual ATOM RegisterWindowClass(const WindowClass& windowClass) = 0;
    // LoadCursorW with a null instance and a standard cursor such as IDC_ARROW.
    virtual HCURSOR LoadStandardCursor(LPCWSTR id) = 0;
    // CreateWindowExW: sends WM_NCCREATE and WM_CREATE before it returns; null when creation fails.
    virtual HWND CreateWindowFrom(const WindowCreation& creation) = 0;
    // Destroys the windows it owns first, then sends WM_DESTROY to it.
    virtual bool DestroyWindow(HWND window) = 0;
    virtual bool IsWindow(HWND window) = 0;
    // DefWindowProcW, and SetWindowLongPtrW / GetWindowLongPtrW below.
    virtual LRESULT DefaultWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) = 0;
    virtual LONG_PTR SetWindowData(HWND window, int index, LONG_PTR value) = 0;
    virtual LONG_PTR GetWindowData(HWND window, int index) = 0;
    virtual bool ShowWindow(HWND window, int command) = 0;
    virtual bool SetWindowPos(HWND window, HWND insertAfter, int x, int y, int width, int height,
                              UINT flags) = 0;

    // SystemParametersInfoW(SPI_GETNONCLIENTMETRICS) with a 504-byte NONCLIENTMETRICSW: the
    // face name of the menu font. False when the call fails. Any thread (see above).
    virtual bool GetMenuFontFace(std::u16string* faceName) = 0;

    // Starts, or restarts with a new interval, the timer `id` of `window`. A periodic timer:
    // it fires every `milliseconds` until killed. Returns 0 when the window is unknown.
    virtual UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT milliseconds, TIMERPROC proc) = 0;
    // False when no such timer runs.
    virtual bool KillTimer(HWND window, UINT_PTR id) = 0;
};

// The coordinates of a mouse message's lParam: x is the sign-extended low word, y the
// arithmetic shift of the low 32 bits by 16, so points left of or above the primary monitor
// keep their sign.
inline POINT PointFromLParam(LPARAM lParam) {
    const auto low32 = static_cast<std::int32_t>(static_cast<std::uint32_t>(lParam & 0xFFFFFFFF));
    return POINT{static_cast<std::int16_t>(low32 & 0xFFFF), low32 >> 16};
}

inline LPARAM LParamFromPoint(int x, int y) {
    const std::uint32_t packed =
        (static_cast<std::uint32_t>(y) << 16) | (static_cast<std::uint32_t>(x) & 0xFFFF);
    return static_cast<LPARAM>(static_cast<std::int32_t>(packed));
}

}  // namespace Quarn::WinRT::platform
