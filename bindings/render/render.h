#pragma once
// The device chain behind the overlay window: a graphics device, a swap chain for composition,
// a drawing device context whose target is the swap chain's buffer, a composition tree that
// shows the swap chain in the window, and the text factory. Each object and operation is the
// Direct3D 11 / DXGI / Direct2D / DirectComposition / DirectWrite one of the same name; creation
// returns an HRESULT and fills an out reference, left empty on failure.
//
// Thread rule: the chain is built on the host thread (by the renderer's Start); from then on the
// device context, the swap chain's Present and the text factory belong to the render thread.
// The drawing factory is the exception: both threads use it, under draw.h's thread rule.

#include "bindings/draw/draw.h"
#include "bindings/platform/ref.h"
#include "bindings/platform/win_types.h"

namespace Quarn::WinRT::platform::render {

inline constexpr UINT kFormatB8G8R8A8Unorm = 87;
inline constexpr UINT kUsageRenderTargetOutput = 0x20;
inline constexpr UINT kScalingStretch = 0;
inline constexpr UINT kSwapEffectFlipSequential = 3;
inline constexpr UINT kAlphaModePremultiplied = 1;
inline constexpr UINT kCreateDeviceBgraSupport = 0x20;
inline constexpr UINT kBitmapOptionsTargetCannotDraw = 3;
// The largest side of a Direct3D 11 texture, and so of a swap chain's buffers.
inline constexpr UINT kMaxBufferSide = 16384;

// The results that mean the device is gone and everything made on it must be made again:
// DXGI_ERROR_DEVICE_REMOVED and DXGI_ERROR_DEVICE_RESET from Present or ResizeBuffers,
// D2DERR_RECREATE_TARGET from EndDraw. A backend answers one of these for any other code of the
// same meaning (a hung device, say), so that the renderer needs to know only these three.
inline constexpr HRESULT kDeviceRemoved = static_cast<HRESULT>(0x887A0005);
inline constexpr HRESULT kDeviceReset = static_cast<HRESULT>(0x887A0007);
inline constexpr HRESULT kRecreateTarget = static_cast<HRESULT>(0x8899000C);

inline bool IsDeviceLost(HRESULT result) {
    return result == kDeviceRemoved || result == kDeviceReset || result == kRecreateTarget;
}

struct SwapChainDescription {
    UINT width = 0;
    UINT height = 0;
    UINT format = kFormatB8G8R8A8Unorm;
    bool stereo = false;
    UINT sampleCount = 1;
    UINT sampleQuality = 0;
    UINT bufferUsage = kUsageRenderTargetOutput;
    UINT bufferCount = 2;
    UINT scaling = kScalingStretch;
    UINT swapEffect = kSwapEffectFlipSequential;
    UINT alphaMode = kAlphaModePremultiplied;
    UINT flags = 0;
};

struct BitmapProperties {
    UINT format = kFormatB8G8R8A8Unorm;
    UINT alphaMode = kAlphaModePremultiplied;
    float dpiX = 0;
    float dpiY = 0;
    UINT options = kBitmapOptionsTargetCannotDraw;
};

class GraphicsDevice : public RefCounted {};  // ID3D11Device
class DxgiDevice : public RefCounted {};      // IDXGIDevice
class Surface : public RefCounted {};         // IDXGISurface2
class TargetBitmap : public RefCounted {};    // ID2D1Bitmap1

class SwapChain : public RefCounted {  // IDXGISwapChain1
public:
    virtual HRESULT GetBuffer(UINT index, Ref<Surface>* surface) = 0;
    // Shows the buffer drawn last; with a sync interval of 1 it waits for the next vertical
    // blank, which is what paces the render thread. A failing Present returns at once, without
    // waiting: the caller paces itself then (Graphics::WaitForNextFrame).
    virtual HRESULT Present(UINT syncInterval, UINT flags) = 0;
    // Gives the buffers a new size, keeping their count, format and flags. Every reference to a
    // buffer (the surface from GetBuffer, the bitmap made from it, a device context's target)
    // must have been let go first, or it fails with DXGI_ERROR_INVALID_CALL.
    virtual HRESULT ResizeBuffers(UINT width, UINT height) = 0;
};

class DxgiFactory : public RefCounted {  // IDXGIFactory2
public:
    virtual HRESULT CreateSwapChainForComposition(DxgiDevice* device,
                                                  const SwapChainDescription& description,
                                                  Ref<SwapChain>* swapChain) = 0;
};

class DrawingDevice : public RefCounted {  // ID2D1Device1
public:
    virtual HRESULT CreateDeviceContext(Ref<draw::DeviceContext>* context) = 0;
};

class CompositionVisual : public RefCounted {  // IDCompositionVisual
public:
    virtual HRESULT SetContent(SwapChain* content) = 0;
};

class CompositionTarget : public RefCounted {  // IDCompositionTarget
public:
    virtual HRESULT SetRoot(CompositionVisual* visual) = 0;
};

class CompositionDevice : public RefCounted {  // IDCompositionDevice
public:
    virtual HRESULT CreateTargetForHwnd(HWND window, bool topmost,
                                        Ref<CompositionTarget>* target) = 0;
    virtual HRESULT CreateVisual(Ref<CompositionVisual>* visual) = 0;
    virtual HRESULT Commit() = 0;
};

// The free functions of the chain, and the two Direct2D methods that join the drawing
// interface to the swap chain (ID2D1Factory2::CreateDevice, ID2D1DeviceContext's
// CreateBitmapFromDxgiSurface and SetTarget), which the drawing interface does not carry.
class Graphics {
public:
    virtual ~Graphics() = default;

    // D3D11CreateDevice: default adapter, hardware driver, default feature levels.
    virtual HRESULT CreateDevice(UINT flags, Ref<GraphicsDevice>* device) = 0;
    virtual HRESULT QueryDxgiDevice(GraphicsDevice* device, Ref<DxgiDevice>* dxgiDevice) = 0;
    virtual HRESULT CreateDxgiFactory(UINT flags, Ref<DxgiFactory>* factory) = 0;
    // D2D1CreateFactory, no debug layer. The factory is shared by the host thread (hit-test
    // geometries) and the render thread (drawing), so it must be free-threaded as draw.h says:
    // with Direct2D that is a multi-threaded factory, which serialises its own use.
    virtual HRESULT CreateDrawingFactory(Ref<draw::Factory>* factory) = 0;
    virtual HRESULT CreateDrawingDevice(draw::Factory* factory, DxgiDevice* device,
                                        Ref<DrawingDevice>* drawingDevice) = 0;
    virtual HRESULT CreateBitmapFromSurface(draw::DeviceContext* context, Surface* surface,
                                            const BitmapProperties& properties,
                                            Ref<TargetBitmap>* bitmap) = 0;
    virtual void SetTarget(draw::DeviceContext* context, TargetBitmap* bitmap) = 0;
    virtual HRESULT CreateCompositionDevice(DxgiDevice* device,
                                            Ref<CompositionDevice>* compositionDevice) = 0;
    // DWriteCreateFactory: the shared factory.
    virtual HRESULT CreateTextFactory(Ref<draw::TextFactory>* factory) = 0;

    // Render thread. Waits about one refresh period of the display, needing no device: how the
    // render thread keeps to the display's rate while it has no chain to present with, or its
    // Present fails at once.
    virtual void WaitForNextFrame() = 0;
};

}  // namespace Quarn::WinRT::platform::render
