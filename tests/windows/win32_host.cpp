#include "tests/windows/win32_host.h"

#include <objbase.h>
#include <shlobj.h>

#include <wrl/client.h>

namespace Quarn::WinRT::testing {

// A window of the system's own static class: the tests need only its handle, its rectangle
// and its message queue.
HostWindow::HostWindow(RECT rect)
    : m_window(CreateWindowExW(0, L"STATIC", L"Editor", WS_OVERLAPPEDWINDOW, rect.left, rect.top,
                               rect.right - rect.left, rect.bottom - rect.top, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr)) {
    ShowWindow(m_window, SW_SHOWNA);
}

HostWindow::~HostWindow() {
    if (IsWindow(m_window)) {
        DestroyWindow(m_window);
    }
}

bool PumpUntil(const std::function<bool()>& done, unsigned timeoutMs) {
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    while (!done()) {
        const ULONGLONG now = GetTickCount64();
        if (now >= end) {
            return false;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now), QS_ALLINPUT);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageW(&message);
        }
    }
    return true;
}

std::wstring ClassNameOf(HWND window) {
    wchar_t name[256] = {};
    return std::wstring(name, static_cast<std::size_t>(GetClassNameW(window, name, 256)));
}

std::string Utf8(const wchar_t* text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size > 0 ? size : 1), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), size, nullptr, nullptr);
    out.pop_back();  // the null
    return out;
}

std::string KnownFolder(const GUID& id) {
    PWSTR path = nullptr;
    const std::string result =
        SUCCEEDED(SHGetKnownFolderPath(id, 0, nullptr, &path)) ? Utf8(path) : "";
    CoTaskMemFree(path);
    return result;
}

bool MarshalsFreeThreaded(IUnknown* object) {
    // CLSID_InProcFreeMarshaler, the class that unmarshals a free-threaded marshaller's pointer.
    constexpr GUID kFreeThreadedMarshaler = {
        0x0000033A, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
    Microsoft::WRL::ComPtr<IMarshal> marshal;
    CLSID unmarshaler{};
    return object && SUCCEEDED(object->QueryInterface(IID_PPV_ARGS(&marshal))) &&
           SUCCEEDED(marshal->GetUnmarshalClass(IID_IUnknown, object, MSHCTX_INPROC, nullptr,
                                                MSHLFLAGS_NORMAL, &unmarshaler)) &&
           IsEqualGUID(unmarshaler, kFreeThreadedMarshaler);
}

}  // namespace Quarn::WinRT::testing
