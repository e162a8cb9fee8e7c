// The overlay's Direct3D / DXGI / Direct2D / DirectComposition / DirectWrite chain as the
// Windows build makes it. Under Wine the chain stops at the composition swap chain: the
// renderer does not start, nothing is logged, and the overlay window stays, empty.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>

#include "bindings/corvanta/group.h"
#include "bindings/kernel/reflected.h"
#include "bindings/platform/services.h"
#include "bindings/platform/win_backends.h"
#include "bindings/render/d3d_graphics.h"
#include "bindings/sample_host/recorder.h"
#include "bindings/vorta/document.h"
#include "bindings/vorta/tool.h"
#include "overlay/dial_overlay_renderer.h"
#include "overlay/dial_overlay_window.h"
#include "tests/windows/d2d_offscreen.h"
#include "tests/windows/win32_host.h"

namespace Quarn::WinRT::testing {
namespace {

namespace render = platform::render;
namespace draw = platform::draw;
using platform::Ref;

constexpr HRESULT kWineHasNoCompositionSwapChain = E_NOTIMPL;

Kernel::Counted<Kernel::Reflected> Group() {
    auto element = Kernel::MakeCounted<Kernel::ReflectedRangeT<double>>(10, "Size", 5.0, 0.0, 10.0);
    return Kernel::MakeCounted<Corvanta::ReflectedGroup>(
        1, "Brush", std::vector<Kernel::Counted<Kernel::Reflected>>{element});
}

// Each step by itself, as far as the system goes: every creation that fails leaves its out
// reference empty, and the steps after the swap chain that need no swap chain still work.
TEST(D3DChainTest, StepsAnswerWhatTheSystemImplements) {
    render::Graphics& graphics = platform::Direct3DGraphics();
    EXPECT_EQ(platform::DefaultServices().graphics, &graphics) << "the Windows build's default";
    Ref<render::GraphicsDevice> device;
    ASSERT_HRESULT_SUCCEEDED(graphics.CreateDevice(render::kCreateDeviceBgraSupport, &device));
    Ref<render::DxgiDevice> dxgiDevice;
    ASSERT_HRESULT_SUCCEEDED(graphics.QueryDxgiDevice(device.Get(), &dxgiDevice));
    Ref<render::DxgiFactory> dxgiFactory;
    ASSERT_HRESULT_SUCCEEDED(graphics.CreateDxgiFactory(0, &dxgiFactory));

    render::SwapChainDescription description;
    description.width = 382;
    description.height = 382;
    Ref<render::SwapChain> swapChain;
    const HRESULT swapChainResult =
        dxgiFactory->CreateSwapChainForComposition(dxgiDevice.Get(), description, &swapChain);
    Ref<draw::Factory> factory;
    ASSERT_HRESULT_SUCCEEDED(graphics.CreateDrawingFactory(&factory));
    Ref<render::DrawingDevice> drawingDevice;
    ASSERT_HRESULT_SUCCEEDED(
        graphics.CreateDrawingDevice(factory.Get(), dxgiDevice.Get(), &drawingDevice));
    Ref<draw::DeviceContext> context;
    ASSERT_HRESULT_SUCCEEDED(drawingDevice->CreateDeviceContext(&context));
    EXPECT_EQ(context->GetFactory(), factory);
    Ref<draw::TextFactory> text;
    ASSERT_HRESULT_SUCCEEDED(graphics.CreateTextFactory(&text));
    Ref<render::CompositionDevice> composition;
    const HRESULT compositionResult =
        graphics.CreateCompositionDevice(dxgiDevice.Get(), &composition);

    // Arguments of another backend or none are refused, not followed.
    Ref<render::DxgiDevice> refused = dxgiDevice;
    EXPECT_EQ(graphics.QueryDxgiDevice(nullptr, &refused), E_INVALIDARG);
    EXPECT_FALSE(refused);
    EXPECT_EQ(graphics.CreateDrawingDevice(factory.Get(), nullptr, &drawingDevice), E_INVALIDARG);
    EXPECT_FALSE(drawingDevice);

    // A frame's time without a device: about one refresh period, neither none nor long.
    const auto waitStart = std::chrono::steady_clock::now();
    graphics.WaitForNextFrame();
    const auto waited = std::chrono::steady_clock::now() - waitStart;
    EXPECT_GE(waited, std::chrono::milliseconds(2));
    EXPECT_LT(waited, std::chrono::milliseconds(500));

    if (RunsUnderWine()) {
        EXPECT_EQ(swapChainResult, kWineHasNoCompositionSwapChain);
        EXPECT_FALSE(swapChain);
        EXPECT_EQ(compositionResult, E_NOTIMPL);
        EXPECT_FALSE(composition);
        return;
    }
    ASSERT_HRESULT_SUCCEEDED(swapChainResult);
    ASSERT_HRESULT_SUCCEEDED(compositionResult);
    Ref<render::Surface> backBuffer;
    ASSERT_HRESULT_SUCCEEDED(swapChain->GetBuffer(0, &backBuffer));
    Ref<render::TargetBitmap> bitmap;
    ASSERT_HRESULT_SUCCEEDED(graphics.CreateBitmapFromSurface(context.Get(), backBuffer.Get(),
                                                              render::BitmapProperties{}, &bitmap));
    // The buffers grow once nothing holds them.
    bitmap.Reset();
    backBuffer.Reset();
    EXPECT_HRESULT_SUCCEEDED(swapChain->ResizeBuffers(920, 920));
}

TEST(D3DChainTest, UnderWineTheRendererStopsAtTheSwapChainAndTheOverlayWindowStays) {
    if (!RunsUnderWine()) {
        GTEST_SKIP() << "the whole chain exists here";
    }
    auto host = std::make_unique<HostWindow>(RECT{100, 50, 900, 650});
    auto document = Kernel::MakeCounted<DocumentController>();
    auto tool = Kernel::MakeCounted<Tool>(7, "Brush", document);
    sample::HostRecorder recorder;
    const int before = platform::Direct3DChainObjects();
    {
        detail::DialOverlayRenderer renderer(platform::Direct3DGraphics(),
                                             platform::Win32Windowing());
        EXPECT_FALSE(renderer.Start(host->Handle()));
        EXPECT_FALSE(renderer.IsRunning()) << "no render thread without a device context";
        // What was made is let go at once: the next item makes the chain anew.
        EXPECT_EQ(platform::Direct3DChainObjects(), before);
    }
    {
        detail::DialOverlayWindow window(host->Handle());
        const HWND overlay = window.GetHandle();
        // The first item makes the renderer, whose chain fails; the window goes on as before.
        window.SetItem(tool, Group(), nullptr);
        window.Place(300, 200, 120, 120);
        window.Show();
        PumpFor(50);
        EXPECT_TRUE(IsWindowVisible(overlay));
        window.SetItem(tool, Group(), nullptr);
        // The owner goes first, as in the editor: WM_DESTROY finds no thread to stop, and the
        // object outlives its window.
        host.reset();
        EXPECT_FALSE(IsWindow(overlay));
        window.Place(10, 10, 40, 40);
        EXPECT_FALSE(window.IsVisible());
    }
    EXPECT_EQ(platform::Direct3DChainObjects(), before);
    EXPECT_TRUE(recorder.LogLines().empty());
    EXPECT_TRUE(recorder.Traces().empty());
}

}  // namespace
}  // namespace Quarn::WinRT::testing
