// The overlay's Direct3D / DXGI / Direct2D / DirectComposition / DirectWrite chain as the
// Windows build makes it. Under Wine the chain stops at the composition swap chain and the
// renderer does not start.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "bindings/platform/services.h"
#include "bindings/platform/win_backends.h"
#include "bindings/render/d3d_graphics.h"
#include "overlay/dial_overlay_renderer.h"
#include "tests/windows/d2d_offscreen.h"
#include "tests/windows/win32_host.h"

namespace Quarn::WinRT::testing {
namespace {

namespace render = platform::render;
namespace draw = platform::draw;
using platform::Ref;

constexpr HRESULT kWineHasNoCompositionSwapChain = E_NOTIMPL;

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

    // The swap chain and composition device exist on Windows; Wine has neither.
    if (RunsUnderWine()) {
        EXPECT_EQ(swapChainResult, kWineHasNoCompositionSwapChain);
        EXPECT_FALSE(swapChain);
        EXPECT_EQ(compositionResult, E_NOTIMPL);
        EXPECT_FALSE(composition);
    } else {
        EXPECT_HRESULT_SUCCEEDED(swapChainResult);
        EXPECT_HRESULT_SUCCEEDED(compositionResult);
    }
}

// What the overlay window does when its chain fails is the simulated overlay tests'; here the
// real chain's objects are let go.
TEST(D3DChainTest, UnderWineTheRendererStopsAtTheSwapChainAndLetsTheChainGo) {
    if (!RunsUnderWine()) {
        GTEST_SKIP() << "the whole chain exists here";
    }
    const HostWindow host{RECT{100, 50, 900, 650}};
    const int before = platform::Direct3DChainObjects();
    {
        detail::DialOverlayRenderer renderer(platform::Direct3DGraphics(),
                                             platform::Win32Windowing());
        EXPECT_FALSE(renderer.Start(host.Handle()));
        EXPECT_FALSE(renderer.IsRunning()) << "no render thread without a device context";
        EXPECT_EQ(platform::Direct3DChainObjects(), before) << "what was made is let go at once";
    }
}

}  // namespace
}  // namespace Quarn::WinRT::testing
