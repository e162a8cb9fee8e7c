#pragma once
// The Windows Runtime's entry points, looked up in combase.dll at run time rather than imported,
// so that Quarn.WinRT.dll loads where the Windows Runtime is absent; the strings it takes and
// gives (HSTRING); activation factories by class name; and the one way its failures become
// PlatformError, with the platform's own message.
//
// Windows only. Any thread may call these; each HString belongs to whoever holds it.

#include <wrl/client.h>

#include <string>
#include <string_view>

#include "bindings/platform/error.h"
#include "bindings/winrt/abi.h"

namespace Quarn::WinRT::winrt {

struct RuntimeFunctions {
    using RoGetActivationFactoryFunction = HRESULT(WINAPI*)(HSTRING, REFIID, void**);
    using WindowsCreateStringFunction = HRESULT(WINAPI*)(LPCWSTR, UINT32, HSTRING*);
    using WindowsDeleteStringFunction = HRESULT(WINAPI*)(HSTRING);
    using WindowsGetStringRawBufferFunction = PCWSTR(WINAPI*)(HSTRING, UINT32*);
    using GetRestrictedErrorInfoFunction = HRESULT(WINAPI*)(abi::IRestrictedErrorInfo**);

    RoGetActivationFactoryFunction roGetActivationFactory = nullptr;
    WindowsCreateStringFunction windowsCreateString = nullptr;
    WindowsDeleteStringFunction windowsDeleteString = nullptr;
    WindowsGetStringRawBufferFunction windowsGetStringRawBuffer = nullptr;
    // Optional: without it failures carry the system's text for their code.
    GetRestrictedErrorInfoFunction getRestrictedErrorInfo = nullptr;

    // The activation and string functions were all found.
    bool Available() const noexcept {
        return roGetActivationFactory && windowsCreateString && windowsDeleteString &&
               windowsGetStringRawBuffer;
    }
};

// The process's functions, looked up once on first use (thread-safe); combase.dll then stays
// loaded for the life of the process, as the objects it made may outlive any of our calls.
const RuntimeFunctions& Runtime();

// What went wrong, for a failing code: the restricted error information that the failing call
// left on this thread when it is about this code (taking it off the thread), else the system's
// text for the code, else the code in hexadecimal.
std::u16string ErrorMessage(HRESULT code, const RuntimeFunctions& runtime = Runtime());

// Raises PlatformError carrying the code and ErrorMessage(code); success codes pass.
void ThrowIfFailed(HRESULT code, const RuntimeFunctions& runtime = Runtime());

// An owned HSTRING. The null HSTRING is the empty string, as the runtime has it.
class HString {
public:
    HString() noexcept = default;
    // Raises PlatformError when the runtime is absent or refuses the text.
    explicit HString(std::u16string_view text, const RuntimeFunctions& runtime = Runtime());
    ~HString() { Reset(); }
    HString(HString&& other) noexcept;
    HString& operator=(HString&& other) noexcept;
    HString(const HString&) = delete;
    HString& operator=(const HString&) = delete;

    HSTRING Get() const noexcept { return m_string; }
    // For an out parameter: releases the string held and hands out the slot for a new one,
    // which this object then owns.
    HSTRING* Put(const RuntimeFunctions& runtime = Runtime()) noexcept;
    // The characters, embedded nulls included; valid while this object holds the string.
    std::u16string_view View() const noexcept;
    void Reset() noexcept;

private:
    HSTRING m_string = nullptr;
    const RuntimeFunctions* m_runtime = nullptr;
};

// RoGetActivationFactory for a runtime class and an interface of its factory. Raises
// PlatformError when the runtime is absent or refuses; a class the system does not know
// answers REGDB_E_CLASSNOTREG.
void GetActivationFactory(std::u16string_view className, REFIID iid, void** factory,
                          const RuntimeFunctions& runtime = Runtime());

template <class Interface>
Microsoft::WRL::ComPtr<Interface> GetActivationFactory(
    std::u16string_view className, const RuntimeFunctions& runtime = Runtime()) {
    Microsoft::WRL::ComPtr<Interface> factory;
    GetActivationFactory(className, abi::kIid<Interface>,
                         reinterpret_cast<void**>(factory.GetAddressOf()), runtime);
    return factory;
}

}  // namespace Quarn::WinRT::winrt
