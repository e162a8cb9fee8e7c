#pragma once
// The simulated device chain: every object of the chain exists and can be made to fail, the
// drawing device context is the Cairo one, and the swap chain's buffers are Cairo image
// surfaces. The composition tree tells which swap chain a window shows, so a driver reads back
// the pixels a window presents.
//
// The frame clock stands in for the vertical blank that Present waits for. Stepped pacing (the
// default, for tests) lets the render thread present only when the driver asks for a frame;
// real-time pacing lets it run at a fixed rate (60 Hz for the simulator). Either way RunFrame
// returns a frame that began after the call, so it shows every change made before it. As on
// Windows, a Present that fails returns at once without waiting for a blank, and a device chain
// made again for a window (after a lost device) replaces the old one in what the window shows.
//
// Thread rule: the driver and the host thread build the chain and call RunFrame; the render
// thread draws and presents. A swap chain's frame state is guarded by its own mutex.

#include <chrono>
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "bindings/render/render.h"
#include "bindings/sim/fault.h"

namespace Quarn::WinRT::sim {

namespace ops {
inline constexpr std::string_view kD3D11CreateDevice = "D3D11CreateDevice";
inline constexpr std::string_view kQueryDxgiDevice = "QueryInterface(IDXGIDevice)";
inline constexpr std::string_view kCreateDXGIFactory2 = "CreateDXGIFactory2";
inline constexpr std::string_view kCreateSwapChainForComposition = "CreateSwapChainForComposition";
inline constexpr std::string_view kD2D1CreateFactory = "D2D1CreateFactory";
inline constexpr std::string_view kCreateDrawingDevice = "ID2D1Factory2::CreateDevice";
inline constexpr std::string_view kCreateDeviceContext = "CreateDeviceContext";
inline constexpr std::string_view kGetBuffer = "GetBuffer";
inline constexpr std::string_view kCreateBitmapFromDxgiSurface = "CreateBitmapFromDxgiSurface";
inline constexpr std::string_view kDCompositionCreateDevice = "DCompositionCreateDevice";
inline constexpr std::string_view kCreateTargetForHwnd = "CreateTargetForHwnd";
inline constexpr std::string_view kCreateVisual = "CreateVisual";
inline constexpr std::string_view kSetContent = "SetContent";
inline constexpr std::string_view kSetRoot = "SetRoot";
inline constexpr std::string_view kCommit = "Commit";
inline constexpr std::string_view kDWriteCreateFactory = "DWriteCreateFactory";
inline constexpr std::string_view kPresent = "Present";
inline constexpr std::string_view kResizeBuffers = "ResizeBuffers";
// The end of a frame drawn into a swap chain's buffer: fails the device context's EndDraw.
inline constexpr std::string_view kEndDraw = "EndDraw";
}  // namespace ops

// One presented frame: premultiplied ARGB words (alpha in the top byte), row by row.
struct SimFrame {
    int width = 0;
    int height = 0;
    std::uint64_t number = 0;  // frames begun on its swap chain, counting this one
    std::vector<std::uint32_t> pixels;

    std::uint32_t At(int x, int y) const;
    bool IsFullyTransparent() const;
    bool SavePng(const std::string& path) const;
};

enum class FramePacing { Stepped, RealTime };

// Told on the render thread right after each Present of any swap chain, with the time its frame
// began: a driver that shows frames elsewhere (the simulator's live window) fetches the new one.
// It is called under the graphics' lock, so it must not call back into SimGraphics.
class PresentListener {
public:
    virtual void OnPresented(std::chrono::steady_clock::time_point frameBegun) = 0;

protected:
    ~PresentListener() = default;
};

class SimSwapChain;

class SimGraphics final : public platform::render::Graphics {
public:
    explicit SimGraphics(FaultInjector& faults);
    ~SimGraphics() override;
    SimGraphics(const SimGraphics&) = delete;
    SimGraphics& operator=(const SimGraphics&) = delete;

    // For swap chains made from now on.
    void SetPacing(FramePacing pacing, double framesPerSecond = 60.0);

