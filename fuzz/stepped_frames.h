#pragma once
// Frames drawn on the fuzzing thread, for the inputs that run without a render thread: the
// render loop's frame (clear the target, take the overlay window's current overlay, draw it
// while it is visible, end the frame) on a drawing chain of the simulated platform, so that
// the overlays' drawing code sees every state the input leads to without the cost of starting,
// pacing and joining a thread per input.
//
// The chain is built for each overlay window as the renderer builds it at the first SetItem: a
// swap chain of the window's client size, a device context drawing into its first buffer and the
// text factory. When a step fails (an injected fault), no frame is drawn, as no render thread would
// start. Nothing is presented: without a render thread there is nobody to pace, and the frame's
// pixels are not read back.
//
// Thread rule: everything here runs on the fuzzing thread, which is also the host thread, so the
// overlay is drawn between the host's calls as the render thread would draw it between frames.

#include <algorithm>
#include <optional>

#include "bindings/draw/draw.h"
#include "bindings/platform/ref.h"
#include "bindings/render/render.h"
#include "bindings/window/window.h"
#include "overlay/dial_overlay.h"
#include "overlay/dial_overlay_window.h"
#include "overlay/draw_context.h"

namespace Quarn::WinRT::fuzz {

class SteppedFrames {
public:
    SteppedFrames(platform::render::Graphics& graphics, platform::Windowing& windowing)
        : m_graphics(graphics), m_windowing(windowing) {}

    // Draws one frame of what `window` shows now.
    void Draw(const detail::DialOverlayWindow& window) {
        if (window.GetHandle() != m_window) {  // a new dial's window: a new renderer
            m_window = window.GetHandle();
            m_built = Build(m_window);
        }
        if (!m_built) {
            return;
        }
        // The window hands out its overlay read-only; the renderer holds the same object as a
        // shared pointer it may draw with, and so does this frame.
        auto* overlay = const_cast<detail::DialOverlay*>(window.GetOverlay());
        m_context->BeginDraw();
        m_context->Clear(std::nullopt);
        if (overlay) {
            overlay->SetFactory(m_factory);  // as the renderer's SetOverlay does
            if (overlay->IsVisible()) {
                overlay->Draw(detail::DrawContext{m_context, m_textFactory, &m_windowing});
            }
        }
        m_context->EndDraw();
    }

private:
    bool Build(HWND window) {
        platform::Ref<platform::render::GraphicsDevice> device;
        platform::Ref<platform::render::DxgiDevice> dxgiDevice;
        platform::Ref<platform::render::DxgiFactory> dxgiFactory;
        platform::Ref<platform::render::DrawingDevice> drawingDevice;
        platform::Ref<platform::render::Surface> backBuffer;
        platform::Ref<platform::render::TargetBitmap> bitmap;
        if (FAILED(m_graphics.CreateDevice(platform::render::kCreateDeviceBgraSupport, &device))) {
            return false;
        }
        m_graphics.QueryDxgiDevice(device.Get(), &dxgiDevice);
        RECT client{};
        m_windowing.GetClientRect(window, &client);
        platform::render::SwapChainDescription description;
        description.width = static_cast<UINT>(std::max<LONG>(0, client.right - client.left));
        description.height = static_cast<UINT>(std::max<LONG>(0, client.bottom - client.top));
        if (FAILED(m_graphics.CreateDxgiFactory(0, &dxgiFactory)) ||
            FAILED(dxgiFactory->CreateSwapChainForComposition(dxgiDevice.Get(), description,
                                                              &m_swapChain)) ||
            FAILED(m_graphics.CreateDrawingFactory(&m_factory)) ||
            FAILED(m_graphics.CreateDrawingDevice(m_factory.Get(), dxgiDevice.Get(),
                                                  &drawingDevice)) ||
            FAILED(drawingDevice->CreateDeviceContext(&m_context)) ||
            FAILED(m_swapChain->GetBuffer(0, &backBuffer)) ||
            FAILED(m_graphics.CreateBitmapFromSurface(m_context.Get(), backBuffer.Get(),
                                                      platform::render::BitmapProperties{},
                                                      &bitmap))) {
            return false;
        }
        m_graphics.SetTarget(m_context.Get(), bitmap.Get());
        return SUCCEEDED(m_graphics.CreateTextFactory(&m_textFactory));
    }

    platform::render::Graphics& m_graphics;
    platform::Windowing& m_windowing;
    HWND m_window = nullptr;  // the window the chain was built for
    bool m_built = false;
    platform::Ref<platform::render::SwapChain> m_swapChain;
    platform::Ref<platform::draw::Factory> m_factory;
    platform::Ref<platform::draw::DeviceContext> m_context;
    platform::Ref<platform::draw::TextFactory> m_textFactory;
};

}  // namespace Quarn::WinRT::fuzz
