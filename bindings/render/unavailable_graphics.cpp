// The overlay's device chain on a build without its Direct3D, DXGI, DirectComposition and
// Direct2D backend: every creation fails with E_NOTIMPL and leaves its out reference empty, so
// the renderer's Start returns false, no render thread runs and the overlay window stays empty.
#include <chrono>
#include <thread>

#include "bindings/platform/win_backends.h"

namespace Quarn::WinRT::platform {

namespace {

class UnavailableGraphicsBackend final : public render::Graphics {
public:
    HRESULT CreateDevice(UINT, Ref<render::GraphicsDevice>* device) override {
        return Refuse(device);
    }
    HRESULT QueryDxgiDevice(render::GraphicsDevice*, Ref<render::DxgiDevice>* device) override {
        return Refuse(device);
    }
    HRESULT CreateDxgiFactory(UINT, Ref<render::DxgiFactory>* factory) override {
        return Refuse(factory);
    }
    HRESULT CreateDrawingFactory(Ref<draw::Factory>* factory) override { return Refuse(factory); }
    HRESULT CreateDrawingDevice(draw::Factory*, render::DxgiDevice*,
                                Ref<render::DrawingDevice>* device) override {
        return Refuse(device);
    }
    HRESULT CreateBitmapFromSurface(draw::DeviceContext*, render::Surface*,
                                    const render::BitmapProperties&,
                                    Ref<render::TargetBitmap>* bitmap) override {
        return Refuse(bitmap);
    }
    void SetTarget(draw::DeviceContext*, render::TargetBitmap*) override {}
    HRESULT CreateCompositionDevice(render::DxgiDevice*,
                                    Ref<render::CompositionDevice>* device) override {
        return Refuse(device);
    }
    HRESULT CreateTextFactory(Ref<draw::TextFactory>* factory) override { return Refuse(factory); }
    // Never reached (no chain is ever built), but a frame's time at 60 Hz all the same.
    void WaitForNextFrame() override { std::this_thread::sleep_for(std::chrono::milliseconds(16)); }

private:
    template <class T>
    static HRESULT Refuse(Ref<T>* out) {
        if (out) {
            out->Reset();
        }
        return E_NOTIMPL;
    }
};

}  // namespace

render::Graphics& UnavailableGraphics() {
    static UnavailableGraphicsBackend graphics;
    return graphics;
}

}  // namespace Quarn::WinRT::platform