    // Lets the window's render thread draw one frame begun after this call and returns it once
    // presented. Empty when no swap chain is shown in the window, or no frame came in time.
    std::optional<SimFrame> RunFrame(HWND window,
                                     std::chrono::milliseconds timeout = std::chrono::seconds(10));
    bool IsPresenting(HWND window) const;
    // The frame the window shows now, without waiting for one; empty before the first Present.
    std::optional<SimFrame> LatestFrame(HWND window) const;
    // Null for none. Once this returns, the previous listener is not called any more.
    void SetPresentListener(PresentListener* listener);
    // Called by a swap chain's Present (render thread).
    void Presented(std::chrono::steady_clock::time_point frameBegun);
    // The window is going away: its swap chain stops waiting for frames, so that a render
    // thread blocked in Present can end.
    void OnWindowDestroyed(HWND window);

    // Chain objects alive in the process, to show that a failed or finished chain leaks nothing.
    static int LiveObjects();
    // Swap chains made so far by this platform; a rebuilt chain is a new one.
    int SwapChainsMade() const;

    // Called by the composition device's Commit.
    void Bind(HWND window, platform::Ref<SimSwapChain> swapChain);
    // Called by the DXGI factory.
    platform::Ref<SimSwapChain> MakeSwapChain(
        const platform::render::SwapChainDescription& description);

    HRESULT CreateDevice(UINT flags,
                         platform::Ref<platform::render::GraphicsDevice>* device) override;
    HRESULT QueryDxgiDevice(platform::render::GraphicsDevice* device,
                            platform::Ref<platform::render::DxgiDevice>* dxgiDevice) override;
    HRESULT CreateDxgiFactory(UINT flags,
                              platform::Ref<platform::render::DxgiFactory>* factory) override;
    HRESULT CreateDrawingFactory(platform::Ref<platform::draw::Factory>* factory) override;
    HRESULT CreateDrawingDevice(
        platform::draw::Factory* factory, platform::render::DxgiDevice* device,
        platform::Ref<platform::render::DrawingDevice>* drawingDevice) override;
    HRESULT CreateBitmapFromSurface(platform::draw::DeviceContext* context,
                                    platform::render::Surface* surface,
                                    const platform::render::BitmapProperties& properties,
                                    platform::Ref<platform::render::TargetBitmap>* bitmap) override;
    void SetTarget(platform::draw::DeviceContext* context,
                   platform::render::TargetBitmap* bitmap) override;
    HRESULT CreateCompositionDevice(
        platform::render::DxgiDevice* device,
        platform::Ref<platform::render::CompositionDevice>* compositionDevice) override;
    HRESULT CreateTextFactory(platform::Ref<platform::draw::TextFactory>* factory) override;
    // Real time in either pacing: until the next blank of a clock at the frame rate, so that a
    // render thread with nothing to present still keeps to the display's rate.
    void WaitForNextFrame() override;

    FaultInjector& Faults() { return m_faults; }
    FramePacing Pacing() const;
    double FramesPerSecond() const;

private:
    platform::Ref<SimSwapChain> FindBound(HWND window) const;
    // As DirectWrite's shared factory: one per platform, for measuring and drawing alike, so
    // that text measured for a frame is drawn from the same layout.
    platform::Ref<platform::draw::TextFactory> SharedTextFactory();

    FaultInjector& m_faults;
    mutable std::mutex m_mutex;
    std::map<HWND, platform::Ref<SimSwapChain>> m_bound;
    std::set<HWND> m_destroyed;  // windows gone: a chain bound to one is closed at once
    int m_swapChainsMade = 0;
    std::chrono::steady_clock::time_point m_nextBlank{};  // WaitForNextFrame's clock
    platform::Ref<platform::draw::TextFactory> m_textFactory;
    FramePacing m_pacing = FramePacing::Stepped;
    double m_framesPerSecond = 60.0;
    PresentListener* m_presentListener = nullptr;
};

}  // namespace Quarn::WinRT::sim
