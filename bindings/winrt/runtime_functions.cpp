#include "bindings/winrt/runtime_functions.h"

#include <oleauto.h>

#include <cstdio>
#include <limits>
#include <utility>

#include "bindings/platform/win_backends.h"

namespace Quarn::WinRT::winrt {

namespace {

template <class Function>
Function Lookup(HMODULE module, const char* name) {
    // Through void*: a FARPROC is no function type the compiler would convert silently.
    return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

RuntimeFunctions Load() {
    RuntimeFunctions functions;
    const HMODULE combase = ::LoadLibraryExW(L"combase.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!combase) {
        return functions;
    }
    using F = RuntimeFunctions;
    functions.roGetActivationFactory =
        Lookup<F::RoGetActivationFactoryFunction>(combase, "RoGetActivationFactory");
    functions.windowsCreateString =
        Lookup<F::WindowsCreateStringFunction>(combase, "WindowsCreateString");
    functions.windowsDeleteString =
        Lookup<F::WindowsDeleteStringFunction>(combase, "WindowsDeleteString");
    functions.windowsGetStringRawBuffer =
        Lookup<F::WindowsGetStringRawBufferFunction>(combase, "WindowsGetStringRawBuffer");
    functions.getRestrictedErrorInfo =
        Lookup<F::GetRestrictedErrorInfoFunction>(combase, "GetRestrictedErrorInfo");
    return functions;
}

std::u16string FromBstr(BSTR text) {
    std::u16string result;
    if (text) {
        const UINT length = ::SysStringLen(text);
        result.reserve(length);
        for (UINT i = 0; i < length; ++i) {
            result.push_back(static_cast<char16_t>(text[i]));
        }
    }
    return result;
}

// The restricted error information on this thread, when it describes this code.
std::u16string RestrictedMessage(HRESULT code, const RuntimeFunctions& runtime) {
    if (!runtime.getRestrictedErrorInfo) {
        return {};
    }
    abi::IRestrictedErrorInfo* info = nullptr;
    if (runtime.getRestrictedErrorInfo(&info) != S_OK || !info) {
        return {};
    }
    BSTR description = nullptr;
    BSTR restricted = nullptr;
    BSTR capability = nullptr;
    HRESULT error = S_OK;
    std::u16string message;
    if (SUCCEEDED(info->GetErrorDetails(&description, &error, &restricted, &capability)) &&
        error == code) {
        // The restricted text is the specific one; the other is the code's general text.
        message = FromBstr(restricted);
        if (message.empty()) {
            message = FromBstr(description);
        }
    }
    ::SysFreeString(description);
    ::SysFreeString(restricted);
    ::SysFreeString(capability);
    info->Release();
    return message;
}

[[noreturn]] void ThrowRuntimeAbsent() {
    const HRESULT code = platform::HResultFromWin32(ERROR_PROC_NOT_FOUND);
    throw platform::PlatformError(code, u"The Windows Runtime is not available (combase.dll).");
}

}  // namespace

const RuntimeFunctions& Runtime() {
    static const RuntimeFunctions functions = Load();
    return functions;
}

std::u16string ErrorMessage(HRESULT code, const RuntimeFunctions& runtime) {
    std::u16string message = RestrictedMessage(code, runtime);
    if (message.empty()) {
        message = platform::Win32Com().ErrorMessage(code);
    }
    if (message.empty()) {
        char text[32];
        std::snprintf(text, sizeof text, "Error 0x%08lX",
                      static_cast<unsigned long>(static_cast<std::uint32_t>(code)));
        message.assign(text, text + std::char_traits<char>::length(text));
    }
    return message;
}

void ThrowIfFailed(HRESULT code, const RuntimeFunctions& runtime) {
    if (FAILED(code)) {
        throw platform::PlatformError(code, ErrorMessage(code, runtime));
    }
}

HString::HString(std::u16string_view text, const RuntimeFunctions& runtime) {
    if (!runtime.Available()) {
        ThrowRuntimeAbsent();
    }
    if (text.size() > std::numeric_limits<UINT32>::max()) {
        throw platform::PlatformError(E_INVALIDARG, "A string of the Windows Runtime is too long.");
    }
    HSTRING created = nullptr;
    ThrowIfFailed(runtime.windowsCreateString(reinterpret_cast<LPCWSTR>(text.data()),
                                              static_cast<UINT32>(text.size()), &created),
                  runtime);
    m_string = created;
    m_runtime = &runtime;
}

HString::HString(HString&& other) noexcept
    : m_string(std::exchange(other.m_string, nullptr)),
      m_runtime(std::exchange(other.m_runtime, nullptr)) {}

HString& HString::operator=(HString&& other) noexcept {
    if (this != &other) {
        Reset();
        m_string = std::exchange(other.m_string, nullptr);
        m_runtime = std::exchange(other.m_runtime, nullptr);
    }
    return *this;
}

HSTRING* HString::Put(const RuntimeFunctions& runtime) noexcept {
    Reset();
    m_runtime = &runtime;
    return &m_string;
}

std::u16string_view HString::View() const noexcept {
    if (!m_string || !m_runtime || !m_runtime->windowsGetStringRawBuffer) {
        return {};
    }
    UINT32 length = 0;
    const PCWSTR buffer = m_runtime->windowsGetStringRawBuffer(m_string, &length);
    return buffer ? std::u16string_view(reinterpret_cast<const char16_t*>(buffer), length)
                  : std::u16string_view();
}

void HString::Reset() noexcept {
    if (m_string && m_runtime && m_runtime->windowsDeleteString) {
        m_runtime->windowsDeleteString(m_string);
    }
    m_string = nullptr;
}

void GetActivationFactory(std::u16string_view className, REFIID iid, void** factory,
                          const RuntimeFunctions& runtime) {
    *factory = nullptr;
    if (!runtime.Available()) {
        ThrowRuntimeAbsent();
    }
    const HString name(className, runtime);
    ThrowIfFailed(runtime.roGetActivationFactory(name.Get(), iid, factory), runtime);
}

}  // namespace Quarn::WinRT::winrt
