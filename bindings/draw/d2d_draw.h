#pragma once
// The drawing interface on Direct2D and DirectWrite: each object wraps the native object of
// the same name and each call forwards to the native call, with the interface's types turned
// into Direct2D's (the enumerations have the same values).
//
// Objects of another backend handed to a call (a brush, geometry, stroke style or text format
// not made here) draw nothing, as do null brushes and geometries; Direct2D would crash on them.
//
// Thread rule (draw.h's): the Direct2D factory is created multi-threaded, so the host thread's
// hit-test geometries and the render thread's drawing may use it at the same time; Direct2D
// serialises them. A device context and its brushes, and the DirectWrite objects, stay on the
// render thread.

#include "bindings/draw/draw.h"
#include "bindings/platform/win_types.h"

struct ID2D1Factory1;
struct ID2D1DeviceContext;

namespace Quarn::WinRT::platform::draw {

// D2D1CreateFactory: a multi-threaded ID2D1Factory2 without a debug layer.
HRESULT CreateD2DFactory(Ref<Factory>* factory);
// DWriteCreateFactory: the shared factory.
HRESULT CreateDWriteFactory(Ref<TextFactory>* factory);

// A device context made by a device of `factory`'s Direct2D factory. Null for a null context.
Ref<DeviceContext> WrapD2DDeviceContext(ID2D1DeviceContext* context, Ref<Factory> factory);

// The native objects behind this backend's wrappers (no reference added); null for objects of
// another backend.
ID2D1Factory1* NativeFactory(Factory* factory);
ID2D1DeviceContext* NativeDeviceContext(DeviceContext* context);

}  // namespace Quarn::WinRT::platform::draw
