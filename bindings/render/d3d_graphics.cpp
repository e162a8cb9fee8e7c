#include "bindings/render/d3d_graphics.h"

#include <d3d11.h>
#include <dcomp.h>
#include <dxgi1_2.h>
#include <wrl/client.h>

#include <atomic>

#include "bindings/draw/d2d_draw.h"
#include "bindings/draw/d2d_factory2.h"
#include "bindings/platform/win_backends.h"

namespace Quarn::WinRT::platform {

namespace {

using Microsoft::WRL::ComPtr;

std::atomic<int> s_liveObjects{0};

class Counted {
protected:
    Counted() { s_liveObjects.fetch_add(1, std::memory_order_relaxed); }
    ~Counted() { s_liveObjects.fetch_sub(1, std::memory_order_relaxed); }
    Counted(const Counted&) = delete;
    Counted& operator=(const Counted&) = delete;
};

template <class T>
HRESULT Empty(Ref<T>* out) {
    if (!out) {
        return E_POINTER;
    }
    out->Reset();
    return S_OK;
}

// An entry point of a system DLL that older systems lack, or why it could not be found. The DLL
// is loaded once and kept for the life of the process, as an imported one would be.
struct EntryPoint {
    FARPROC address = nullptr;
    HRESULT missing = S_OK;
};

EntryPoint FindEntryPoint(const wchar_t* dll, const char* name) {
    HMODULE module = LoadLibraryExW(dll, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!module) {
        // Systems without the search flags (Windows 7 before KB2533623) refuse them.
        module = LoadLibraryW(dll);
    }
    EntryPoint found;
    found.address = module ? GetProcAddress(module, name) : nullptr;
    if (!found.address) {
        const HRESULT hr = HResultFromWin32(GetLastError());
        found.missing = FAILED(hr) ? hr : E_NOTIMPL;
    }
    return found;
}

// GetProcAddress answers a generic function pointer; the cast goes through the one type that
// any function pointer converts from without a warning.
template <class Function>
Function EntryPointAs(const EntryPoint& entry) {
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(entry.address));
}

// The renderer knows a lost device by DXGI_ERROR_DEVICE_REMOVED, DXGI_ERROR_DEVICE_RESET and
// D2DERR_RECREATE_TARGET alone (render.h). DXGI may also answer with the reason the device went:
// a hung device or a driver's internal error, which mean the same and need the same recovery.
HRESULT AsDeviceLoss(HRESULT result) {
    constexpr HRESULT kDeviceHung = static_cast<HRESULT>(0x887A0006);
    constexpr HRESULT kDriverInternalError = static_cast<HRESULT>(0x887A0020);
    return result == kDeviceHung || result == kDriverInternalError ? render::kDeviceRemoved
                                                                   : result;
}

class D3DDevice final : public render::GraphicsDevice, Counted {
public:
    explicit D3DDevice(ComPtr<ID3D11Device> device) : m_device(std::move(device)) {}
    ID3D11Device* Native() const { return m_device.Get(); }

private:
    ComPtr<ID3D11Device> m_device;
};

class D3DDxgiDevice final : public render::DxgiDevice, Counted {
public:
    explicit D3DDxgiDevice(ComPtr<IDXGIDevice> device) : m_device(std::move(device)) {}
    IDXGIDevice* Native() const { return m_device.Get(); }

private:
    ComPtr<IDXGIDevice> m_device;
};

class D3DSurface final : public render::Surface, Counted {
public:
    explicit D3DSurface(ComPtr<IDXGISurface2> surface) : m_surface(std::move(surface)) {}
    IDXGISurface2* Native() const { return m_surface.Get(); }

private:
    ComPtr<IDXGISurface2> m_surface;
};

class D3DTargetBitmap final : public render::TargetBitmap, Counted {
public:
    explicit D3DTargetBitmap(ComPtr<ID2D1Bitmap1> bitmap) : m_bitmap(std::move(bitmap)) {}
    ID2D1Bitmap1* Native() const { return m_bitmap.Get(); }

private:
    ComPtr<ID2D1Bitmap1> m_bitmap;
};

class D3DSwapChain final : public render::SwapChain, Counted {
public:
    explicit D3DSwapChain(ComPtr<IDXGISwapChain1> swapChain) : m_swapChain(std::move(swapChain)) {}
    HRESULT GetBuffer(UINT index, Ref<render::Surface>* surface) override {
        if (const HRESULT hr = Empty(surface); FAILED(hr)) {
            return hr;
        }
        ComPtr<IDXGISurface2> buffer;
        const HRESULT hr = m_swapChain->GetBuffer(index, __uuidof(IDXGISurface2),
                                                  reinterpret_cast<void**>(buffer.GetAddressOf()));
        if (SUCCEEDED(hr)) {
            *surface = MakeRef<D3DSurface>(std::move(buffer));
        }
        return hr;
    }
    HRESULT Present(UINT syncInterval, UINT flags) override {
        return AsDeviceLoss(m_swapChain->Present(syncInterval, flags));
    }
    HRESULT ResizeBuffers(UINT width, UINT height) override {
        // Count and format as they are (0, unknown); no flags, as when made.
        return AsDeviceLoss(m_swapChain->ResizeBuffers(0, width, height, DXGI_FORMAT_UNKNOWN, 0));
    }
    IDXGISwapChain1* Native() const { return m_swapChain.Get(); }

private:
    ComPtr<IDXGISwapChain1> m_swapChain;
};

class D3DDxgiFactory final : public render::DxgiFactory, Counted {
public:
    explicit D3DDxgiFactory(ComPtr<IDXGIFactory2> factory) : m_factory(std::move(factory)) {}
    HRESULT CreateSwapChainForComposition(render::DxgiDevice* device,
                                          const render::SwapChainDescription& description,
                                          Ref<render::SwapChain>* swapChain) override {
        if (const HRESULT hr = Empty(swapChain); FAILED(hr)) {
            return hr;
        }
        auto* dxgiDevice = dynamic_cast<D3DDxgiDevice*>(device);
        if (!dxgiDevice) {
            return E_INVALIDARG;
        }
        DXGI_SWAP_CHAIN_DESC1 native{};
        native.Width = description.width;
        native.Height = description.height;
        native.Format = static_cast<DXGI_FORMAT>(description.format);
        native.Stereo = description.stereo ? TRUE : FALSE;
        native.SampleDesc.Count = description.sampleCount;
        native.SampleDesc.Quality = description.sampleQuality;
        native.BufferUsage = description.bufferUsage;
        native.BufferCount = description.bufferCount;
        native.Scaling = static_cast<DXGI_SCALING>(description.scaling);
        native.SwapEffect = static_cast<DXGI_SWAP_EFFECT>(description.swapEffect);
        native.AlphaMode = static_cast<DXGI_ALPHA_MODE>(description.alphaMode);
        native.Flags = description.flags;
        ComPtr<IDXGISwapChain1> created;
        const HRESULT hr = m_factory->CreateSwapChainForComposition(dxgiDevice->Native(), &native,
                                                                    nullptr, &created);
        if (SUCCEEDED(hr)) {
            *swapChain = MakeRef<D3DSwapChain>(std::move(created));
        }
        return hr;
    }

private:
    ComPtr<IDXGIFactory2> m_factory;
};

class D2DDrawingDevice final : public render::DrawingDevice, Counted {
public:
    D2DDrawingDevice(ComPtr<ID2D1Device1> device, Ref<draw::Factory> factory)
        : m_device(std::move(device)), m_factory(std::move(factory)) {}
    HRESULT CreateDeviceContext(Ref<draw::DeviceContext>* context) override {
        if (const HRESULT hr = Empty(context); FAILED(hr)) {
            return hr;
        }
        ComPtr<ID2D1DeviceContext> native;
        const HRESULT hr = m_device->CreateDeviceContext(D2D1_DEVICE_CONTEXT_OPTIONS_NONE, &native);
        if (SUCCEEDED(hr)) {
            *context = draw::WrapD2DDeviceContext(native.Get(), m_factory);
        }
        return hr;
    }

private:
    ComPtr<ID2D1Device1> m_device;
    Ref<draw::Factory> m_factory;
};

class DCompVisual final : public render::CompositionVisual, Counted {
public:
    explicit DCompVisual(ComPtr<IDCompositionVisual> visual) : m_visual(std::move(visual)) {}
    HRESULT SetContent(render::SwapChain* content) override {
        auto* swapChain = dynamic_cast<D3DSwapChain*>(content);
        if (content && !swapChain) {
            return E_INVALIDARG;
        }
        return m_visual->SetContent(swapChain ? swapChain->Native() : nullptr);
    }
    IDCompositionVisual* Native() const { return m_visual.Get(); }

private:
    ComPtr<IDCompositionVisual> m_visual;
};

class DCompTarget final : public render::CompositionTarget, Counted {
public:
    explicit DCompTarget(ComPtr<IDCompositionTarget> target) : m_target(std::move(target)) {}
    HRESULT SetRoot(render::CompositionVisual* visual) override {
        auto* own = dynamic_cast<DCompVisual*>(visual);
        if (visual && !own) {
            return E_INVALIDARG;
        }
        return m_target->SetRoot(own ? own->Native() : nullptr);
    }

private:
    ComPtr<IDCompositionTarget> m_target;
};

class DCompDevice final : public render::CompositionDevice, Counted {
public:
    explicit DCompDevice(ComPtr<IDCompositionDevice> device) : m_device(std::move(device)) {}
    HRESULT CreateTargetForHwnd(HWND window, bool topmost,
                                Ref<render::CompositionTarget>* target) override {
        if (const HRESULT hr = Empty(target); FAILED(hr)) {
            return hr;
        }
        ComPtr<IDCompositionTarget> native;
        const HRESULT hr = m_device->CreateTargetForHwnd(window, topmost ? TRUE : FALSE, &native);
        if (SUCCEEDED(hr)) {
            *target = MakeRef<DCompTarget>(std::move(native));
        }
        return hr;
    }
    HRESULT CreateVisual(Ref<render::CompositionVisual>* visual) override {
        if (const HRESULT hr = Empty(visual); FAILED(hr)) {
            return hr;
        }
        ComPtr<IDCompositionVisual> native;
        const HRESULT hr = m_device->CreateVisual(&native);
        if (SUCCEEDED(hr)) {
            *visual = MakeRef<DCompVisual>(std::move(native));
        }
        return hr;
    }
    HRESULT Commit() override { return m_device->Commit(); }

private:
    ComPtr<IDCompositionDevice> m_device;
};

class Direct3DChain final : public render::Graphics {
public:
    HRESULT CreateDevice(UINT flags, Ref<render::GraphicsDevice>* device) override {
        if (const HRESULT hr = Empty(device); FAILED(hr)) {
            return hr;
        }
        ComPtr<ID3D11Device> native;
        const HRESULT hr =
            D3D11CreateDevice(nullptr, D3D_DRIVER_TYPE_HARDWARE, nullptr, flags, nullptr, 0,
                              D3D11_SDK_VERSION, &native, nullptr, nullptr);
        if (SUCCEEDED(hr)) {
            *device = MakeRef<D3DDevice>(std::move(native));
        }
        return hr;
    }

