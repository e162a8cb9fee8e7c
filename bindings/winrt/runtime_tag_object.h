#pragma once
// The IInspectable the platform holds for one of our platform::Inspectable objects (the tag of
// a radial-menu entry): a Windows Runtime object of the carried object's runtime class, with
// GetIids answering IInspectable then IWeakReferenceSource, BaseTrust, a weak reference source
// and the free-threaded marshaller, as the runtime's class template makes its objects. A private
// interface of ours leads from the IInspectable back to the carried object.
//
// Windows only. The object is agile: any thread may call and release it; the carried object is
// released with it, on whichever thread drops the last reference.

#include <wrl/client.h>

#include "bindings/platform/com_classes.h"
#include "bindings/platform/ref.h"
#include "bindings/winrt/abi.h"

namespace Quarn::WinRT::winrt {

namespace abi {

// Ours alone: the platform never asks for it, so only our own objects answer it.
QUARN_BEGIN_COM_CLASSES
struct IPlatformInspectable : IUnknown {
    // The carried object; no count is added (the caller holds the IInspectable).
    virtual platform::Inspectable* STDMETHODCALLTYPE Carried() = 0;
};
QUARN_END_COM_CLASSES
QUARN_WINRT_IID(IPlatformInspectable, "0b7acb2c-1584-4c6c-a5e0-129c803f19a4");

}  // namespace abi

// A new object carrying `carried`, with one reference the caller owns. Raises
// std::bad_alloc when memory runs out.
Microsoft::WRL::ComPtr<IInspectable> MakeInspectable(platform::Ref<platform::Inspectable> carried);

// The object `inspectable` carries when it is one of ours; null for any other object.
platform::Ref<platform::Inspectable> CarriedBy(IInspectable* inspectable);

}  // namespace Quarn::WinRT::winrt
