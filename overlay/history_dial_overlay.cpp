#include "overlay/history_dial_overlay.h"

#include <mutex>

#include "bindings/kernel/format.h"
#include "bindings/vorta/tool.h"
#include "dial/history_cache.h"
#include "items/item_lookup.h"

namespace Quarn::WinRT::detail {

namespace draw = platform::draw;

void HistoryDialOverlay::SetItem(Kernel::Counted<Kernel::Reflected> item) {
    m_item = std::move(item);
    UpdateText();
}

void HistoryDialOverlay::UpdateText() {
    // Built before the lock: the render thread waits for the swap only.
    Kernel::String16 text;
    if (m_item) {
        if (const auto cache = FindAttribute<DocumentHistoryCacheAttribute>(*m_item)) {
            const Kernel::String16 description =
                Kernel::ConvertEnc<Kernel::TEncUtf16>(cache->description);
            if (!description.IsEmpty()) {
                Kernel::AppendFormatVT(text, std::u16string_view(u"%1/%2: %3"),
                                       Kernel::ToStringT<Kernel::TEncUtf16>(
                                           cache->position, Kernel::kSignNegativeOnly, false),
                                       Kernel::ToStringT<Kernel::TEncUtf16>(
                                           cache->count, Kernel::kSignNegativeOnly, false),
                                       description);
            }
        }
    }
    std::lock_guard lock(m_textLock);
    std::swap(m_text, text);
}

Kernel::String16 HistoryDialOverlay::GetText() const {
    std::lock_guard lock(m_textLock);
    return m_text;
}

void HistoryDialOverlay::OnToolChanged(Kernel::Counted<Tool> /*tool*/) {
    UpdateText();
}

OverlayRect HistoryDialOverlay::ComputeWindowRect(const OverlayRect& contact) {
    return {contact.x - kMargin, contact.y - kMargin, contact.width + 2 * kMargin,
            contact.height + 2 * kMargin};
}

void HistoryDialOverlay::Draw(const DrawContext& context) {
    const OverlayRect contact = GetContactRect();  // once: one layout per frame
    if (!(contact.width > 0) || !(contact.height > 0) || !context.deviceContext) {
        return;
    }
    platform::Ref<draw::SolidColourBrush> black;
    platform::Ref<draw::SolidColourBrush> white;
    context.deviceContext->CreateSolidColourBrush({0, 0, 0, 1}, &black);
    context.deviceContext->CreateSolidColourBrush({1, 1, 1, 1}, &white);
    const draw::Point2F centre{contact.x + contact.width * 0.5f, contact.y + contact.height * 0.5f};
    const draw::Point2F anchor{centre.x + contact.width * 0.5f + kLabelOffset, centre.y};
    std::lock_guard lock(m_textLock);
    if (!m_text.IsEmpty()) {
        DrawLabel(m_text.GetView(), anchor, context, platform::Ref<draw::Brush>(white),
                  GetTextFormat(context), platform::Ref<draw::Brush>(black));
    }
}

}  // namespace Quarn::WinRT::detail