    HRESULT QueryDxgiDevice(render::GraphicsDevice* device,
                            Ref<render::DxgiDevice>* dxgiDevice) override {
        if (const HRESULT hr = Empty(dxgiDevice); FAILED(hr)) {
            return hr;
        }
        auto* own = dynamic_cast<D3DDevice*>(device);
        if (!own) {
            return E_INVALIDARG;
        }
        ComPtr<IDXGIDevice> native;
        const HRESULT hr = own->Native()->QueryInterface(
            __uuidof(IDXGIDevice), reinterpret_cast<void**>(native.GetAddressOf()));
        if (SUCCEEDED(hr)) {
            *dxgiDevice = MakeRef<D3DDxgiDevice>(std::move(native));
        }
        return hr;
    }

    HRESULT CreateDxgiFactory(UINT flags, Ref<render::DxgiFactory>* factory) override {
        if (const HRESULT hr = Empty(factory); FAILED(hr)) {
            return hr;
        }
        using CreateFactory2 = HRESULT(WINAPI*)(UINT, REFIID, void**);
        static const EntryPoint entry = FindEntryPoint(L"dxgi.dll", "CreateDXGIFactory2");
        if (!entry.address) {
            return entry.missing;
        }
        const auto create = EntryPointAs<CreateFactory2>(entry);
        ComPtr<IDXGIFactory2> native;
        const HRESULT hr =
            create(flags, __uuidof(IDXGIFactory2), reinterpret_cast<void**>(native.GetAddressOf()));
        if (SUCCEEDED(hr)) {
            *factory = MakeRef<D3DDxgiFactory>(std::move(native));
        }
        return hr;
    }

