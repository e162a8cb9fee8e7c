#pragma once
// What the Windows tests need of a real Win32 process: a host window of the editor's kind, a
// message loop that dispatches until a condition holds or time runs out, the system's folders,
// a COM apartment, Win32's windowing passed through, and a view that maps no point.

#include <functional>
#include <string>
#include <vector>

#include <objbase.h>

#include "bindings/platform/win_backends.h"
#include "bindings/platform/win_types.h"
#include "quarn/winrt/dial.h"

namespace Quarn::WinRT::testing {

// A top-level window of a class of its own, shown without activation; destroyed with the
// object unless a test destroyed it first.
class HostWindow {
public:
    explicit HostWindow(RECT rect);
    ~HostWindow();
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;

    HWND Handle() const { return m_window; }

private:
    HWND m_window = nullptr;
};

// The calling thread in a single-threaded apartment while it lives (or in whatever apartment
// the thread has already joined).
class ComApartment {
public:
    ComApartment() : m_init(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComApartment() {
        if (SUCCEEDED(m_init)) {
            CoUninitialize();
        }
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    HRESULT m_init;
};

// A view the puck is never over.
class NoViewCallbacks final : public IDialCallbacks {
public:
    bool ComputeDialCentres(const Kernel::PointT<double>&, Kernel::PointT<double>&,
                            Kernel::PointT<double>&) override {
        return false;
    }
};

// Win32's windowing, every call passed through; a test overrides what it watches or changes.
class ForwardingWindowing : public platform::Windowing {
public:
    RECT GetWindowRect(HWND w) override { return m_real.GetWindowRect(w); }
    bool GetClientRect(HWND w, RECT* r) override { return m_real.GetClientRect(w, r); }
    bool ScreenToClient(HWND w, POINT* p) override { return m_real.ScreenToClient(w, p); }
    ATOM RegisterWindowClass(const platform::WindowClass& c) override {
        return m_real.RegisterWindowClass(c);
    }
    HCURSOR LoadStandardCursor(LPCWSTR id) override { return m_real.LoadStandardCursor(id); }
    HWND CreateWindowFrom(const platform::WindowCreation& c) override {
        return m_real.CreateWindowFrom(c);
    }
    bool DestroyWindow(HWND w) override { return m_real.DestroyWindow(w); }
    bool IsWindow(HWND w) override { return m_real.IsWindow(w); }
    LRESULT DefaultWindowProc(HWND w, UINT m, WPARAM wp, LPARAM lp) override {
        return m_real.DefaultWindowProc(w, m, wp, lp);
    }
    LONG_PTR SetWindowData(HWND w, int i, LONG_PTR v) override {
        return m_real.SetWindowData(w, i, v);
    }
    LONG_PTR GetWindowData(HWND w, int i) override { return m_real.GetWindowData(w, i); }
    bool ShowWindow(HWND w, int c) override { return m_real.ShowWindow(w, c); }
    bool SetWindowPos(HWND w, HWND a, int x, int y, int cx, int cy, UINT f) override {
        return m_real.SetWindowPos(w, a, x, y, cx, cy, f);
    }
    bool GetMenuFontFace(std::u16string* f) override { return m_real.GetMenuFontFace(f); }
    UINT_PTR SetTimer(HWND w, UINT_PTR id, UINT ms, TIMERPROC p) override {
        return m_real.SetTimer(w, id, ms, p);
    }
    bool KillTimer(HWND w, UINT_PTR id) override { return m_real.KillTimer(w, id); }

private:
    platform::Windowing& m_real = platform::Win32Windowing();
};

// Dispatches the calling thread's messages (timers included) until `done` holds; false when
// `timeoutMs` passed first.
bool PumpUntil(const std::function<bool()>& done, unsigned timeoutMs);

std::wstring ClassNameOf(HWND window);

// Whether `object` answers IMarshal with the free-threaded marshaller, which marshals it within
// the process as its own pointer: what makes an agile object agile when COM marshals it.
bool MarshalsFreeThreaded(IUnknown* object);

// A null-terminated UTF-16 text in UTF-8.
std::string Utf8(const wchar_t* text);
// SHGetKnownFolderPath of the folder in UTF-8; empty when Wine has no such folder.
std::string KnownFolder(const GUID& id);

// Names of Quarn.WinRT.dll's exports that tests look up by name, as the compiler that built it
// mangles them: Microsoft's ABI (Visual Studio, clang-cl) or GCC's (MinGW-w64).
namespace exported {
#if defined(_MSC_VER)
inline constexpr char kCreateContext[] = "?CreateContext@WinRT@Quarn@@YAPEAX_N@Z";
inline constexpr char kDestroyContext[] = "?DestroyContext@WinRT@Quarn@@YAXPEAX@Z";
inline constexpr char kIsSandboxed[] = "?IsSandboxed@Package@WinRT@Quarn@@SA_NXZ";
inline constexpr char kCreateDial[] =
    "?CreateDial@Factory@WinRT@Quarn@@SA?AV?$Counted@UIDial@WinRT@Quarn@@@Kernel@@PEAXPEAUHWND__@@"
    "PEAUIDialCallbacks@23@@Z";
#else
inline constexpr char kCreateContext[] = "_ZN5Quarn5WinRT13CreateContextEb";
inline constexpr char kDestroyContext[] = "_ZN5Quarn5WinRT14DestroyContextEPv";
inline constexpr char kIsSandboxed[] = "_ZN5Quarn5WinRT7Package11IsSandboxedEv";
inline constexpr char kCreateDial[] =
    "_ZN5Quarn5WinRT7Factory10CreateDialEPvP6HWND__PNS0_14IDialCallbacksE";
#endif
}  // namespace exported

}  // namespace Quarn::WinRT::testing
