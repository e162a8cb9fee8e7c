#include "overlay/dial_overlay_renderer.h"

#include <algorithm>
#include <mutex>

#include "overlay/dial_overlay.h"
#include "overlay/draw_context.h"

namespace Quarn::WinRT::detail {

namespace render = platform::render;
namespace draw = platform::draw;

DialOverlayRenderer::~DialOverlayRenderer() {
    // The window normally stops the thread on WM_DESTROY; this covers a renderer destroyed
    // while its window lives on, so the thread never outlives the chain it draws with.
    if (m_thread.joinable() && m_thread.get_id() != std::this_thread::get_id()) {
        Stop();
    }
}

HRESULT DialOverlayRenderer::CreateSwapChain(HWND window) {
    HRESULT hr = m_graphics.CreateDevice(render::kCreateDeviceBgraSupport, &m_device);
    if (FAILED(hr)) {
        return hr;
    }
    // The query's own result is not looked at: a missing DXGI device fails the next steps.
    m_graphics.QueryDxgiDevice(m_device.Get(), &m_dxgiDevice);
    hr = m_graphics.CreateDxgiFactory(0, &m_dxgiFactory);
    if (FAILED(hr)) {
        return hr;
    }
    RECT client{};
    m_windowing.GetClientRect(window, &client);
    render::SwapChainDescription description;
    description.width = static_cast<UINT>(std::max<LONG>(0, client.right - client.left));
    description.height = static_cast<UINT>(std::max<LONG>(0, client.bottom - client.top));
    return m_dxgiFactory->CreateSwapChainForComposition(m_dxgiDevice.Get(), description,
                                                        &m_swapChain);
}

HRESULT DialOverlayRenderer::CreateDrawingTarget() {
    HRESULT hr = m_graphics.CreateDrawingFactory(&m_factory);
    if (SUCCEEDED(hr)) {
        hr = m_graphics.CreateDrawingDevice(m_factory.Get(), m_dxgiDevice.Get(), &m_drawingDevice);
    }
    if (SUCCEEDED(hr)) {
        hr = m_drawingDevice->CreateDeviceContext(&m_deviceContext);
    }
    if (SUCCEEDED(hr)) {
        hr = m_swapChain->GetBuffer(0, &m_backBuffer);
    }
    if (FAILED(hr)) {
        return hr;
    }
    // DPI 0 by 0 keeps the context at 96: one unit is one pixel. The bitmap is not kept; the
    // context holds it as its target.
    platform::Ref<render::TargetBitmap> bitmap;
    hr = m_graphics.CreateBitmapFromSurface(m_deviceContext.Get(), m_backBuffer.Get(),
                                            render::BitmapProperties{}, &bitmap);
    if (SUCCEEDED(hr)) {
        m_graphics.SetTarget(m_deviceContext.Get(), bitmap.Get());
    }
    return hr;
}

HRESULT DialOverlayRenderer::CreateComposition(HWND window) {
    HRESULT hr = m_graphics.CreateCompositionDevice(m_dxgiDevice.Get(), &m_compositionDevice);
    if (SUCCEEDED(hr)) {
        hr = m_compositionDevice->CreateTargetForHwnd(window, true, &m_compositionTarget);
    }
    if (SUCCEEDED(hr)) {
        hr = m_compositionDevice->CreateVisual(&m_compositionVisual);
    }
    if (SUCCEEDED(hr)) {
        hr = m_compositionVisual->SetContent(m_swapChain.Get());
    }
    if (SUCCEEDED(hr)) {
        hr = m_compositionTarget->SetRoot(m_compositionVisual.Get());
    }
    if (SUCCEEDED(hr)) {
        hr = m_compositionDevice->Commit();
    }
    return hr;
}

bool DialOverlayRenderer::Start(HWND window) {
    HRESULT hr = CreateSwapChain(window);
    if (SUCCEEDED(hr)) {
        hr = CreateDrawingTarget();
    }
    if (SUCCEEDED(hr)) {
        hr = CreateComposition(window);
    }
    if (SUCCEEDED(hr)) {
        hr = m_graphics.CreateTextFactory(&m_textFactory);
    }
    if (FAILED(hr)) {
        return false;
    }
    // Raises std::system_error when no thread can be made; the caller sees it.
    m_thread = std::thread([this] { RenderLoop(); });
    return true;
}

void DialOverlayRenderer::SetOverlay(std::shared_ptr<DialOverlay> overlay) {
    std::shared_ptr<DialOverlay> previous;
    {
        std::lock_guard lock(m_lock);
        previous = std::exchange(m_overlay, std::move(overlay));
        if (m_overlay) {
            m_overlay->SetFactory(m_factory);
        }
    }
    // The old overlay's last reference, if this was it, goes outside the lock: its destructor
    // releases drawing resources and should not hold up a frame.
}

void DialOverlayRenderer::Stop() {
    m_stop.store(true, std::memory_order_release);
    if (m_thread.joinable()) {
        m_thread.join();
    }
}

void DialOverlayRenderer::RenderLoop() {
    DrawContext context{m_deviceContext, m_textFactory, &m_windowing};
    while (!m_stop.load(std::memory_order_acquire)) {
        m_deviceContext->BeginDraw();
        m_deviceContext->Clear(std::nullopt);
        std::shared_ptr<DialOverlay> overlay;
        {
            std::lock_guard lock(m_lock);
            overlay = m_overlay;
        }
        // Drawn outside the lock, on the copy: a SetItem during the frame replaces the
        // renderer's overlay but this one lives until the copy goes.
        const bool draws = overlay && overlay->IsVisible();
        if (draws) {
            overlay->Draw(context);
        }
        m_deviceContext->EndDraw();
        // Before Present, so that whoever waits for this frame to be shown sees it.
        m_lastDrawn.store(draws ? overlay.get() : nullptr, std::memory_order_release);
        m_swapChain->Present(1, 0);
        overlay.reset();
    }
}

}  // namespace Quarn::WinRT::detail