    HRESULT CreateDrawingFactory(Ref<draw::Factory>* factory) override {
        return draw::CreateD2DFactory(factory);
    }

    HRESULT CreateDrawingDevice(draw::Factory* factory, render::DxgiDevice* device,
                                Ref<render::DrawingDevice>* drawingDevice) override {
        if (const HRESULT hr = Empty(drawingDevice); FAILED(hr)) {
            return hr;
        }
        ID2D1Factory1* native = draw::NativeFactory(factory);
        auto* dxgiDevice = dynamic_cast<D3DDxgiDevice*>(device);
        if (!native || !dxgiDevice) {
            return E_INVALIDARG;
        }
        ComPtr<ID2D1Factory2> factory2;
        HRESULT hr = native->QueryInterface(__uuidof(ID2D1Factory2),
                                            reinterpret_cast<void**>(factory2.GetAddressOf()));
        ComPtr<ID2D1Device1> created;
        if (SUCCEEDED(hr)) {
            hr = factory2->CreateDevice(dxgiDevice->Native(), &created);
        }
        if (SUCCEEDED(hr)) {
            *drawingDevice =
                MakeRef<D2DDrawingDevice>(std::move(created), Ref<draw::Factory>(factory));
        }
        return hr;
    }

    HRESULT CreateBitmapFromSurface(draw::DeviceContext* context, render::Surface* surface,
                                    const render::BitmapProperties& properties,
                                    Ref<render::TargetBitmap>* bitmap) override {
        if (const HRESULT hr = Empty(bitmap); FAILED(hr)) {
            return hr;
        }
        ID2D1DeviceContext* native = draw::NativeDeviceContext(context);
        auto* own = dynamic_cast<D3DSurface*>(surface);
        if (!native || !own) {
            return E_INVALIDARG;
        }
        D2D1_BITMAP_PROPERTIES1 description{};
        description.pixelFormat.format = static_cast<DXGI_FORMAT>(properties.format);
        description.pixelFormat.alphaMode = static_cast<D2D1_ALPHA_MODE>(properties.alphaMode);
        description.dpiX = properties.dpiX;
        description.dpiY = properties.dpiY;
        description.bitmapOptions = static_cast<D2D1_BITMAP_OPTIONS>(properties.options);
        description.colorContext = nullptr;
        ComPtr<ID2D1Bitmap1> created;
        const HRESULT hr =
            native->CreateBitmapFromDxgiSurface(own->Native(), &description, &created);
        if (SUCCEEDED(hr)) {
            *bitmap = MakeRef<D3DTargetBitmap>(std::move(created));
        }
        return hr;
    }

