#include "overlay/dial_overlay_renderer.h"

#include <algorithm>
#include <cmath>
#include <mutex>

#include "overlay/dial_overlay.h"
#include "overlay/draw_context.h"

namespace Quarn::WinRT::detail {

namespace render = platform::render;
namespace draw = platform::draw;

namespace {

// A window side in pixels as a buffer side: at least 1 (a composition swap chain cannot be
// empty, and a minimised host window gives an empty overlay window) and at most what a texture
// can hold.
UINT BufferSide(double pixels) {
    if (!(pixels > 1)) {
        return 1;
    }
    return static_cast<UINT>(std::min(std::ceil(pixels), double{render::kMaxBufferSide}));
}

}  // namespace

DialOverlayRenderer::~DialOverlayRenderer() {
    // The window normally stops the thread on WM_DESTROY; this covers a renderer destroyed
    // while its window lives on, so the thread never outlives the chain it draws with.
    if (m_thread.joinable() && m_thread.get_id() != std::this_thread::get_id()) {
        Stop();
    }
}

HRESULT DialOverlayRenderer::CreateSwapChain() {
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
    // The window's client area, or the largest overlay window drawn so far if that is larger:
    // a host window that is small or minimised when the dial starts must not leave the overlay
    // a chain too small to show it.
    RECT client{};
    m_windowing.GetClientRect(m_window, &client);
    render::SwapChainDescription description;
    description.width =
        std::max(BufferSide(static_cast<double>(client.right) - client.left), m_neededWidth);
    description.height =
        std::max(BufferSide(static_cast<double>(client.bottom) - client.top), m_neededHeight);
    hr =
        m_dxgiFactory->CreateSwapChainForComposition(m_dxgiDevice.Get(), description, &m_swapChain);
    if (SUCCEEDED(hr)) {
        m_bufferWidth = description.width;
        m_bufferHeight = description.height;
    }
    return hr;
}

HRESULT DialOverlayRenderer::AttachBackBuffer() {
    HRESULT hr = m_swapChain->GetBuffer(0, &m_backBuffer);
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

HRESULT DialOverlayRenderer::CreateDrawingTarget() {
    HRESULT hr = m_factory ? S_OK : m_graphics.CreateDrawingFactory(&m_factory);
    if (SUCCEEDED(hr)) {
        hr = m_graphics.CreateDrawingDevice(m_factory.Get(), m_dxgiDevice.Get(), &m_drawingDevice);
    }
    if (SUCCEEDED(hr)) {
        hr = m_drawingDevice->CreateDeviceContext(&m_deviceContext);
    }
    if (SUCCEEDED(hr)) {
        hr = AttachBackBuffer();
    }
    return hr;
}

HRESULT DialOverlayRenderer::CreateComposition() {
    HRESULT hr = m_graphics.CreateCompositionDevice(m_dxgiDevice.Get(), &m_compositionDevice);
    if (SUCCEEDED(hr)) {
        hr = m_compositionDevice->CreateTargetForHwnd(m_window, true, &m_compositionTarget);
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

HRESULT DialOverlayRenderer::BuildChain() {
    HRESULT hr = CreateSwapChain();
    if (SUCCEEDED(hr)) {
        hr = CreateDrawingTarget();
    }
    if (SUCCEEDED(hr)) {
        hr = CreateComposition();
    }
    if (SUCCEEDED(hr) && !m_textFactory) {
        hr = m_graphics.CreateTextFactory(&m_textFactory);
    }
    if (FAILED(hr)) {
        m_chainFailure.store(hr, std::memory_order_release);
        return hr;
    }
    ++m_chainGeneration;
    m_chainFailure.store(S_OK, std::memory_order_release);
    m_chainsBuilt.fetch_add(1, std::memory_order_acq_rel);
    return S_OK;
}

void DialOverlayRenderer::ReleaseChain(bool factoriesToo) {
    m_compositionVisual.Reset();
    m_compositionTarget.Reset();
    m_compositionDevice.Reset();
    m_backBuffer.Reset();
    m_deviceContext.Reset();
    m_drawingDevice.Reset();
    m_dxgiFactory.Reset();
    m_swapChain.Reset();
    m_dxgiDevice.Reset();
    m_device.Reset();
    m_bufferWidth = m_bufferHeight = 0;
    if (factoriesToo) {
        m_textFactory.Reset();
        m_factory.Reset();
    }
}

bool DialOverlayRenderer::Start(HWND window) {
    if (m_thread.joinable()) {
        return true;
    }
    if (!Prepare(window)) {
        return false;
    }
    m_stop.store(false, std::memory_order_release);
    // Raises std::system_error when no thread can be made; the caller sees it.
    m_thread = std::thread([this] { RenderLoop(); });
    return true;
}

bool DialOverlayRenderer::Prepare(HWND window) {
    // A chain that failed at an earlier Start is made again from nothing.
    ReleaseChain(true);
    m_window = window;
    if (FAILED(BuildChain())) {
        ReleaseChain(true);
        return false;
    }
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

HRESULT DialOverlayRenderer::GrowBuffers(UINT width, UINT height) {
    m_neededWidth = std::max(m_neededWidth, width);
    m_neededHeight = std::max(m_neededHeight, height);
    if (m_neededWidth <= m_bufferWidth && m_neededHeight <= m_bufferHeight) {
        return S_OK;
    }
    // Every hold on the old buffers goes first: the context's target, the surface.
    m_graphics.SetTarget(m_deviceContext.Get(), nullptr);
    m_backBuffer.Reset();
    const UINT newWidth = std::max(m_neededWidth, m_bufferWidth);
    const UINT newHeight = std::max(m_neededHeight, m_bufferHeight);
    HRESULT hr = m_swapChain->ResizeBuffers(newWidth, newHeight);
    if (SUCCEEDED(hr)) {
        m_bufferWidth = newWidth;
        m_bufferHeight = newHeight;
        hr = AttachBackBuffer();
    }
    return hr;
}

HRESULT DialOverlayRenderer::RenderFrame(UINT syncInterval) {
    std::shared_ptr<DialOverlay> overlay;
    {
        std::lock_guard lock(m_lock);
        overlay = m_overlay;
    }
    // Drawn outside the lock, on the copy: a SetItem during the frame replaces the renderer's
    // overlay but this one lives until the copy goes.
    const bool draws = overlay && overlay->IsVisible();
    if (draws) {
        const OverlayRect window = overlay->GetWindowRect();
        if (const HRESULT hr = GrowBuffers(BufferSide(window.width), BufferSide(window.height));
            FAILED(hr)) {
            // The old buffers are let go: the chain is made again, at the size needed.
            ReleaseChain(false);
            return hr;
        }
        // Brushes and formats the overlay made on a chain since lost go before it draws.
        overlay->UseDevice(m_chainGeneration);
    }
    m_deviceContext->BeginDraw();
    m_deviceContext->Clear(std::nullopt);
    if (draws) {
        DrawContext context{m_deviceContext, m_textFactory, &m_windowing};
        overlay->Draw(context);
    }
    const HRESULT drawn = m_deviceContext->EndDraw();
    if (render::IsDeviceLost(drawn)) {
        return drawn;
    }
    // Before Present, so that whoever waits for this frame to be shown sees it.
    m_lastDrawn.store(draws ? overlay.get() : nullptr, std::memory_order_release);
    return m_swapChain->Present(syncInterval, 0);
}

bool DialOverlayRenderer::DrawFrame(UINT syncInterval) {
    if (!m_swapChain && FAILED(BuildChain())) {
        ReleaseChain(false);
        return true;
    }
    const HRESULT hr = RenderFrame(syncInterval);
    if (render::IsDeviceLost(hr)) {
        // Everything made on the device goes; the next frame makes the chain again at once.
        ReleaseChain(false);
        return false;
    }
    // Present failed without waiting for the blank: wait for it before the next frame, never spin.
    return FAILED(hr) && m_swapChain;
}

void DialOverlayRenderer::RenderLoop() {
    while (!m_stop.load(std::memory_order_acquire)) {
        if (DrawFrame(1)) {
            m_graphics.WaitForNextFrame();
        }
    }
}

}  // namespace Quarn::WinRT::detail
