#pragma once
// The overlay window's device chain and the render thread that draws the current overlay into
// it, once per vertical blank.
//
// Threads: Start, SetOverlay and Stop run on the host thread. The render thread runs RenderLoop
// and with it every overlay's Draw. They share only m_overlay (under m_lock, held for a pointer
// copy or swap and nothing else), m_stop and m_lastDrawn (atomics). The chain's objects are written
// by Start before the thread exists and read by it only after, so they need no lock.

#include <atomic>
#include <memory>
#include <thread>

#include "bindings/draw/draw.h"
#include "bindings/kernel/lock.h"
#include "bindings/platform/ref.h"
#include "bindings/render/render.h"
#include "bindings/window/window.h"

namespace Quarn::WinRT::detail {

class DialOverlay;

class DialOverlayRenderer {
public:
    DialOverlayRenderer(platform::render::Graphics& graphics, platform::Windowing& windowing)
        : m_graphics(graphics), m_windowing(windowing) {}
    // Stops the render thread if it still runs, then releases the chain in reverse order.
    ~DialOverlayRenderer();
    DialOverlayRenderer(const DialOverlayRenderer&) = delete;
    DialOverlayRenderer& operator=(const DialOverlayRenderer&) = delete;

    // Builds the chain for the window and starts the render thread. False when a step of the
    // chain failed: then the thread is not started, since there is nothing to draw with and a
    // loop without a device context would only spin; the window stays transparent.
    bool Start(HWND window);
    // Replaces what the render thread draws (may be empty). A frame in progress keeps the
    // overlay it copied until it ends.
    void SetOverlay(std::shared_ptr<DialOverlay> overlay);
    // Asks the render thread to end and joins it. Joining from the render thread itself raises
    // std::system_error (resource deadlock would occur), as std::thread does.
    void Stop();

    bool IsRunning() const { return m_thread.joinable(); }
    // The overlay the last presented frame drew, or null when it drew none (no overlay, or a
    // hidden one). For telling which overlay reaches the screen: compare it, never follow it,
    // since the overlay may be gone by the time it is read.
    const DialOverlay* LastDrawnOverlay() const {
        return m_lastDrawn.load(std::memory_order_acquire);
    }

private:
    HRESULT CreateSwapChain(HWND window);
    HRESULT CreateDrawingTarget();
    HRESULT CreateComposition(HWND window);
    void RenderLoop();

    platform::render::Graphics& m_graphics;
    platform::Windowing& m_windowing;

    // Released in the reverse of this order.
    platform::Ref<platform::render::GraphicsDevice> m_device;
    platform::Ref<platform::render::DxgiDevice> m_dxgiDevice;
    platform::Ref<platform::render::SwapChain> m_swapChain;
    platform::Ref<platform::render::DxgiFactory> m_dxgiFactory;
    platform::Ref<platform::draw::Factory> m_factory;
    platform::Ref<platform::render::DrawingDevice> m_drawingDevice;
    platform::Ref<platform::draw::DeviceContext> m_deviceContext;
    platform::Ref<platform::render::Surface> m_backBuffer;
    platform::Ref<platform::render::CompositionDevice> m_compositionDevice;
    platform::Ref<platform::render::CompositionTarget> m_compositionTarget;
    platform::Ref<platform::render::CompositionVisual> m_compositionVisual;
    platform::Ref<platform::draw::TextFactory> m_textFactory;

    std::shared_ptr<DialOverlay> m_overlay;  // guarded by m_lock
    Kernel::CriticalSectionSpin m_lock;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    std::atomic<const DialOverlay*> m_lastDrawn{nullptr};  // written by the render thread
};

}  // namespace Quarn::WinRT::detail