    void SetTarget(draw::DeviceContext* context, render::TargetBitmap* bitmap) override {
        ID2D1DeviceContext* native = draw::NativeDeviceContext(context);
        auto* own = dynamic_cast<D3DTargetBitmap*>(bitmap);
        if (native) {
            native->SetTarget(own ? own->Native() : nullptr);
        }
    }

    HRESULT CreateCompositionDevice(render::DxgiDevice* device,
                                    Ref<render::CompositionDevice>* compositionDevice) override {
        if (const HRESULT hr = Empty(compositionDevice); FAILED(hr)) {
            return hr;
        }
        auto* dxgiDevice = dynamic_cast<D3DDxgiDevice*>(device);
        if (!dxgiDevice) {
            return E_INVALIDARG;
        }
        using CompositionCreateDevice = HRESULT(WINAPI*)(IDXGIDevice*, REFIID, void**);
        static const EntryPoint entry = FindEntryPoint(L"dcomp.dll", "DCompositionCreateDevice");
        if (!entry.address) {
            return entry.missing;
        }
        const auto create = EntryPointAs<CompositionCreateDevice>(entry);
        ComPtr<IDCompositionDevice> native;
        const HRESULT hr = create(dxgiDevice->Native(), __uuidof(IDCompositionDevice),
                                  reinterpret_cast<void**>(native.GetAddressOf()));
        if (SUCCEEDED(hr)) {
            *compositionDevice = MakeRef<DCompDevice>(std::move(native));
        }
        return hr;
    }

    HRESULT CreateTextFactory(Ref<draw::TextFactory>* factory) override {
        return draw::CreateDWriteFactory(factory);
    }

    // One refresh period of the primary display, on a high-resolution waitable timer where the
    // system has one (Windows 10 1803 on), else on a plain one: Sleep's 15.6 ms granularity
    // would halve a 60 Hz rate.
    void WaitForNextFrame() override {
        DEVMODEW mode{};
        mode.dmSize = sizeof(mode);
        DWORD hertz = 60;
        // 0 and 1 stand for the hardware's default rate.
        if (EnumDisplaySettingsW(nullptr, ENUM_CURRENT_SETTINGS, &mode) &&
            mode.dmDisplayFrequency > 1) {
            hertz = mode.dmDisplayFrequency;
        }
        constexpr DWORD kHighResolution = 0x00000002;  // CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
        HANDLE timer = CreateWaitableTimerExW(nullptr, nullptr, kHighResolution, TIMER_ALL_ACCESS);
        if (!timer) {
            timer = CreateWaitableTimerExW(nullptr, nullptr, 0, TIMER_ALL_ACCESS);
        }
        LARGE_INTEGER due{};
        due.QuadPart = -static_cast<LONGLONG>(10'000'000 / hertz);  // relative, 100 ns units
        if (timer && SetWaitableTimer(timer, &due, 0, nullptr, nullptr, FALSE)) {
            WaitForSingleObject(timer, INFINITE);
        } else {
            Sleep(1000 / hertz + 1);
        }
        if (timer) {
            CloseHandle(timer);
        }
    }
};

}  // namespace

render::Graphics& Direct3DGraphics() {
    static Direct3DChain graphics;
    return graphics;
}

int Direct3DChainObjects() {
    return s_liveObjects.load(std::memory_order_relaxed);
}

}  // namespace Quarn::WinRT::platform
