#pragma once
// COM and the modules it lives in, as the core uses them: a probe for the Windows Runtime's
// library, and the apartment of the calling thread. Every call fails the Win32 way.
//
// Thread rule: any thread; CoInitializeEx acts on the calling thread's apartment.

#include <string>
#include <string_view>

#include "bindings/platform/win_types.h"

namespace Quarn::WinRT::platform {

// COINIT values.
inline constexpr DWORD kCoInitMultiThreaded = 0x0;
inline constexpr DWORD kCoInitApartmentThreaded = 0x2;

// The library that carries RoInitialize and RoGetActivationFactory; present from Windows 8.
inline constexpr std::u16string_view kWindowsRuntimeLibrary = u"api-ms-win-core-winrt-l1-1-0.dll";

struct ModuleTag;
using ModuleHandle = ModuleTag*;  // HMODULE
using ProcAddress = void (*)();   // FARPROC

class ComRuntime {
public:
    virtual ~ComRuntime() = default;

    // As LoadLibraryW: null when the module cannot be loaded.
    virtual ModuleHandle LoadLibraryW(std::u16string_view fileName) = 0;
    // As GetProcAddress: null when the module has no such export.
    virtual ProcAddress GetProcAddress(ModuleHandle module, const char* procName) = 0;
    // As FreeLibrary: false for a handle that is not loaded.
    virtual bool FreeLibrary(ModuleHandle module) = 0;

    // As CoInitializeEx: S_OK for a thread's first initialisation, S_FALSE when its apartment
    // already has this model, RPC_E_CHANGED_MODE when it has the other one.
    virtual HRESULT CoInitializeEx(void* reserved, DWORD coInit) = 0;

    // The system's text for `code`, as FormatMessageW gives it without the trailing line
    // break; empty when the system has none.
    virtual std::u16string ErrorMessage(HRESULT code) = 0;
};

}  // namespace Quarn::WinRT::platform
