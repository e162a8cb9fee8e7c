#include "tests/windows/d2d_offscreen.h"

#include <d3d11.h>
#include <wincodec.h>
#include <wrl/client.h>

#include <algorithm>
#include <cstdio>

#include "bindings/draw/d2d_draw.h"
#include "bindings/draw/d2d_factory2.h"

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
    const char* step = "D3D11CreateDevice";
    HRESULT hr = D3D11CreateDevice(nullptr, D3D_DRIVER_TYPE_HARDWARE, nullptr,
                                   D3D11_CREATE_DEVICE_BGRA_SUPPORT, nullptr, 0, D3D11_SDK_VERSION,
                                   &native->device, nullptr, &native->immediate);
    D3D11_TEXTURE2D_DESC description{};
    description.Width = static_cast<UINT>(width);
    description.Height = static_cast<UINT>(height);
    description.MipLevels = 1;
    description.ArraySize = 1;
    description.Format = DXGI_FORMAT_B8G8R8A8_UNORM;
    description.SampleDesc.Count = 1;
    description.Usage = D3D11_USAGE_DEFAULT;
    description.BindFlags = D3D11_BIND_RENDER_TARGET | D3D11_BIND_SHADER_RESOURCE;
    if (SUCCEEDED(hr)) {
        step = "CreateTexture2D";
        hr = native->device->CreateTexture2D(&description, nullptr, &native->texture);
    }
    description.Usage = D3D11_USAGE_STAGING;
    description.BindFlags = 0;
    description.CPUAccessFlags = D3D11_CPU_ACCESS_READ;
    if (SUCCEEDED(hr)) {
        hr = native->device->CreateTexture2D(&description, nullptr, &native->staging);
    }
    platform::Ref<draw::Factory> factory;
    if (SUCCEEDED(hr)) {
        step = "D2D1CreateFactory";
        hr = draw::CreateD2DFactory(&factory);
    }
    ComPtr<ID2D1Factory2> factory2;
    ComPtr<IDXGIDevice> dxgiDevice;
    ComPtr<ID2D1Device1> device;
    ComPtr<ID2D1DeviceContext> context;
    if (SUCCEEDED(hr)) {
        step = "the Direct2D device and context";
        hr = draw::NativeFactory(factory.Get())->QueryInterface(IID_PPV_ARGS(&factory2));
    }
    if (SUCCEEDED(hr)) {
        native->device.As(&dxgiDevice);
        hr = factory2->CreateDevice(dxgiDevice.Get(), &device);
    }
    if (SUCCEEDED(hr)) {
        hr = device->CreateDeviceContext(D2D1_DEVICE_CONTEXT_OPTIONS_NONE, &context);
    }
    ComPtr<IDXGISurface> surface;
    ComPtr<ID2D1Bitmap1> bitmap;
    if (SUCCEEDED(hr)) {
        step = "CreateBitmapFromDxgiSurface";
        native->texture.As(&surface);
        D2D1_BITMAP_PROPERTIES1 properties{};
        properties.pixelFormat = {DXGI_FORMAT_B8G8R8A8_UNORM, D2D1_ALPHA_MODE_PREMULTIPLIED};
        properties.bitmapOptions = D2D1_BITMAP_OPTIONS_TARGET | D2D1_BITMAP_OPTIONS_CANNOT_DRAW;
        hr = context->CreateBitmapFromDxgiSurface(surface.Get(), &properties, &bitmap);
    }
    std::unique_ptr<OffscreenTarget> target(new OffscreenTarget(std::move(native)));
    if (SUCCEEDED(hr)) {
        step = "DWriteCreateFactory";
        context->SetTarget(bitmap.Get());
        target->factory = factory;
        target->context = draw::WrapD2DDeviceContext(context.Get(), factory);
        hr = draw::CreateDWriteFactory(&target->text);
    }
    if (FAILED(hr)) {
        char text[96];
        std::snprintf(text, sizeof text, "%s failed with 0x%08lX", step,
                      static_cast<unsigned long>(hr));
        *why = text;
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
    ComApartment com;
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

bool RunsUnderWine() {
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

}  // namespace Quarn::WinRT::testing
