#pragma once
// The overlay's device chain on Windows: Direct3D 11 with BGRA support, DXGI's composition swap
// chain, Direct2D (bindings/draw/d2d_draw.h) drawing into its back buffer, DirectComposition
// showing it in the window, and DirectWrite's shared factory.
//
// Loading: Direct3D 11, Direct2D and DirectWrite exist on every system this DLL supports and are
// imported. CreateDXGIFactory2 (Windows 8.1) and DirectComposition (dcomp.dll, absent before
// Windows 8) are looked up at run time, so that the DLL still loads where they are missing: the
// chain then fails at that step, the overlay stays empty and the dial works without it.

#include "bindings/render/render.h"

namespace Quarn::WinRT::platform {

// The process-wide instance, made on first use; thread rule as render.h states.
render::Graphics& Direct3DGraphics();

// The chain's objects made by this backend and alive in the process, so that a test can see a
// failed or finished chain let go of everything.
int Direct3DChainObjects();

}  // namespace Quarn::WinRT::platform
