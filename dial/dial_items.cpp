// Which items the dial offers and which one it turns.
#include <utility>

#include "bindings/corvanta/attributes.h"
#include "bindings/corvanta/group.h"
#include "bindings/corvanta/reflection.h"
#include "bindings/vorta/tool.h"
#include "dial/adjustment_tools.h"
#include "dial/dial.h"
#include "dial/history_cache.h"
#include "items/item_lookup.h"
#include "items/type_test.h"

namespace Quarn::WinRT::detail {

namespace {

constexpr std::uint32_t kHistoryIdentifier = Kernel::FourCC("hist");

Kernel::Counted<Kernel::Reflectable> ReflectableOf(const Kernel::Counted<Tool>& tool) {
    return Kernel::Counted<Kernel::Reflectable>(tool);
}

// Attribute lists only grow, and a host may hand out the same item objects on every enumeration.
// The marker means only "present", so an item that carries one already keeps it as it is.
void MarkDefault(ItemList& items) {
    const Kernel::Counted<Kernel::Reflected> first = FirstPresent(items);
    if (first && !HasAttribute<Corvanta::DefaultItemAttribute>(*first)) {
        first->AppendAttribute(Kernel::MakeCounted<Corvanta::DefaultItemAttribute>());
    }
}

// Readers take an item's first cache, so a kept item's cache is refreshed where it stands
// instead of gaining a second, unread one.
void AttachHistoryCache(Kernel::Reflected& history, const Tool& owner) {
    if (const auto cache = FindAttribute<DocumentHistoryCacheAttribute>(history)) {
        cache->RefreshFrom(owner);
        return;
    }
    auto cache = Kernel::MakeCounted<DocumentHistoryCacheAttribute>();
    cache->RefreshFrom(owner);
    history.AppendAttribute(std::move(cache));
}

}  // namespace

void DocumentHistoryCacheAttribute::RefreshFrom(const Tool& tool) {
    Set(tool, tool.GetHistoryPosition(), tool.GetHistoryCount());
}

void DocumentHistoryCacheAttribute::Set(const Tool& tool, std::int32_t newPosition,
                                        std::int32_t newCount) {
    position = newPosition;
    count = newCount;
    description =
        newPosition >= 1 ? tool.GetHistoryEntryName(newPosition - 1).ToString() : Kernel::String8();
}

std::vector<Dial::Reflectable> Dial::EnumerateReflecteds(const Kernel::Counted<Tool>& tool,
                                                         bool defaultFromSelection) const {
    const ToolID adjustmentToolId = tool ? SelectedAdjustmentToolId(*tool) : kNoAdjustmentTool;

    std::vector<Reflectable> result;
    result.reserve(2);

    // The tool's own items always come first, even as an empty list.
    Reflectable toolEntry{ReflectableOf(tool),
                          Corvanta::DialReflection::EnumerateReflecteds(ReflectableOf(tool), true)};
    if (!defaultFromSelection) {
        MarkDefault(toolEntry.reflecteds);
    }
    result.push_back(std::move(toolEntry));

    if (adjustmentToolId != kNoAdjustmentTool) {
        const Kernel::Counted<DocumentController> controller = tool->GetUnsafeDocumentController();
        Kernel::Counted<Tool> adjustmentTool =
            controller ? controller->GetToolByID(adjustmentToolId) : Kernel::Counted<Tool>();
        if (adjustmentTool) {
            ItemList items =
                Corvanta::DialReflection::EnumerateReflecteds(ReflectableOf(adjustmentTool), true);
            if (FirstPresent(items)) {
                if (defaultFromSelection) {
                    MarkDefault(items);
                }
                result.push_back(Reflectable{ReflectableOf(adjustmentTool), std::move(items)});
            }
        }
    }

    for (Reflectable& entry : result) {
        const Tool* owner = CachedCast<Tool, struct HistoryOwnerSite>(entry.reflectable.Get());
        if (!owner) {
            continue;
        }
        if (Kernel::Counted<Kernel::Reflected> history =
                Corvanta::Reflection::FindReflected(entry.reflecteds, kHistoryIdentifier)) {
            AttachHistoryCache(*history, *owner);
        }
    }
    return result;
}

Kernel::Counted<Kernel::Reflected> Dial::GetCurrentItem() const {
    const auto* group =
        CachedCast<Corvanta::ReflectedGroup, struct CurrentGroupSite>(m_selectedItem.Get());
    if (!group) {
        return m_selectedItem;
    }
    const ItemList& elements = group->GetElements();
    if (auto current = FindAttribute<Corvanta::CurrentElementAttribute>(*group)) {
        if (auto found = Corvanta::Reflection::FindReflected(elements, current->elementId)) {
            return found;
        }
    }
    return FirstPresent(elements);
}

Kernel::Counted<Kernel::ReflectedBinding<bool>> Dial::GetDialButtonReflected() const {
    for (const Reflectable& entry : m_reflectables) {
        for (const Kernel::Counted<Kernel::Reflected>& item : entry.reflecteds) {
            if (!item || !HasAttribute<Corvanta::DialButtonAttribute>(*item)) {
                continue;
            }
            if (auto* binding =
                    CachedCast<Kernel::ReflectedBinding<bool>, struct ButtonItemSite>(item.Get())) {
                return Kernel::Counted<Kernel::ReflectedBinding<bool>>(binding);
            }
        }
    }
    return {};
}

Kernel::Counted<Kernel::ReflectedBinding<Kernel::PointT<double>>> Dial::GetDialPositionReflected()
    const {
    using PositionBinding = Kernel::ReflectedBinding<Kernel::PointT<double>>;
    for (const Reflectable& entry : m_reflectables) {
        for (const Kernel::Counted<Kernel::Reflected>& item : entry.reflecteds) {
            if (!item || !HasAttribute<Corvanta::DialPositionAttribute>(*item)) {
                continue;
            }
            if (auto* binding = CachedCast<PositionBinding, struct PositionItemSite>(item.Get())) {
                return Kernel::Counted<PositionBinding>(binding);
            }
        }
    }
    return {};
}

}  // namespace Quarn::WinRT::detail
