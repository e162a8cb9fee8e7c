#pragma once
// Where the storage backends get their activation factories: RoGetActivationFactory of the
// running system, or factories a test hands in, so that the icon and folder code runs whole
// against objects of our own where Wine has no such class.
//
// Windows only. Thread rule: a source is called on the thread that asks for the factory.

#include <wrl/client.h>

#include <functional>
#include <string_view>

#include "bindings/winrt/runtime_functions.h"

namespace Quarn::WinRT::winrt {

// As RoGetActivationFactory: the factory of `className` for `iid`, or a failing code.
using ActivationSource =
    std::function<HRESULT(std::u16string_view className, REFIID iid, void** factory)>;

// RoGetActivationFactory through Runtime(); where the runtime is absent, the code of a missing
// entry point.
ActivationSource SystemActivation();

// The factory of `className` for Interface from `source`; a failure raises PlatformError with
// its code and the platform's message (ThrowIfFailed).
template <class Interface>
Microsoft::WRL::ComPtr<Interface> FactoryFrom(const ActivationSource& source,
                                              std::u16string_view className) {
    Microsoft::WRL::ComPtr<Interface> factory;
    HRESULT result =
        source(className, abi::kIid<Interface>, reinterpret_cast<void**>(factory.GetAddressOf()));
    if (SUCCEEDED(result) && !factory) {
        result = E_POINTER;
    }
    ThrowIfFailed(result);
    return factory;
}

}  // namespace Quarn::WinRT::winrt
