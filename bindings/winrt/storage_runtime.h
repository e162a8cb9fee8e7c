#pragma once
// The Windows Runtime as the storage backends reach it: activation factories by class name and
// HSTRINGs, through combase's entry points looked up at run time, so that Quarn.WinRT.dll loads
// on a system without the Windows Runtime (and a call there fails instead).
//
// Thread rule: any thread; the entry points are looked up once per process.

#include "bindings/winrt/storage_abi.h"
// <windows.h> and the COM headers come first, through storage_abi.h.
#include <wrl/client.h>

#include <functional>
#include <string>
#include <string_view>

#include "bindings/platform/error.h"

namespace Quarn::WinRT::winrt {

// Gives the activation factory of a runtime class for `iid`, as RoGetActivationFactory does.
// The backends take one, so that a test can hand them factories of its own.
using ActivationSource =
    std::function<HRESULT(std::wstring_view className, const IID& iid, void** factory)>;

// RoGetActivationFactory of the running system; CO_E_NOTINITIALIZED-style failures and
// REGDB_E_CLASSNOTREG come back as they are, E_NOTIMPL where combase has no such entry point.
ActivationSource SystemActivation();

// The factory of `className` for interface I (whose IID is `iid`); raises PlatformError with
// the failure's code and a message that names the class.
template <class I>
Microsoft::WRL::ComPtr<I> GetActivationFactory(const ActivationSource& source,
                                               std::wstring_view className, const IID& iid);

// An HSTRING we own, made by WindowsCreateString and deleted with the object.
class HString {
public:
    // Raises PlatformError when the string cannot be made.
    explicit HString(std::u16string_view text);
    ~HString();
    HString(const HString&) = delete;
    HString& operator=(const HString&) = delete;

    HSTRING Get() const noexcept { return m_string; }

private:
    HSTRING m_string = nullptr;
};

// WindowsCreateString: a new HSTRING for the caller to delete; E_NOTIMPL without the runtime.
HRESULT CreateHString(std::u16string_view text, HSTRING* string);
// The characters of an HSTRING (null reads empty); WindowsGetStringRawBuffer.
std::u16string ReadHString(HSTRING text);
// Deletes an HSTRING the platform handed over; null is allowed.
void DeleteHString(HSTRING text);

// The message of a failure raised here: `what`, then the system's text for the code when it
// has one.
std::string FailureMessage(std::string_view what, HRESULT code);

template <class I>
Microsoft::WRL::ComPtr<I> GetActivationFactory(const ActivationSource& source,
                                               std::wstring_view className, const IID& iid) {
    Microsoft::WRL::ComPtr<I> factory;
    const HRESULT result =
        source ? source(className, iid, reinterpret_cast<void**>(factory.GetAddressOf()))
               : E_POINTER;
    if (FAILED(result) || !factory) {
        const std::string name(className.begin(), className.end());  // class names are ASCII
        throw platform::PlatformError(
            FAILED(result) ? result : E_POINTER,
            FailureMessage("No activation factory for " + name + ".", result));
    }
    return factory;
}

}  // namespace Quarn::WinRT::winrt
