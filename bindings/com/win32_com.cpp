// COM and module loading from Win32: the Windows Runtime's library probe and the calling
// thread's apartment.
#include "bindings/platform/win_backends.h"
// <windows.h> (through win_types.h) first; the lean set leaves COM out.
#include <objbase.h>

#include <string>

namespace Quarn::WinRT::platform {

namespace {

class Win32ComBackend final : public ComRuntime {
public:
    ModuleHandle LoadLibraryW(std::u16string_view fileName) override {
        if (fileName.find(u'\0') != std::u16string_view::npos) {
            return nullptr;
        }
        const std::wstring terminated(fileName.begin(), fileName.end());
        return reinterpret_cast<ModuleHandle>(::LoadLibraryW(terminated.c_str()));
    }

    ProcAddress GetProcAddress(ModuleHandle module, const char* procName) override {
        if (!module || !procName) {
            return nullptr;
        }
        return reinterpret_cast<ProcAddress>(
            reinterpret_cast<void*>(::GetProcAddress(reinterpret_cast<HMODULE>(module), procName)));
    }

    bool FreeLibrary(ModuleHandle module) override {
        return module && ::FreeLibrary(reinterpret_cast<HMODULE>(module)) != FALSE;
    }

    HRESULT CoInitializeEx(void* reserved, DWORD coInit) override {
        return ::CoInitializeEx(reserved, coInit);
    }

    std::u16string ErrorMessage(HRESULT code) override {
        wchar_t* text = nullptr;
        const DWORD length = ::FormatMessageW(
            FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                FORMAT_MESSAGE_IGNORE_INSERTS,
            nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
        std::u16string message;
        for (DWORD i = 0; i < length && text; ++i) {
            message.push_back(static_cast<char16_t>(text[i]));
        }
        ::LocalFree(text);
        // The system ends its texts with a line break; the trace line brings its own.
        while (!message.empty() &&
               (message.back() == u'\n' || message.back() == u'\r' || message.back() == u' ')) {
            message.pop_back();
        }
        return message;
    }
};

}  // namespace

ComRuntime& Win32Com() {
    static Win32ComBackend com;
    return com;
}

}  // namespace Quarn::WinRT::platform
