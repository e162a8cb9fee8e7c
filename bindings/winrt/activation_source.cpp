#include "bindings/winrt/activation_source.h"

#include "bindings/platform/win_backends.h"

namespace Quarn::WinRT::winrt {

ActivationSource SystemActivation() {
    return [](std::u16string_view className, REFIID iid, void** factory) -> HRESULT {
        *factory = nullptr;
        const RuntimeFunctions& runtime = Runtime();
        if (!runtime.Available()) {
            return platform::HResultFromWin32(ERROR_PROC_NOT_FOUND);
        }
        HString name;
        const HRESULT made =
            runtime.windowsCreateString(reinterpret_cast<LPCWSTR>(className.data()),
                                        static_cast<UINT32>(className.size()), name.Put(runtime));
        if (FAILED(made)) {
            return made;
        }
        return runtime.roGetActivationFactory(name.Get(), iid, factory);
    };
}

}  // namespace Quarn::WinRT::winrt
