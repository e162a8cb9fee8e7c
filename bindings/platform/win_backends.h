#pragma once
// The Windows build's own backends, one per platform API, each a process-wide instance made on
// first use. DefaultServices() hands them out on Windows; the Windows tests reach them through
// it too. Each translates calls and errors and decides nothing; the thread rule of each is the
// one its interface states.

#include "bindings/com/com.h"
#include "bindings/files/files.h"
#include "bindings/keyboard/keyboard.h"
#include "bindings/package/package.h"
#include "bindings/render/render.h"
#include "bindings/wheel/wheel.h"
#include "bindings/window/window.h"

namespace Quarn::WinRT::platform {

// RegisterClassExW, CreateWindowExW, the window data, SetWindowPos, ShowWindow, the rectangles,
// SystemParametersInfoW, LoadCursorW, SetTimer and KillTimer (win32_window.cpp).
Windowing& Win32Windowing();
// GetKeyState (win32_keyboard.cpp).
Keyboard& Win32Keyboard();
// PathFileExistsW; icon streams from StorageFile.GetFileFromPathAsync, waited for, and
// RandomAccessStreamReference.CreateFromFile (win32_files.cpp).
FileSystem& Win32Files();
// GetCurrentPackageFullName (looked up at run time), SHGetKnownFolderPath, GetTempPathW, and
// a packaged process's folders from ApplicationData.Current (win32_package.cpp).
PackageEnvironment& Win32Package();
// LoadLibraryW, GetProcAddress, FreeLibrary, CoInitializeEx, FormatMessageW (win32_com.cpp).
ComRuntime& Win32Com();
// The Windows Runtime's wheel classes of Windows.UI.Input, reached through combase.dll looked up
// at run time (winrt_wheel.cpp). Where a class is not registered, asking for support raises
// PlatformError with REGDB_E_CLASSNOTREG.
WheelPlatform& WinRtWheel();
// The overlay's chain: Direct3D 11, DXGI, Direct2D, DirectComposition and DirectWrite
// (render/d3d_graphics.cpp).
render::Graphics& Direct3DGraphics();

// A Win32 error code (GetLastError) as an HRESULT, as HRESULT_FROM_WIN32 makes it.
constexpr HRESULT HResultFromWin32(DWORD error) {
    return error == 0 ? S_OK : static_cast<HRESULT>((error & 0x0000FFFFu) | 0x80070000u);
}

}  // namespace Quarn::WinRT::platform
