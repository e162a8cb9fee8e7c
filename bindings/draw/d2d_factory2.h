#pragma once
// The two Direct2D interfaces of Windows 8.1 that the device chain asks for: ID2D1Factory2 (a
// factory that makes ID2D1Device1 devices) and ID2D1Device1. The Windows SDK declares them in
// <d2d1_2.h>; MinGW-w64's headers have no such file, so for them only the interfaces' own
// methods are declared here, in their vtable order, on top of the Windows 8 interfaces they
// extend, with the published IIDs attached the way MinGW-w64's headers attach theirs.

#include "bindings/platform/win_types.h"

#if __has_include(<d2d1_2.h>)
#include <d2d1_2.h>
#else
#include <d2d1_1.h>

#include "bindings/platform/com_classes.h"

// COM interfaces are released, never deleted through a base: they have no virtual destructor,
// which the compiler would warn about outside the system's own headers.
QUARN_BEGIN_COM_CLASSES

enum D2D1_RENDERING_PRIORITY {
    D2D1_RENDERING_PRIORITY_NORMAL = 0,
    D2D1_RENDERING_PRIORITY_LOW = 1,
    D2D1_RENDERING_PRIORITY_FORCE_DWORD = 0x7fffffff
};

// Windows 8.1's device context; only named here, as the result of a method nobody calls.
struct ID2D1DeviceContext1;

struct ID2D1Device1 : public ID2D1Device {
    STDMETHOD_(D2D1_RENDERING_PRIORITY, GetRenderingPriority)() PURE;
    STDMETHOD_(void, SetRenderingPriority)(D2D1_RENDERING_PRIORITY renderingPriority) PURE;
    STDMETHOD(CreateDeviceContext)
    (D2D1_DEVICE_CONTEXT_OPTIONS options, ID2D1DeviceContext1** deviceContext1) PURE;
    using ID2D1Device::CreateDeviceContext;
};
__CRT_UUID_DECL(ID2D1Device1, 0xd21768e1, 0x23a4, 0x4823, 0xa1, 0x4b, 0x7c, 0x3e, 0xba, 0x85, 0xd6,
                0x58)

struct ID2D1Factory2 : public ID2D1Factory1 {
    STDMETHOD(CreateDevice)(IDXGIDevice* dxgiDevice, ID2D1Device1** d2dDevice1) PURE;
    using ID2D1Factory1::CreateDevice;
};
__CRT_UUID_DECL(ID2D1Factory2, 0x94f81a73, 0x9212, 0x4376, 0x9c, 0x58, 0xb1, 0x6a, 0x3a, 0x0d, 0x39,
                0x92)

QUARN_END_COM_CLASSES
#endif
