// The host's notifications: what each one refreshes of items, menu and overlay.
#include <algorithm>
#include <typeinfo>

#include "bindings/corvanta/reflection.h"
#include "bindings/kernel/notification.h"
#include "bindings/vorta/attributes.h"
#include "bindings/vorta/notifications.h"
#include "bindings/vorta/tool.h"
#include "dial/adjustment_tools.h"
#include "dial/dial.h"
#include "dial/history_cache.h"
#include "items/item_lookup.h"
#include "items/type_test.h"
#include "overlay/dial_overlay_window.h"

namespace Quarn::WinRT::detail {

void Dial::OnNotify(Kernel::Counted<Kernel::Notification> notification) {
    if (!m_tool || !notification) {
        return;
    }
    Kernel::Notification* received = notification.Get();

    const auto* newSelection =
        CachedCast<NewSelectionNotification, struct NotifyNewSelectionSite>(received);
    if (newSelection && newSelection->isTemporary) {
        return;
    }
    if (IsA<DocumentHistoryChangedNotification, struct NotifyHistoryChangedSite>(received)) {
        if (m_selectedItem) {
            if (auto cache = FindAttribute<DocumentHistoryCacheAttribute>(*m_selectedItem)) {
                cache->RefreshFrom(*m_tool);
            }
        }
        m_overlayWindow->Refresh(m_tool);
        return;
    }
    if (newSelection && IsA<ShapeTool, struct NotifyShapeToolSite>(m_tool.Get())) {
        Update(m_tool, false);
        return;
    }
    if (const auto* invalidated =
            CachedCast<Kernel::InvalidateReflectedsNotification, struct NotifyInvalidateAllSite>(
                received)) {
        const bool otherSource =
            invalidated->reflectable != Kernel::Counted<Kernel::Reflectable>(m_tool);
        Update(m_tool, m_updateFlag || otherSource);
        return;
    }
    if (const auto* stale =
            CachedCast<Kernel::InvalidateReflectedNotification, struct NotifyInvalidateOneSite>(
                received)) {
        OnItemInvalidated(*stale);
        return;
    }
    if (IsA<Kernel::UpdateReflectedsNotification, struct NotifyUpdateAllSite>(received) ||
        IsA<Kernel::UpdateReflectedNotification, struct NotifyUpdateOneSite>(received)) {
        return;
    }
    if (IsA<AdjustmentNodeParametersChangedNotification, struct NotifyAdjustmentSite>(received)) {
        const ToolID id = SelectedAdjustmentToolId(*m_tool);
        const Kernel::Counted<DocumentController> controller =
            m_tool->GetSafeDocumentController().GetDocumentController();
        if (id != kNoAdjustmentTool && controller) {
            if (auto* adjustment = CachedCast<AdjustmentTool, struct NotifyAdjustmentToolSite>(
                    controller->GetToolByID(id).Get())) {
                adjustment->RefreshParameters();
            }
        }
        return;
    }
    const Kernel::Counted<Kernel::Reflected> current = GetCurrentItem();
    if (!current) {
        return;
    }
    const std::size_t typeHash = typeid(*received).hash_code();
    for (const auto& attribute : current->GetAttributes()) {
        const auto* wanted =
            CachedCast<RequiresUpdateAfterNotificationAttribute, struct NotifyRequiresUpdateSite>(
                attribute.Get());
        if (wanted && wanted->notificationTypeHash == typeHash) {
            m_overlayWindow->Refresh(m_tool);
        }
    }
}

void Dial::OnItemInvalidated(const Kernel::InvalidateReflectedNotification& stale) {
    const bool known = std::any_of(
        m_reflectables.begin(), m_reflectables.end(),
        [&](const Reflectable& entry) { return entry.reflectable == stale.reflectable; });
    if (!known) {
        return;
    }
    // A fresh enumeration only to find the fresh item; the held items and the menu stay.
    const ItemList fresh = FlattenReflectables(EnumerateReflecteds(m_tool, m_updateFlag));
    const Kernel::Counted<Kernel::Reflected> freshItem =
        Corvanta::Reflection::FindReflected(fresh, stale.identifier);
    if (!freshItem) {
        return;
    }
    const auto group = FindGroupContaining(fresh, freshItem);
    const std::uint32_t selectedId = m_selectedItem ? m_selectedItem->GetIdentifier() : 0;
    const std::uint32_t ownerId = group ? group->GetIdentifier() : stale.identifier;
    if (selectedId != ownerId) {
        return;  // the stale item is not the one in use
    }
    if (selectedId == stale.identifier) {
        m_selectedItem = freshItem;
    }
    m_overlayWindow->RefreshItem(m_tool, freshItem);
}

}  // namespace Quarn::WinRT::detail
