#pragma once
// Which overlay an item gets: the document-history item the history overlay, a group the group
// overlay with its elements (less those driven by the puck's position or the button) and its
// current element, anything else none.
//
// The two kinds are made through OverlayKinds: the library's own GroupDialOverlay and
// HistoryDialOverlay unless a test installs others (the choice and the group's preparation stay
// here whatever the kinds are); a kind installed as null shows its items without an overlay.
// Install on the host thread before any dial exists.

#include <memory>
#include <vector>

#include "bindings/kernel/counted.h"
#include "bindings/kernel/reflected.h"
#include "overlay/dial_overlay.h"

class Tool;

namespace Quarn::WinRT::detail {

struct OverlayKinds {
    using HistoryMaker = std::unique_ptr<DialOverlay> (*)(Kernel::Counted<Kernel::Reflected> item);
    using GroupMaker = std::unique_ptr<DialOverlay> (*)(
        Kernel::Counted<Tool> tool, std::vector<Kernel::Counted<Kernel::Reflected>> elements,
        Kernel::Counted<Kernel::Reflected> current);

    HistoryMaker history = nullptr;
    GroupMaker group = nullptr;
};

const OverlayKinds& InstalledOverlayKinds();

// Installs other kinds for its lifetime (tests).
class ScopedOverlayKinds {
public:
    explicit ScopedOverlayKinds(const OverlayKinds& kinds);
    ~ScopedOverlayKinds();
    ScopedOverlayKinds(const ScopedOverlayKinds&) = delete;
    ScopedOverlayKinds& operator=(const ScopedOverlayKinds&) = delete;

private:
    OverlayKinds m_previous;
};

// A new overlay owned by the caller, or null. A group without a current element among the
// remaining elements is told that the first of them is current.
std::unique_ptr<DialOverlay> CreateOverlay(Kernel::Counted<Tool> tool,
                                           Kernel::Counted<Kernel::Reflected> item);

}  // namespace Quarn::WinRT::detail
