// Windows, window classes, window data and timers from Win32. Every call is the function of the
// same name; strings become null-terminated wide strings for the call.
#include <string>

#include "bindings/platform/error.h"
#include "bindings/platform/win_backends.h"

namespace Quarn::WinRT::platform {

namespace {

std::wstring Terminated(std::u16string_view text) {
    return std::wstring(text.begin(), text.end());
}

// The menu font is in NONCLIENTMETRICSW as Windows Vista and later lay it out: 504 bytes, with
// the padded border width at the end.
constexpr UINT kNonClientMetricsSize = 504;
static_assert(sizeof(NONCLIENTMETRICSW) == kNonClientMetricsSize);

class Win32WindowingBackend final : public Windowing {
public:
    RECT GetWindowRect(HWND window) override {
        RECT rect{};
        if (!::GetWindowRect(window, &rect)) {
            throw PlatformError(HResultFromWin32(::GetLastError()),
                                "The window's rectangle cannot be read.");
        }
        return rect;
    }

    bool GetClientRect(HWND window, RECT* rect) override {
        return ::GetClientRect(window, rect) != FALSE;
    }

    bool ScreenToClient(HWND window, POINT* point) override {
        return ::ScreenToClient(window, point) != FALSE;
    }

    ATOM RegisterWindowClass(const WindowClass& windowClass) override {
        const std::wstring className = Terminated(windowClass.className);
        WNDCLASSEXW description{};
        description.cbSize = windowClass.size;
        description.style = windowClass.style;
        description.lpfnWndProc = windowClass.windowProc;
        description.cbClsExtra = windowClass.classExtraBytes;
        description.cbWndExtra = windowClass.windowExtraBytes;
        description.hInstance = static_cast<HINSTANCE>(windowClass.instance);
        description.hIcon = static_cast<HICON>(windowClass.icon);
        description.hCursor = windowClass.cursor;
        description.hbrBackground = static_cast<HBRUSH>(windowClass.background);
        description.lpszMenuName = reinterpret_cast<LPCWSTR>(windowClass.menuName);
        description.lpszClassName = className.c_str();
        description.hIconSm = static_cast<HICON>(windowClass.smallIcon);
        return ::RegisterClassExW(&description);
    }

    HCURSOR LoadStandardCursor(LPCWSTR id) override { return ::LoadCursorW(nullptr, id); }

    HWND CreateWindowFrom(const WindowCreation& creation) override {
        const std::wstring className = Terminated(creation.className);
        const std::wstring title = Terminated(creation.title);
        return ::CreateWindowExW(creation.exStyle, className.c_str(), title.c_str(), creation.style,
                                 creation.x, creation.y, creation.width, creation.height,
                                 creation.owner, nullptr, static_cast<HINSTANCE>(creation.instance),
                                 creation.createParam);
    }

    bool DestroyWindow(HWND window) override { return ::DestroyWindow(window) != FALSE; }
    bool IsWindow(HWND window) override { return ::IsWindow(window) != FALSE; }

    LRESULT DefaultWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override {
        return ::DefWindowProcW(window, message, wParam, lParam);
    }

    LONG_PTR SetWindowData(HWND window, int index, LONG_PTR value) override {
        return ::SetWindowLongPtrW(window, index, value);
    }

    LONG_PTR GetWindowData(HWND window, int index) override {
        return ::GetWindowLongPtrW(window, index);
    }

    bool ShowWindow(HWND window, int command) override {
        return ::ShowWindow(window, command) != FALSE;
    }

    bool SetWindowPos(HWND window, HWND insertAfter, int x, int y, int width, int height,
                      UINT flags) override {
        return ::SetWindowPos(window, insertAfter, x, y, width, height, flags) != FALSE;
    }

    // SystemParametersInfoW may be called from any thread: the render thread asks this.
    bool GetMenuFontFace(std::u16string* faceName) override {
        if (!faceName) {
            return false;
        }
        NONCLIENTMETRICSW metrics{};
        metrics.cbSize = kNonClientMetricsSize;
        if (!::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, kNonClientMetricsSize, &metrics, 0)) {
            return false;
        }
        faceName->clear();
        for (const wchar_t* c = metrics.lfMenuFont.lfFaceName; *c; ++c) {
            faceName->push_back(static_cast<char16_t>(*c));
        }
        return true;
    }

    UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT milliseconds, TIMERPROC proc) override {
        return ::SetTimer(window, id, milliseconds, proc);
    }

    bool KillTimer(HWND window, UINT_PTR id) override { return ::KillTimer(window, id) != FALSE; }
};

}  // namespace

Windowing& Win32Windowing() {
    static Win32WindowingBackend windowing;
    return windowing;
}

}  // namespace Quarn::WinRT::platform
