#pragma once
// What the Direct2D tests draw into and compare with: an offscreen target (a Direct3D 11
// texture that a Direct2D device context draws into through its DXGI surface, as the overlay's
// swap chain buffer is drawn) and PNG files read through WIC. The comparison is the
// Linux reference tests' own (tests/pixel_difference.h).
//
// Pixels are 32-bit words with alpha in the top byte and colour premultiplied by alpha, in the
// order B, G, R, A in memory: Direct2D's B8G8R8A8 and the Cairo images the Linux build writes
// as reference PNGs alike.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "bindings/draw/draw.h"
#include "bindings/window/window.h"
#include "tests/pixel_difference.h"
#include "tests/windows/win32_host.h"

namespace Quarn::WinRT::testing {

using Pixels = PixelImage;

class OffscreenTarget {
public:
    // Null when a step fails; `why` names the step and its HRESULT.
    static std::unique_ptr<OffscreenTarget> Create(int width, int height, std::string* why);
    ~OffscreenTarget();
    OffscreenTarget(const OffscreenTarget&) = delete;
    OffscreenTarget& operator=(const OffscreenTarget&) = delete;

    platform::Ref<platform::draw::DeviceContext> context;
    platform::Ref<platform::draw::Factory> factory;
    platform::Ref<platform::draw::TextFactory> text;

    // The texture's pixels as the last EndDraw left them.
    Pixels Read();

private:
    struct Native;
    explicit OffscreenTarget(std::unique_ptr<Native> native);
    std::unique_ptr<Native> m_native;
};

// WIC's PNG codec: empty pixels when the file cannot be read.
Pixels LoadPng(const std::wstring& path);

// Whether the process runs under Wine (its ntdll exports wine_get_version).
bool RunsUnderWine();

// The real Win32 windowing, except that the menu font is the one the Linux build's reference
// pictures use, so that both draw the same text.
class MenuFontWindowing final : public ForwardingWindowing {
public:
    explicit MenuFontWindowing(std::u16string face) : m_face(std::move(face)) {}
    bool GetMenuFontFace(std::u16string* face) override {
        *face = m_face;
        return true;
    }

private:
    const std::u16string m_face;
};

}  // namespace Quarn::WinRT::testing
