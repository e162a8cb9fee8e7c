#pragma once
// What the Windows tests need of a real Win32 process: a host window of the editor's kind, a
// message loop that dispatches until a condition holds or time runs out, and the system's folders.

#include <functional>
#include <string>
#include <vector>

#include <unknwn.h>

#include "bindings/platform/win_types.h"

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

// Dispatches the calling thread's messages (timers included) until `done` holds; false when
// `timeoutMs` passed first.
bool PumpUntil(const std::function<bool()>& done, unsigned timeoutMs);
// Dispatches the calling thread's messages for `ms` milliseconds.
void PumpFor(unsigned ms);

// The overlay windows ("DialOverlayWindow") that `owner` owns, in z-order.
std::vector<HWND> OverlayWindowsOf(HWND owner);

std::wstring ClassNameOf(HWND window);
std::wstring TitleOf(HWND window);

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
