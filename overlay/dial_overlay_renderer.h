#pragma once
// The overlay window's device chain and the render thread that draws the current overlay into
// it, once per vertical blank.
//
// A lost device (a driver update, a GPU reset, a remote session, sleep and resume) fails Present
// or EndDraw at once, without waiting for a blank. The render thread then makes the chain again
// on a new device, drops what the overlay made on the old one, and goes on drawing; while the
// new chain cannot be made it tries once a frame's time. Any other failed Present also waits a
// frame's time, so the thread never spins. The swap chain grows (ResizeBuffers) whenever the
// overlay's window outgrows it, whatever size the window had when the chain was made.
//
// Threads: Start, SetOverlay and Stop run on the host thread. The render thread runs RenderLoop
// (DrawFrame once a frame) and with it every overlay's Draw. A renderer whose thread never starts
// (Prepare instead of Start) has its frames drawn by whoever calls DrawFrame, on that one thread.
// The host thread and the render thread share only m_overlay (under m_lock, held for a pointer copy
// or swap and nothing else), m_stop, m_lastDrawn and the chain counters (atomics). The chain's
// objects are written by Start before the thread exists and afterwards only by the render thread,
// so they need no lock. The two factories are the exception: made by Start and kept across a lost
// device (neither belongs to a device), they are read by both threads and written by neither once
// the thread runs.

#include <atomic>
#include <cstdint>
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
    // loop without a device context would only spin; the window stays transparent until a
    // later Start succeeds. While the thread runs it does nothing and answers true.
    bool Start(HWND window);
    // Builds the chain for the window as Start does, without starting the thread: the frames are
    // then drawn by calls to DrawFrame (a fuzzer steps them between the host's calls, one thread
    // doing both). False when a step of the chain failed; the next DrawFrame tries again, as the
    // render loop does.
    bool Prepare(HWND window);
    // Replaces what the render thread draws (may be empty). A frame in progress keeps the
    // overlay it copied until it ends.
    void SetOverlay(std::shared_ptr<DialOverlay> overlay);
    // Asks the render thread to end and joins it. Joining from the render thread itself raises
    // std::system_error (resource deadlock would occur), as std::thread does.
    void Stop();

    bool IsRunning() const { return m_thread.joinable(); }

    // What the render thread does once a frame: makes the chain again when a lost device or a
    // failed step left none, then draws the current overlay and presents the frame.
    // `syncInterval` is Present's: 1 waits for the blank (the render thread), 0 presents at once.
    // True when the caller should wait a frame's time before the next one: the chain could not
    // be made, or Present failed without waiting for the blank. Only on the render thread, or
    // with no render thread running.
    bool DrawFrame(UINT syncInterval);
    // The overlay the last presented frame drew, or null when it drew none (no overlay, or a
    // hidden one). For telling which overlay reaches the screen: compare it, never follow it,
    // since the overlay may be gone by the time it is read.
    const DialOverlay* LastDrawnOverlay() const {
        return m_lastDrawn.load(std::memory_order_acquire);
    }
    // Chains built so far, the first one included: more than one means a lost device was
    // recovered from.
    unsigned ChainsBuilt() const { return m_chainsBuilt.load(std::memory_order_acquire); }
    // Why the chain cannot be built at the moment, or S_OK while it works.
    HRESULT ChainFailure() const { return m_chainFailure.load(std::memory_order_acquire); }

private:
    // The whole chain for m_window; each step runs only when every earlier one succeeded. The
    // two factories are made only when missing.
    HRESULT BuildChain();
    HRESULT CreateSwapChain();
    HRESULT CreateDrawingTarget();
    HRESULT AttachBackBuffer();
    HRESULT CreateComposition();
    // Lets go of everything made on the device, keeping the factories (all of it with them).
    void ReleaseChain(bool factoriesToo);
    // Render thread: the buffers grown to hold a window of that size (never shrunk); a failure
    // of any kind leaves the chain to be built again.
    HRESULT GrowBuffers(UINT width, UINT height);
    void RenderLoop();
    // DrawFrame's frame: drawn and presented, Present waiting as `syncInterval` says; its
    // failure, if any.
    HRESULT RenderFrame(UINT syncInterval);

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
    HWND m_window = nullptr;
    UINT m_bufferWidth = 0;  // the swap chain's, as made or last resized
    UINT m_bufferHeight = 0;
    UINT m_neededWidth = 1;  // the largest overlay window drawn so far: a new chain's least size
    UINT m_neededHeight = 1;
    std::uint64_t m_chainGeneration = 0;  // one more for each chain built

    std::shared_ptr<DialOverlay> m_overlay;  // guarded by m_lock
    Kernel::CriticalSectionSpin m_lock;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    std::atomic<const DialOverlay*> m_lastDrawn{nullptr};  // written by the render thread
    std::atomic<unsigned> m_chainsBuilt{0};
    std::atomic<HRESULT> m_chainFailure{S_OK};
};

}  // namespace Quarn::WinRT::detail
