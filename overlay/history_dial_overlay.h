#pragma once
// The overlay of the document-history item: one pill to the right of the puck, white on black,
// saying where the user stands in the history ("3/10: Brush stroke"). It takes no input: the
// window stays click-through, and the button and rotation are left to the dial.
//
// Threads: SetItem and UpdateText (through OnToolChanged) run on the host thread and write
// m_text under m_textLock; Draw reads it under the same lock on the render thread. m_item and
// the history attribute it carries are read on the host thread only.

#include <string_view>

#include "bindings/kernel/counted.h"
#include "bindings/kernel/reflected.h"
#include "bindings/kernel/string.h"
#include "overlay/dial_overlay.h"
#include "overlay/overlay_lock.h"

namespace Quarn::WinRT::detail {

class HistoryDialOverlay final : public DialOverlay {
public:
    static constexpr float kMargin = 500;      // the window around the contact, either way
    static constexpr float kLabelOffset = 30;  // from the contact's right edge to the pill

    // Called once by CreateOverlay, before the overlay is shared.
    void SetItem(Kernel::Counted<Kernel::Reflected> item);
    // Rebuilds the label from the item's history cache: "position/count: description", or no
    // label when the description is empty.
    void UpdateText();
    // Host thread; a copy of the label text.
    Kernel::String16 GetText() const;

    void OnToolChanged(Kernel::Counted<Tool> tool) override;
    OverlayRect ComputeWindowRect(const OverlayRect& contact) override;
    void Draw(const DrawContext& context) override;

private:
    mutable OverlayLock m_textLock{OverlayLockRank::Text};
    Kernel::String16 m_text;  // guarded by m_textLock
    Kernel::Counted<Kernel::Reflected> m_item;
};

}  // namespace Quarn::WinRT::detail
