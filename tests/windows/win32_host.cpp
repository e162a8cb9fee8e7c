#include "tests/windows/win32_host.h"

#include <objbase.h>
#include <shlobj.h>

#include <wrl/client.h>

#include <vector>

namespace Quarn::WinRT::testing {

namespace {

constexpr const wchar_t* kHostClass = L"QuarnTestHostWindow";

void RegisterHostClass() {
    static const ATOM atom = [] {
        WNDCLASSEXW description{};
        description.cbSize = sizeof(description);
        description.lpfnWndProc = &DefWindowProcW;
        description.hInstance = GetModuleHandleW(nullptr);
        description.lpszClassName = kHostClass;
        return RegisterClassExW(&description);
    }();
    (void)atom;
}

}  // namespace

HostWindow::HostWindow(RECT rect) {
    RegisterHostClass();
    m_window = CreateWindowExW(0, kHostClass, L"Editor", WS_OVERLAPPEDWINDOW, rect.left, rect.top,
                               rect.right - rect.left, rect.bottom - rect.top, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
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
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return true;
}

std::wstring ClassNameOf(HWND window) {
    wchar_t name[256] = {};
    const int length = GetClassNameW(window, name, 256);
    return std::wstring(name, static_cast<std::size_t>(length > 0 ? length : 0));
}

std::string Utf8(const wchar_t* text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size > 0 ? size - 1 : 0), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), size, nullptr, nullptr);
    return out;
}

std::string KnownFolder(const GUID& id) {
    PWSTR path = nullptr;
    std::string result;
    if (SUCCEEDED(SHGetKnownFolderPath(id, 0, nullptr, &path))) {
        result = Utf8(path);
    }
    CoTaskMemFree(path);
    return result;
}

bool MarshalsFreeThreaded(IUnknown* object) {
    // CLSID_InProcFreeMarshaler, the class that unmarshals a free-threaded marshaller's pointer.
    constexpr GUID kFreeThreadedMarshaler = {
        0x0000033A, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
    Microsoft::WRL::ComPtr<IMarshal> marshal;
    CLSID unmarshaler{};
    return object &&
           SUCCEEDED(object->QueryInterface(IID_IMarshal,
                                            reinterpret_cast<void**>(marshal.GetAddressOf()))) &&
           SUCCEEDED(marshal->GetUnmarshalClass(IID_IUnknown, object, MSHCTX_INPROC, nullptr,
                                                MSHLFLAGS_NORMAL, &unmarshaler)) &&
           IsEqualGUID(unmarshaler, kFreeThreadedMarshaler);
}

}  // namespace Quarn::WinRT::testing
