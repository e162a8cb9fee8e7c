#include "tests/windows/d2d_offscreen.h"

#include <d3d11.h>
#include <wincodec.h>
#include <wrl/client.h>

#include <algorithm>
#include <cstdio>

#include "bindings/draw/d2d_draw.h"
#include "bindings/draw/d2d_factory2.h"
#include "bindings/platform/win_backends.h"

namespace Quarn::WinRT::testing {

using Microsoft::WRL::ComPtr;
namespace draw = platform::draw;

struct OffscreenTarget::Native {
    ComPtr<ID3D11Device> device;
    ComPtr<ID3D11DeviceContext> immediate;
    ComPtr<ID3D11Texture2D> texture;
    ComPtr<ID3D11Texture2D> staging;
    int width = 0;
    int height = 0;
};

namespace {

std::string Step(const char* step, HRESULT hr) {
    char text[96];
    std::snprintf(text, sizeof text, "%s failed with 0x%08lX", step,
                  static_cast<unsigned long>(hr));
    return text;
}

// COM for WIC on the calling thread, in whatever apartment the thread has already joined.
class ComScope {
public:
    ComScope() : m_result(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComScope() {
        if (SUCCEEDED(m_result)) {
            CoUninitialize();
        }
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    HRESULT m_result;
};

ComPtr<IWICImagingFactory> Wic() {
    ComPtr<IWICImagingFactory> factory;
    CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                     IID_PPV_ARGS(&factory));
    return factory;
}

}  // namespace

OffscreenTarget::OffscreenTarget(std::unique_ptr<Native> native) : m_native(std::move(native)) {}

OffscreenTarget::~OffscreenTarget() = default;

std::unique_ptr<OffscreenTarget> OffscreenTarget::Create(int width, int height, std::string* why) {
    auto native = std::make_unique<Native>();
    native->width = width;
    native->height = height;
    HRESULT hr = D3D11CreateDevice(nullptr, D3D_DRIVER_TYPE_HARDWARE, nullptr,
                                   D3D11_CREATE_DEVICE_BGRA_SUPPORT, nullptr, 0, D3D11_SDK_VERSION,
                                   &native->device, nullptr, &native->immediate);
    if (FAILED(hr)) {
        *why = Step("D3D11CreateDevice", hr);
        return nullptr;
    }
    D3D11_TEXTURE2D_DESC description{};
    description.Width = static_cast<UINT>(width);
    description.Height = static_cast<UINT>(height);
    description.MipLevels = 1;
    description.ArraySize = 1;
    description.Format = DXGI_FORMAT_B8G8R8A8_UNORM;
    description.SampleDesc.Count = 1;
    description.Usage = D3D11_USAGE_DEFAULT;
    description.BindFlags = D3D11_BIND_RENDER_TARGET | D3D11_BIND_SHADER_RESOURCE;
    hr = native->device->CreateTexture2D(&description, nullptr, &native->texture);
    if (FAILED(hr)) {
        *why = Step("CreateTexture2D", hr);
        return nullptr;
    }
    description.Usage = D3D11_USAGE_STAGING;
    description.BindFlags = 0;
    description.CPUAccessFlags = D3D11_CPU_ACCESS_READ;
    hr = native->device->CreateTexture2D(&description, nullptr, &native->staging);
    if (FAILED(hr)) {
        *why = Step("CreateTexture2D (staging)", hr);
        return nullptr;
    }

    ComPtr<IDXGISurface> surface;
    ComPtr<IDXGIDevice> dxgiDevice;
    native->texture.As(&surface);
    native->device.As(&dxgiDevice);
    platform::Ref<draw::Factory> factory;
    hr = draw::CreateD2DFactory(&factory);
    if (FAILED(hr)) {
        *why = Step("D2D1CreateFactory", hr);
        return nullptr;
    }
    ComPtr<ID2D1Factory2> factory2;
    hr = draw::NativeFactory(factory.Get())->QueryInterface(IID_PPV_ARGS(&factory2));
    ComPtr<ID2D1Device1> device;
    if (SUCCEEDED(hr)) {
        hr = factory2->CreateDevice(dxgiDevice.Get(), &device);
    }
    ComPtr<ID2D1DeviceContext> context;
    if (SUCCEEDED(hr)) {
        hr = device->CreateDeviceContext(D2D1_DEVICE_CONTEXT_OPTIONS_NONE, &context);
    }
    if (FAILED(hr)) {
        *why = Step("the Direct2D device and context", hr);
        return nullptr;
    }
    D2D1_BITMAP_PROPERTIES1 properties{};
    properties.pixelFormat = {DXGI_FORMAT_B8G8R8A8_UNORM, D2D1_ALPHA_MODE_PREMULTIPLIED};
    properties.bitmapOptions = D2D1_BITMAP_OPTIONS_TARGET | D2D1_BITMAP_OPTIONS_CANNOT_DRAW;
    ComPtr<ID2D1Bitmap1> bitmap;
    hr = context->CreateBitmapFromDxgiSurface(surface.Get(), &properties, &bitmap);
    if (FAILED(hr)) {
        *why = Step("CreateBitmapFromDxgiSurface", hr);
        return nullptr;
    }
    context->SetTarget(bitmap.Get());

    std::unique_ptr<OffscreenTarget> target(new OffscreenTarget(std::move(native)));
    target->factory = factory;
    target->context = draw::WrapD2DDeviceContext(context.Get(), factory);
    hr = draw::CreateDWriteFactory(&target->text);
    if (FAILED(hr)) {
        *why = Step("DWriteCreateFactory", hr);
        return nullptr;
    }
    return target;
}

Pixels OffscreenTarget::Read() {
    Pixels image;
    m_native->immediate->CopyResource(m_native->staging.Get(), m_native->texture.Get());
    D3D11_MAPPED_SUBRESOURCE mapped{};
    if (FAILED(m_native->immediate->Map(m_native->staging.Get(), 0, D3D11_MAP_READ, 0, &mapped))) {
        return image;
    }
    image.width = m_native->width;
    image.height = m_native->height;
    image.pixels.resize(static_cast<std::size_t>(image.width) *
                        static_cast<std::size_t>(image.height));
    for (int y = 0; y < image.height; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(
            static_cast<const unsigned char*>(mapped.pData) + y * mapped.RowPitch);
        std::copy(row, row + image.width,
                  image.pixels.begin() + static_cast<std::ptrdiff_t>(y) * image.width);
    }
    m_native->immediate->Unmap(m_native->staging.Get(), 0);
    return image;
}

Pixels LoadPng(const std::wstring& path) {
    ComScope com;
    Pixels image;
    ComPtr<IWICImagingFactory> wic = Wic();
    ComPtr<IWICBitmapDecoder> decoder;
    ComPtr<IWICBitmapFrameDecode> frame;
    ComPtr<IWICBitmapSource> converted;
    if (!wic ||
        FAILED(wic->CreateDecoderFromFilename(path.c_str(), nullptr, GENERIC_READ,
                                              WICDecodeMetadataCacheOnDemand, &decoder)) ||
        FAILED(decoder->GetFrame(0, &frame)) ||
        FAILED(WICConvertBitmapSource(GUID_WICPixelFormat32bppPBGRA, frame.Get(), &converted))) {
        return image;
    }
    UINT width = 0;
    UINT height = 0;
    converted->GetSize(&width, &height);
    std::vector<std::uint32_t> words(static_cast<std::size_t>(width) * height);
    if (FAILED(converted->CopyPixels(nullptr, width * 4, static_cast<UINT>(words.size() * 4),
                                     reinterpret_cast<BYTE*>(words.data())))) {
        return image;
    }
    image.width = static_cast<int>(width);
    image.height = static_cast<int>(height);
    image.pixels = std::move(words);
    return image;
}

bool SavePng(const Pixels& image, const std::wstring& path) {
    ComScope com;
    ComPtr<IWICImagingFactory> wic = Wic();
    ComPtr<IWICBitmap> bitmap;
    ComPtr<IWICBitmapSource> straight;
    ComPtr<IWICStream> stream;
    ComPtr<IWICBitmapEncoder> encoder;
    ComPtr<IWICBitmapFrameEncode> frame;
    const auto width = static_cast<UINT>(image.width);
    const auto height = static_cast<UINT>(image.height);
    std::vector<std::uint32_t> copy = image.pixels;
    return wic &&
           SUCCEEDED(wic->CreateBitmapFromMemory(width, height, GUID_WICPixelFormat32bppPBGRA,
                                                 width * 4, static_cast<UINT>(copy.size() * 4),
                                                 reinterpret_cast<BYTE*>(copy.data()), &bitmap)) &&
           SUCCEEDED(
               WICConvertBitmapSource(GUID_WICPixelFormat32bppBGRA, bitmap.Get(), &straight)) &&
           SUCCEEDED(wic->CreateStream(&stream)) &&
           SUCCEEDED(stream->InitializeFromFilename(path.c_str(), GENERIC_WRITE)) &&
           SUCCEEDED(wic->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder)) &&
           SUCCEEDED(encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache)) &&
           SUCCEEDED(encoder->CreateNewFrame(&frame, nullptr)) &&
           SUCCEEDED(frame->Initialize(nullptr)) && SUCCEEDED(frame->SetSize(width, height)) &&
           SUCCEEDED(frame->WriteSource(straight.Get(), nullptr)) && SUCCEEDED(frame->Commit()) &&
           SUCCEEDED(encoder->Commit());
}

