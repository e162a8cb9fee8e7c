#pragma once
// What the Direct2D tests draw into and compare with: an offscreen target, made by the
// overlay's own device chain (Direct3D 11, its DXGI device, Direct2D's device and context,
// DirectWrite) up to the swap chain, with a Direct2D target bitmap in its place; and PNG files
// read through WIC. The comparison is the Linux reference tests' own (tests/pixel_difference.h).
//
// Pixels are 32-bit words with alpha in the top byte and colour premultiplied by alpha, in the
// order B, G, R, A in memory: Direct2D's B8G8R8A8 and the Cairo images the Linux build writes
// as reference PNGs alike.

#include <cstdint>
#include <memory>
#include <string>

#include "bindings/draw/draw.h"
#include "bindings/render/render.h"
#include "tests/pixel_difference.h"

namespace Quarn::WinRT::testing {

using Pixels = PixelImage;

class OffscreenTarget {
public:
    // Null when a step fails; `why` names the step and its HRESULT.
    static std::unique_ptr<OffscreenTarget> Create(int width, int height, std::string* why);
    ~OffscreenTarget();

    platform::Ref<platform::render::DxgiDevice> dxgiDevice;
    platform::Ref<platform::draw::Factory> factory;
    platform::Ref<platform::draw::DeviceContext> context;
    platform::Ref<platform::draw::TextFactory> text;

    // The target's pixels as the last EndDraw left them.
    Pixels Read();

private:
    struct Native;
    OffscreenTarget();
    std::unique_ptr<Native> m_native;
};

// WIC's PNG codec: empty pixels when the file cannot be read.
Pixels LoadPng(const std::wstring& path);

// Whether the process runs under Wine (its ntdll exports wine_get_version).
bool RunsUnderWine();

}  // namespace Quarn::WinRT::testing
