#include "tests/windows/d2d_offscreen.h"

#include <d2d1_1.h>
#include <d3d11.h>
#include <wincodec.h>
#include <wrl/client.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "bindings/draw/d2d_draw.h"
#include "bindings/platform/win_backends.h"
#include "tests/windows/win32_host.h"

namespace Quarn::WinRT::testing {

using Microsoft::WRL::ComPtr;

// The target bitmap's texture, and a texture the CPU reads it back through.
struct OffscreenTarget::Native {
    ComPtr<ID3D11Texture2D> texture;
    ComPtr<ID3D11Texture2D> staging;
    ComPtr<ID3D11DeviceContext> immediate;
};

OffscreenTarget::OffscreenTarget() : m_native(std::make_unique<Native>()) {}

OffscreenTarget::~OffscreenTarget() = default;

std::unique_ptr<OffscreenTarget> OffscreenTarget::Create(int width, int height, std::string* why) {
    namespace render = platform::render;
    render::Graphics& graphics = platform::Direct3DGraphics();
    std::unique_ptr<OffscreenTarget> target(new OffscreenTarget());
    const auto step = [why](const char* name, HRESULT result) {
        char text[96];
        std::snprintf(text, sizeof text, "%s failed with 0x%08lX", name,
                      static_cast<unsigned long>(result));
        *why = text;
        return SUCCEEDED(result);
    };
    platform::Ref<render::GraphicsDevice> device;
    platform::Ref<render::DrawingDevice> drawing;
    ComPtr<ID2D1Bitmap1> bitmap;
    ComPtr<IDXGISurface> surface;
    ComPtr<ID3D11Device> d3d;
    D2D1_BITMAP_PROPERTIES1 properties{};
    properties.pixelFormat = {DXGI_FORMAT_B8G8R8A8_UNORM, D2D1_ALPHA_MODE_PREMULTIPLIED};
    properties.bitmapOptions = D2D1_BITMAP_OPTIONS_TARGET | D2D1_BITMAP_OPTIONS_CANNOT_DRAW;
    D3D11_TEXTURE2D_DESC description{};
    Native& native = *target->m_native;
    const bool made =
        step("CreateDevice", graphics.CreateDevice(render::kCreateDeviceBgraSupport, &device)) &&
        step("QueryDxgiDevice", graphics.QueryDxgiDevice(device.Get(), &target->dxgiDevice)) &&
        step("CreateDrawingFactory", graphics.CreateDrawingFactory(&target->factory)) &&
        step("CreateDrawingDevice",
             graphics.CreateDrawingDevice(target->factory.Get(), target->dxgiDevice.Get(),
                                          &drawing)) &&
        step("CreateDeviceContext", drawing->CreateDeviceContext(&target->context)) &&
        step("CreateTextFactory", graphics.CreateTextFactory(&target->text)) &&
        step("CreateBitmap", platform::draw::NativeDeviceContext(target->context.Get())
                                 ->CreateBitmap(D2D1_SIZE_U{static_cast<UINT32>(width),
                                                            static_cast<UINT32>(height)},
                                                nullptr, 0, &properties, bitmap.GetAddressOf())) &&
        step("GetSurface", bitmap->GetSurface(surface.GetAddressOf())) &&
        step("the surface's texture", surface.As(&native.texture)) && [&] {
            native.texture->GetDevice(&d3d);
            d3d->GetImmediateContext(&native.immediate);
            native.texture->GetDesc(&description);
            description.Usage = D3D11_USAGE_STAGING;
            description.BindFlags = 0;
            description.CPUAccessFlags = D3D11_CPU_ACCESS_READ;
            description.MiscFlags = 0;
            return step("the staging texture",
                        d3d->CreateTexture2D(&description, nullptr, &native.staging));
        }();
    if (!made) {
        return nullptr;
    }
    platform::draw::NativeDeviceContext(target->context.Get())->SetTarget(bitmap.Get());
    return target;
}

Pixels OffscreenTarget::Read() {
    Pixels image;
    D3D11_TEXTURE2D_DESC description{};
    m_native->staging->GetDesc(&description);
    m_native->immediate->CopyResource(m_native->staging.Get(), m_native->texture.Get());
    D3D11_MAPPED_SUBRESOURCE mapped{};
    if (FAILED(m_native->immediate->Map(m_native->staging.Get(), 0, D3D11_MAP_READ, 0, &mapped))) {
        return image;
    }
    image.width = static_cast<int>(description.Width);
    image.height = static_cast<int>(description.Height);
    for (int y = 0; y < image.height; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(
            static_cast<const unsigned char*>(mapped.pData) + y * mapped.RowPitch);
        image.pixels.insert(image.pixels.end(), row, row + image.width);
    }
    m_native->immediate->Unmap(m_native->staging.Get(), 0);
    return image;
}

Pixels LoadPng(const std::wstring& path) {
    ComApartment com;
    Pixels image;
    ComPtr<IWICImagingFactory> wic;
    ComPtr<IWICBitmapDecoder> decoder;
    ComPtr<IWICBitmapFrameDecode> frame;
    ComPtr<IWICBitmapSource> converted;
    UINT width = 0;
    UINT height = 0;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(&wic))) ||
        FAILED(wic->CreateDecoderFromFilename(path.c_str(), nullptr, GENERIC_READ,
                                              WICDecodeMetadataCacheOnDemand, &decoder)) ||
        FAILED(decoder->GetFrame(0, &frame)) ||
        FAILED(WICConvertBitmapSource(GUID_WICPixelFormat32bppPBGRA, frame.Get(), &converted)) ||
        FAILED(converted->GetSize(&width, &height))) {
        return image;
    }
    std::vector<std::uint32_t> words(static_cast<std::size_t>(width) * height);
    if (SUCCEEDED(converted->CopyPixels(nullptr, width * 4, static_cast<UINT>(words.size() * 4),
                                        reinterpret_cast<BYTE*>(words.data())))) {
        image = {static_cast<int>(width), static_cast<int>(height), std::move(words)};
    }
    return image;
}

bool RunsUnderWine() {
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

}  // namespace Quarn::WinRT::testing
