#include "overlay/dial_overlay.h"

#include <mutex>
#include <string>

#include "bindings/vorta/tool.h"

namespace Quarn::WinRT::detail {

namespace draw = platform::draw;

bool DialOverlay::OnButtonClicked(Kernel::Counted<Kernel::Reflected> /*item*/, Dial* /*dial*/) {
    return false;
}

bool DialOverlay::OnRotation(Kernel::Counted<Kernel::Reflected> /*item*/, Dial* /*dial*/,
                             double /*delta*/) {
    return false;
}

bool DialOverlay::HitTest(int /*x*/, int /*y*/) {
    return false;
}

void DialOverlay::OnLeftButtonDown(int /*x*/, int /*y*/, Dial* /*dial*/) {}

void DialOverlay::OnLeftButtonUp(int /*x*/, int /*y*/, Dial* /*dial*/) {}

void DialOverlay::OnItemRefreshed(Kernel::Counted<Tool> /*tool*/,
                                  Kernel::Counted<Kernel::Reflected> /*item*/) {}

void DialOverlay::OnToolChanged(Kernel::Counted<Tool> /*tool*/) {}

void DialOverlay::SetLayout(const OverlayRect& window, const OverlayRect& contact) {
    std::lock_guard lock(m_layoutLock);
    m_windowRect = window;
    m_contactRect = contact;
}

void DialOverlay::SetContact(bool onScreen) {
    m_onScreen.store(onScreen, std::memory_order_release);
}

OverlayRect DialOverlay::GetContactRect() const {
    std::lock_guard lock(m_layoutLock);
    return m_contactRect;
}

OverlayRect DialOverlay::GetWindowRect() const {
    std::lock_guard lock(m_layoutLock);
    return m_windowRect;
}

void DialOverlay::UseDevice(std::uint64_t chainGeneration) {
    if (chainGeneration != m_chainGeneration) {
        ReleaseDeviceResources();
        m_chainGeneration = chainGeneration;
    }
}

void DialOverlay::ReleaseDeviceResources() {
    m_greyBrush = nullptr;
    m_textFormat = nullptr;
}

void DialOverlay::SetFactory(platform::Ref<draw::Factory> factory) {
    if (!(factory == m_factory)) {
        m_factory = std::move(factory);
    }
}

draw::Point2F DialOverlay::GetPuckCentre() const {
    const OverlayRect contact = GetContactRect();
    return {contact.x + contact.width * 0.5f, contact.y + contact.height * 0.5f};
}

platform::Ref<draw::TextFormat> DialOverlay::CreateMenuFontFormat(const DrawContext& context,
                                                                  float size) {
    platform::Ref<draw::TextFormat> format;
    std::u16string menuFont;
    if (context.textFactory && context.system && context.system->GetMenuFontFace(&menuFont)) {
        context.textFactory->CreateTextFormat(menuFont, draw::FontWeight::Normal,
                                              draw::FontStyle::Normal, draw::FontStretch::Normal,
                                              size, u"", &format);
    }
    return format;
}

platform::Ref<draw::TextFormat> DialOverlay::GetTextFormat(const DrawContext& context) {
    if (!m_textFormat) {
        m_textFormat = CreateMenuFontFormat(context, kLabelFontSize);
    }
    return m_textFormat;
}

platform::Ref<draw::SolidColourBrush> DialOverlay::GetGreyBrush(draw::DeviceContext* context) {
    if (!m_greyBrush && context) {
        context->CreateSolidColourBrush(draw::ColourF{kGrey, kGrey, kGrey, 1.0f}, &m_greyBrush);
    }
    return m_greyBrush;
}

bool DialOverlay::MeasureLabel(std::u16string_view text, draw::Point2F anchor,
                               const DrawContext& context, draw::TextFormat* format,
                               LabelLayout* layout) {
    if (!context.textFactory || !layout) {
        return false;
    }
    platform::Ref<draw::TextLayout> textLayout;
    if (FAILED(context.textFactory->CreateTextLayout(text, format, draw::kUnboundedExtent,
                                                     draw::kUnboundedExtent, &textLayout)) ||
        !textLayout) {
        return false;
    }
    draw::TextMetrics metrics;
    if (FAILED(textLayout->GetMetrics(&metrics))) {
        return false;
    }
    const float h = metrics.height;
    const float left = anchor.x + metrics.left;
    const float top = anchor.y + metrics.top;
    layout->text = {left + h, top, left + metrics.width + h, top + h};
    layout->pill = {left, top - h, left + metrics.width + 2 * h, top + 2 * h};
    return true;
}

void DialOverlay::DrawLabel(std::u16string_view text, draw::Point2F anchor,
                            const DrawContext& context, platform::Ref<draw::Brush> textBrush,
                            platform::Ref<draw::TextFormat> format,
                            platform::Ref<draw::Brush> backgroundBrush) {
    LabelLayout layout;
    if (!context.deviceContext || !MeasureLabel(text, anchor, context, format.Get(), &layout)) {
        return;
    }
    const float radius = (layout.pill.bottom - layout.pill.top) * 0.5f;
    context.deviceContext->FillRoundedRectangle(draw::RoundedRect{layout.pill, radius, radius},
                                                backgroundBrush.Get());
    context.deviceContext->DrawText(text, format.Get(), layout.text, textBrush.Get(),
                                    draw::DrawTextOptions::None, draw::MeasuringMode::Natural);
}

}  // namespace Quarn::WinRT::detail