bool RunsUnderWine() {
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

MenuFontWindowing::MenuFontWindowing(std::u16string face)
    : m_real(platform::Win32Windowing()), m_face(std::move(face)) {}

RECT MenuFontWindowing::GetWindowRect(HWND w) {
    return m_real.GetWindowRect(w);
}
bool MenuFontWindowing::GetClientRect(HWND w, RECT* r) {
    return m_real.GetClientRect(w, r);
}
bool MenuFontWindowing::ScreenToClient(HWND w, POINT* p) {
    return m_real.ScreenToClient(w, p);
}
ATOM MenuFontWindowing::RegisterWindowClass(const platform::WindowClass& c) {
    return m_real.RegisterWindowClass(c);
}
HCURSOR MenuFontWindowing::LoadStandardCursor(LPCWSTR id) {
    return m_real.LoadStandardCursor(id);
}
HWND MenuFontWindowing::CreateWindowFrom(const platform::WindowCreation& c) {
    return m_real.CreateWindowFrom(c);
}
bool MenuFontWindowing::DestroyWindow(HWND w) {
    return m_real.DestroyWindow(w);
}
bool MenuFontWindowing::IsWindow(HWND w) {
    return m_real.IsWindow(w);
}
LRESULT MenuFontWindowing::DefaultWindowProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    return m_real.DefaultWindowProc(w, m, wp, lp);
}
LONG_PTR MenuFontWindowing::SetWindowData(HWND w, int i, LONG_PTR v) {
    return m_real.SetWindowData(w, i, v);
}
LONG_PTR MenuFontWindowing::GetWindowData(HWND w, int i) {
    return m_real.GetWindowData(w, i);
}
bool MenuFontWindowing::ShowWindow(HWND w, int c) {
    return m_real.ShowWindow(w, c);
}
bool MenuFontWindowing::SetWindowPos(HWND w, HWND a, int x, int y, int cx, int cy, UINT f) {
    return m_real.SetWindowPos(w, a, x, y, cx, cy, f);
}
bool MenuFontWindowing::GetMenuFontFace(std::u16string* face) {
    if (!face) {
        return false;
    }
    *face = m_face;
    return true;
}
UINT_PTR MenuFontWindowing::SetTimer(HWND w, UINT_PTR id, UINT ms, TIMERPROC p) {
    return m_real.SetTimer(w, id, ms, p);
}
bool MenuFontWindowing::KillTimer(HWND w, UINT_PTR id) {
    return m_real.KillTimer(w, id);
}

}  // namespace Quarn::WinRT::testing
