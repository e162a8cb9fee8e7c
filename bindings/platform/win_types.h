#pragma once
// The few Win32 types and constants the core names. On Windows they are the real ones; elsewhere
// they are stand-ins with the same types and values (RECT and POINT of 32-bit LONG, IDC_ARROW a
// resource pointer), so that code written against one compiles against the other.
//
// <windows.h> renames some functions to their W forms by macro (DrawText, GetTempPath,
// LoadLibrary, PathFileExists, ...). Our operations named after such a function carry the W name
// (GetTempPathW, LoadLibraryW, PathFileExistsW), so no macro touches them. DrawText keeps its
// Direct2D name: every header that declares or calls it includes this one first, so on Windows
// every translation unit sees the same DrawTextW.

#include <cstdint>

#if defined(_WIN32)
// Our own TUs include <windows.h> through here only; the host may have included it already.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else

struct HWND__;
using HWND = HWND__*;
using HRESULT = std::int32_t;
using UINT = std::uint32_t;
using UINT_PTR = std::uintptr_t;
using DWORD = std::uint32_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using LONG = std::int32_t;  // 32 bits on 64-bit Windows too
using ULONG_PTR = std::uintptr_t;
using LPCWSTR = const wchar_t*;

struct RECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};

struct POINT {
    LONG x;
    LONG y;
};

using TIMERPROC = void (*)(HWND, UINT, UINT_PTR, DWORD);
using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);
using LONG_PTR = std::intptr_t;
using ATOM = std::uint16_t;
struct HCURSOR__;
using HCURSOR = HCURSOR__*;

// What WM_NCCREATE and WM_CREATE carry in lParam; only the creation parameter is read here.
struct CREATESTRUCTW {
    void* lpCreateParams;
};

inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT S_FALSE = 1;
inline constexpr HRESULT E_NOTIMPL = static_cast<HRESULT>(0x80004001);
inline constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002);
inline constexpr HRESULT E_POINTER = static_cast<HRESULT>(0x80004003);
inline constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005);
inline constexpr HRESULT E_UNEXPECTED = static_cast<HRESULT>(0x8000FFFF);
inline constexpr HRESULT E_ACCESSDENIED = static_cast<HRESULT>(0x80070005);
inline constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057);
inline constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000E);
inline constexpr HRESULT RPC_E_CHANGED_MODE = static_cast<HRESULT>(0x80010106);
inline constexpr HRESULT REGDB_E_CLASSNOTREG = static_cast<HRESULT>(0x80040154);

inline constexpr UINT WM_CREATE = 0x0001;
inline constexpr UINT WM_DESTROY = 0x0002;
inline constexpr UINT WM_NCCREATE = 0x0081;
inline constexpr UINT WM_NCHITTEST = 0x0084;
inline constexpr UINT WM_TIMER = 0x0113;
inline constexpr UINT WM_MOUSEACTIVATE = 0x0021;
inline constexpr UINT WM_LBUTTONDOWN = 0x0201;
inline constexpr UINT WM_LBUTTONUP = 0x0202;

inline constexpr UINT CS_VREDRAW = 0x0001;
inline constexpr UINT CS_HREDRAW = 0x0002;
inline constexpr UINT CS_NOCLOSE = 0x0200;
inline constexpr DWORD WS_POPUP = 0x80000000u;
inline constexpr DWORD WS_EX_TRANSPARENT = 0x00000020;
inline constexpr DWORD WS_EX_LAYERED = 0x00080000;
inline constexpr DWORD WS_EX_NOREDIRECTIONBITMAP = 0x00200000;
inline constexpr int SW_HIDE = 0;
inline constexpr int SW_SHOWNA = 8;
inline constexpr UINT SWP_NOZORDER = 0x0004;
inline constexpr UINT SWP_NOREDRAW = 0x0008;
inline constexpr UINT SWP_NOACTIVATE = 0x0010;
inline constexpr int GWLP_USERDATA = -21;
inline constexpr LRESULT MA_ACTIVATE = 1;
inline constexpr LRESULT MA_NOACTIVATE = 3;
inline constexpr LRESULT HTTRANSPARENT = -1;
inline constexpr LRESULT HTCLIENT = 1;
// A standard cursor is named by a resource pointer that carries the id in its value.
inline const LPCWSTR IDC_ARROW = reinterpret_cast<LPCWSTR>(ULONG_PTR{32512});
inline constexpr UINT SPI_GETNONCLIENTMETRICS = 0x0029;

inline constexpr int VK_SHIFT = 0x10;
inline constexpr int VK_CONTROL = 0x11;

constexpr bool SUCCEEDED(HRESULT hr) {
    return hr >= 0;
}
constexpr bool FAILED(HRESULT hr) {
    return hr < 0;
}

#endif
