#pragma once
// What the Windows tests need of a real Win32 process: a host window of the editor's kind, a
// message loop that dispatches until a condition holds or time runs out, the system's folders
// and a COM apartment.

#include <functional>
#include <string>

#include <objbase.h>

#include "bindings/platform/win_backends.h"
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

// The calling thread in a single-threaded apartment while it lives (or in whatever apartment
// the thread has already joined).
struct ComApartment {
    ~ComApartment() {
        if (SUCCEEDED(init)) {
            CoUninitialize();
        }
    }
    const HRESULT init = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
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

}  // namespace Quarn::WinRT::testing
