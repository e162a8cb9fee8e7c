#include "overlay/create_overlay.h"

#include <algorithm>

#include "bindings/corvanta/attributes.h"
#include "bindings/corvanta/group.h"
#include "bindings/corvanta/reflection.h"
#include "bindings/vorta/document.h"
#include "bindings/vorta/tool.h"
#include "items/item_lookup.h"
#include "items/type_test.h"
#include "overlay/group_dial_overlay.h"
#include "overlay/history_dial_overlay.h"

namespace Quarn::WinRT::detail {

namespace {

using HistoryBinding = Kernel::ReflectedBinding<Kernel::Counted<DocumentHistory>>;

std::unique_ptr<DialOverlay> MakeHistoryOverlay(Kernel::Counted<Kernel::Reflected> item) {
    auto overlay = std::make_unique<HistoryDialOverlay>();
    overlay->SetItem(std::move(item));
    return overlay;
}

std::unique_ptr<DialOverlay> MakeGroupOverlay(Kernel::Counted<Tool> tool, ItemList elements,
                                              Kernel::Counted<Kernel::Reflected> current) {
    auto overlay = std::make_unique<GroupDialOverlay>();
    overlay->SetItems(std::move(tool), std::move(elements), std::move(current));
    return overlay;
}

// Host thread only, like every dial.
OverlayKinds s_kinds{&MakeHistoryOverlay, &MakeGroupOverlay};

// The elements the overlay shows: the position and button elements follow the puck and the
// button, never the overlay.
ItemList ShownElements(const Corvanta::ReflectedGroup& group) {
    ItemList shown = group.GetElements();
    std::erase_if(shown, [](const Kernel::Counted<Kernel::Reflected>& element) {
        return !element || HasAttribute<Corvanta::DialPositionAttribute>(*element) ||
               HasAttribute<Corvanta::DialButtonAttribute>(*element);
    });
    return shown;
}

Kernel::Counted<Kernel::Reflected> ResolveCurrent(Corvanta::ReflectedGroup& group,
                                                  const ItemList& shown) {
    auto attribute = FindAttribute<Corvanta::CurrentElementAttribute>(group);
    Kernel::Counted<Kernel::Reflected> current;
    if (attribute) {
        current = Corvanta::Reflection::FindReflected(shown, attribute->elementId);
    }
    if (current || shown.empty()) {
        return current;
    }
    current = shown.front();
    if (attribute) {
        attribute->elementId = current->GetIdentifier();
    } else {
        group.AppendAttribute(Kernel::Counted<Kernel::Reflected::Attribute>(
            Kernel::MakeCounted<Corvanta::CurrentElementAttribute>(current->GetIdentifier())));
    }
    return current;
}

}  // namespace

const OverlayKinds& InstalledOverlayKinds() {
    return s_kinds;
}

ScopedOverlayKinds::ScopedOverlayKinds(const OverlayKinds& kinds) : m_previous(s_kinds) {
    s_kinds = kinds;
}

ScopedOverlayKinds::~ScopedOverlayKinds() {
    s_kinds = m_previous;
}

std::unique_ptr<DialOverlay> CreateOverlay(Kernel::Counted<Tool> tool,
                                           Kernel::Counted<Kernel::Reflected> item) {
    if (!item) {
        return nullptr;
    }
    if (IsA<HistoryBinding, struct HistoryOverlaySite>(item.Get())) {
        return s_kinds.history ? s_kinds.history(std::move(item)) : nullptr;
    }
    auto group = CachedCast<Corvanta::ReflectedGroup, struct GroupOverlaySite>(item);
    if (!group) {
        return nullptr;
    }
    ItemList shown = ShownElements(*group);
    Kernel::Counted<Kernel::Reflected> current = ResolveCurrent(*group, shown);
    return s_kinds.group ? s_kinds.group(std::move(tool), std::move(shown), std::move(current))
                         : nullptr;
}

}  // namespace Quarn::WinRT::detail
