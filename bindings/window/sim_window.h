#pragma once
// The simulated window table, window classes and messages, and Win32-style timers on the
// virtual clock.
//
// Windows are stacked in creation order, the last created on top. Messages are delivered
// synchronously to the window procedure on the calling (host) thread. The driver moves the
// mouse with WindowFromPoint and Click, which hit-test with WM_NCHITTEST as Win32 does: a window
// that answers HTTRANSPARENT lets the point through to the windows below.
//
// Timers fire only when the driver advances the clock: every timer whose time has come runs, in
// the order of its due time (ties in the order they were set), each on the calling (host)
// thread, and a periodic timer is due again one interval later. A timer procedure may set or
// kill timers, including its own.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "bindings/sim/fault.h"
#include "bindings/sim/virtual_clock.h"
#include "bindings/window/window.h"

namespace Quarn::WinRT::sim {

namespace ops {
inline constexpr std::string_view kGetWindowRect = "GetWindowRect";
inline constexpr std::string_view kSetTimer = "SetTimer";
inline constexpr std::string_view kKillTimer = "KillTimer";
inline constexpr std::string_view kRegisterClassExW = "RegisterClassExW";
inline constexpr std::string_view kCreateWindowExW = "CreateWindowExW";
inline constexpr std::string_view kSetWindowPos = "SetWindowPos";
// Fails as Win32 does for a window of another thread: the window stays, and so does its data.
inline constexpr std::string_view kDestroyWindow = "DestroyWindow";
inline constexpr std::string_view kSystemParametersInfoW = "SystemParametersInfoW";
}  // namespace ops

struct SimWindow {
    HWND handle = nullptr;
    RECT rect{};
    HWND owner = nullptr;
    std::string title;
    std::u16string className;
    DWORD style = 0;
    DWORD exStyle = 0;
    WNDPROC proc = nullptr;
    LONG_PTR userData = 0;
    bool visible = false;
    int lastShowCommand = -1;
    UINT lastPositionFlags = 0;
};

struct SimWindowClass {
    std::u16string name;
    UINT style = 0;
    WNDPROC proc = nullptr;
    HCURSOR cursor = nullptr;
};

struct SimTimer {
    HWND window = nullptr;
    UINT_PTR id = 0;
    UINT interval = 0;
    TIMERPROC proc = nullptr;
    std::int64_t dueMs = 0;
    std::uint64_t order = 0;
};

class SimWindowing final : public platform::Windowing {
public:
    // Win32 raises shorter intervals to this minimum.
    static constexpr UINT kMinimumInterval = 10;
    // The cursor handle LoadStandardCursor gives for IDC_ARROW.
    static HCURSOR ArrowCursor() { return reinterpret_cast<HCURSOR>(std::uintptr_t{0x10003}); }

    SimWindowing(VirtualClock& clock, FaultInjector& faults) : m_clock(clock), m_faults(faults) {}

    // A visible top-level window without a procedure, as the host's main window is.
    HWND CreateHostWindow(RECT rect, std::string title = "Host", HWND owner = nullptr);
    void MoveWindow(HWND window, RECT rect);
    const SimWindow* Find(HWND window) const;
    const std::vector<SimWindow>& Windows() const { return m_windows; }
    const std::vector<SimWindowClass>& Classes() const { return m_classes; }
    // The windows that `owner` owns, in stacking order.
    std::vector<HWND> OwnedWindows(HWND owner) const;

    // Delivers a message to the window's procedure; 0 for a window without one.
    LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // The topmost visible window under the screen point that does not answer HTTRANSPARENT.
    HWND WindowFromPoint(POINT screen);
    // A left click at the screen point: WM_MOUSEACTIVATE, then WM_LBUTTONDOWN and WM_LBUTTONUP
    // in client coordinates, to the window WindowFromPoint finds. The window becomes active
    // unless it answers MA_NOACTIVATE. Returns the window clicked (null: none).
    HWND Click(POINT screen);
    HWND ActiveWindow() const { return m_active; }

    // Called with the window before it is sent WM_DESTROY, so that what presents into it can
    // let go first (the simulated swap chains stop waiting for frames).
    void SetDestroyListener(std::function<void(HWND)> listener) {
        m_destroyListener = std::move(listener);
    }
    void SetMenuFontFace(std::u16string face) { m_menuFontFace = std::move(face); }

    // Moves the clock forward by `ms`, running the timers that come due on the way.
    void Advance(std::int64_t ms);
    const std::vector<SimTimer>& Timers() const { return m_timers; }
    const SimTimer* FindTimer(HWND window, UINT_PTR id) const;

    RECT GetWindowRect(HWND window) override;
    bool GetClientRect(HWND window, RECT* rect) override;
    bool ScreenToClient(HWND window, POINT* point) override;
    ATOM RegisterWindowClass(const platform::WindowClass& windowClass) override;
    HCURSOR LoadStandardCursor(LPCWSTR id) override;
    HWND CreateWindowFrom(const platform::WindowCreation& creation) override;
    bool DestroyWindow(HWND window) override;
    bool IsWindow(HWND window) override { return Find(window) != nullptr; }
    LRESULT DefaultWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    LONG_PTR SetWindowData(HWND window, int index, LONG_PTR value) override;
    LONG_PTR GetWindowData(HWND window, int index) override;
    bool ShowWindow(HWND window, int command) override;
    bool SetWindowPos(HWND window, HWND insertAfter, int x, int y, int width, int height,
                      UINT flags) override;
    bool GetMenuFontFace(std::u16string* faceName) override;
    UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT milliseconds, TIMERPROC proc) override;
    bool KillTimer(HWND window, UINT_PTR id) override;

private:
    SimWindow* FindMutable(HWND window);
    HWND NewHandle();

    VirtualClock& m_clock;
    FaultInjector& m_faults;
    std::vector<SimWindow> m_windows;
    std::vector<SimWindowClass> m_classes;
    std::vector<SimTimer> m_timers;
    std::function<void(HWND)> m_destroyListener;
    std::u16string m_menuFontFace = u"DejaVu Sans";
    HWND m_active = nullptr;
    std::uintptr_t m_nextHandle = 0x10010;
    std::uint64_t m_nextOrder = 0;
};

}  // namespace Quarn::WinRT::sim
