#include "bindings/winrt/storage_runtime.h"

#include "bindings/platform/win_backends.h"

namespace Quarn::WinRT::winrt {

namespace {

using RoGetActivationFactoryProc = HRESULT(WINAPI*)(HSTRING, const IID&, void**);
using WindowsCreateStringProc = HRESULT(WINAPI*)(LPCWSTR, UINT32, HSTRING*);
using WindowsDeleteStringProc = HRESULT(WINAPI*)(HSTRING);
using WindowsGetStringRawBufferProc = PCWSTR(WINAPI*)(HSTRING, UINT32*);

// combase's entry points, or null where it lacks them (before Windows 8).
struct RuntimeFunctions {
    RoGetActivationFactoryProc getActivationFactory = nullptr;
    WindowsCreateStringProc createString = nullptr;
    WindowsDeleteStringProc deleteString = nullptr;
    WindowsGetStringRawBufferProc getStringRawBuffer = nullptr;
};

template <class Proc>
Proc LookUp(HMODULE module, const char* name) {
    // FARPROC to the real signature: the only way to call an export found at run time.
    return module ? reinterpret_cast<Proc>(reinterpret_cast<void*>(::GetProcAddress(module, name)))
                  : nullptr;
}

const RuntimeFunctions& Functions() {
    static const RuntimeFunctions functions = [] {
        // Kept loaded for the life of the process, as the runtime itself is.
        HMODULE combase = ::LoadLibraryW(L"combase.dll");
        RuntimeFunctions f;
        f.getActivationFactory =
            LookUp<RoGetActivationFactoryProc>(combase, "RoGetActivationFactory");
        f.createString = LookUp<WindowsCreateStringProc>(combase, "WindowsCreateString");
        f.deleteString = LookUp<WindowsDeleteStringProc>(combase, "WindowsDeleteString");
        f.getStringRawBuffer =
            LookUp<WindowsGetStringRawBufferProc>(combase, "WindowsGetStringRawBuffer");
        return f;
    }();
    return functions;
}

}  // namespace

ActivationSource SystemActivation() {
    return [](std::wstring_view className, const IID& iid, void** factory) -> HRESULT {
        const RuntimeFunctions& f = Functions();
        if (!f.getActivationFactory || !f.createString) {
            return E_NOTIMPL;
        }
        const HString name(std::u16string_view(reinterpret_cast<const char16_t*>(className.data()),
                                               className.size()));
        return f.getActivationFactory(name.Get(), iid, factory);
    };
}

HRESULT CreateHString(std::u16string_view text, HSTRING* string) {
    *string = nullptr;
    const RuntimeFunctions& f = Functions();
    return f.createString ? f.createString(reinterpret_cast<LPCWSTR>(text.data()),
                                           static_cast<UINT32>(text.size()), string)
                          : E_NOTIMPL;
}

HString::HString(std::u16string_view text) {
    const HRESULT result = CreateHString(text, &m_string);
    if (FAILED(result)) {
        throw platform::PlatformError(result,
                                      FailureMessage("WindowsCreateString failed.", result));
    }
}

HString::~HString() {
    DeleteHString(m_string);
}

std::u16string ReadHString(HSTRING text) {
    const RuntimeFunctions& f = Functions();
    if (!text || !f.getStringRawBuffer) {
        return {};
    }
    UINT32 length = 0;
    const PCWSTR characters = f.getStringRawBuffer(text, &length);
    return characters ? std::u16string(reinterpret_cast<const char16_t*>(characters), length)
                      : std::u16string();
}

void DeleteHString(HSTRING text) {
    const RuntimeFunctions& f = Functions();
    if (text && f.deleteString) {
        f.deleteString(text);
    }
}

std::string FailureMessage(std::string_view what, HRESULT code) {
    std::string message(what);
    const std::u16string text = platform::Win32Com().ErrorMessage(code);
    if (!text.empty()) {
        const platform::PlatformError converted(code, text);  // its UTF-8 form
        message += " ";
        message += converted.MessageUtf8();
    }
    return message;
}

}  // namespace Quarn::WinRT::winrt
