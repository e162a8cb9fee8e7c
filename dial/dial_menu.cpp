// The radial menu: one entry per dial item, rebuilt from scratch on every update.
#include <array>

#include "bindings/corvanta/attributes.h"
#include "bindings/kernel/format.h"
#include "bindings/kernel/log.h"
#include "bindings/platform/error.h"
#include "bindings/platform/services.h"
#include "bindings/vorta/tool.h"
#include "dial/dial.h"
#include "dial/menu_icon.h"
#include "dial/menu_item_tag.h"
#include "items/item_lookup.h"
#include "overlay/dial_overlay_window.h"

namespace Quarn::WinRT::detail {

namespace {

// With a tool, only these two platform entries stand beside the application's.
constexpr std::array kSystemItemsWithTool = {platform::SystemMenuItemKind::Volume,
                                             platform::SystemMenuItemKind::NextPreviousTrack};

}  // namespace

void Dial::UpdateRadialControllerConfiguration(
    const platform::Ref<platform::RadialControllerConfiguration>& configuration, bool noTool) {
    try {
        if (noTool) {
            configuration->ResetToDefaultMenuItems();
        } else {
            configuration->SetDefaultMenuItems(kSystemItemsWithTool);
        }
    } catch (const platform::PlatformError& error) {
        Kernel::Log().WriteLine(
            Kernel::Format8("Dial error: Failed to update radial controller configuration. %1",
                            error.MessageUtf8()));
    } catch (const std::exception& error) {
        Kernel::Log().WriteLine(Kernel::Format8(
            "Dial error: Failed to update radial controller configuration. %1", error.what()));
    }
}

bool Dial::UpdateRadialControllerMenu(
    Dial* dial, const platform::Ref<platform::RadialController>& controller,
    const platform::Ref<platform::RadialControllerConfiguration>& configuration, bool noTool,
    const ItemList& items, const Kernel::Counted<Kernel::Reflected>& itemToSelect) {
    bool result = false;
    try {
        const platform::Ref<platform::RadialControllerMenu> menu = controller->Menu();
        platform::MenuItemList& entries = menu->Items();
        UpdateRadialControllerConfiguration(configuration, noTool);
        entries.Clear();
        if (noTool) {
            return false;
        }
        platform::WheelPlatform& wheel = *platform::Services().wheel;
        platform::Ref<platform::RadialControllerMenuItem> chosen;
        for (const Kernel::Counted<Kernel::Reflected>& item : items) {
            if (!item) {
                continue;  // an empty entry is no item
            }
            if (HasAttribute<Corvanta::DialPositionAttribute>(*item) ||
                HasAttribute<Corvanta::DialButtonAttribute>(*item)) {
                continue;  // driven by the puck's position and the button, not chosen
            }
            const Kernel::String8 name = item->GetName().ToString();
            const Kernel::String16 text = Kernel::ConvertEnc<Kernel::TEncUtf16>(name);
            platform::Ref<platform::IconStream> icon =
                LoadMenuItemIcon(dial->m_resourcesDirectory, *item);
            platform::Ref<platform::RadialControllerMenuItem> entry;
            if (!icon) {
                Kernel::Trace(Kernel::Format8("Missing dial icon for %1!\n", name));
                entry =
                    wheel.CreateMenuItemFromKnownIcon(text.GetView(), platform::KnownIcon::PenType);
            } else {
                entry = wheel.CreateMenuItemFromIcon(text.GetView(), std::move(icon));
            }
            // The subscription ends with the entry, which the next rebuild or the dial's
            // teardown clears; should the entry outlive the dial all the same, the weak
            // reference finds no dial.
            entry->AddInvoked([weak = Kernel::WeakCounted<Dial>(dial)](
                                  platform::RadialControllerMenuItem& sender) -> std::int32_t {
                if (const Kernel::Counted<Dial> alive = weak.Lock()) {
                    return alive->OnItemInvoked(sender);
                }
                return S_OK;
            });
            auto tag = platform::MakeRef<MenuItemTag>();
            tag->item = item;
            entry->SetTag(tag);
            entries.Append(entry);

            const bool isItemToSelect =
                itemToSelect && itemToSelect->GetIdentifier() == item->GetIdentifier();
            if (isItemToSelect || HasAttribute<Corvanta::DefaultItemAttribute>(*item) || !chosen) {
                chosen = entry;
            }
        }
        result = static_cast<bool>(FirstPresent(items));
        if (chosen) {
            menu->SelectMenuItem(chosen);
        }
    } catch (const platform::PlatformError& error) {
        Kernel::Log().WriteLine(
            Kernel::Format8("Dial error: Failed to create menu items. %1", error.MessageUtf8()));
    } catch (const std::exception& error) {
        Kernel::Log().WriteLine(
            Kernel::Format8("Dial error: Failed to create menu items. %1", error.what()));
    }
    return result;
}

std::int32_t Dial::OnItemInvoked(platform::RadialControllerMenuItem& sender) {
    m_selectedItem.Reset();
    platform::Ref<platform::Inspectable> tag;
    try {
        tag = sender.Tag();
    } catch (const std::exception&) {
        Kernel::Log().WriteLine("Error: Failed to retrieve IRadialControllerMenuItemTag!");
    }
    // Every entry the menu builder made carries a MenuItemTag; anything else is no tag.
    auto* menuTag = dynamic_cast<MenuItemTag*>(tag.Get());
    if (!menuTag) {
        Kernel::Log().WriteLine("Error: Failed to retrieve MenuItemTag!");
        // No item is current now, so the history item's freeze ends with it: left set, every
        // later Update would be ignored until another entry is chosen successfully.
        m_menuFrozen = false;
        m_stepRotation = false;
        return E_NOINTERFACE;
    }
    m_selectedItem = menuTag->item;
    CurrentItemChanged();
    m_overlayWindow->SetItem(m_tool, m_selectedItem, this);
    return S_OK;
}

bool Dial::SelectMenuItem(Kernel::Counted<Kernel::Reflected> element) {
    for (const Reflectable& entry : m_reflectables) {
        if (auto group = FindGroupContaining(entry.reflecteds, element)) {
            const std::uint32_t elementId = element->GetIdentifier();
            if (auto current = FindAttribute<Corvanta::CurrentElementAttribute>(*group)) {
                current->elementId = elementId;
            } else {
                group->AppendAttribute(
                    Kernel::MakeCounted<Corvanta::CurrentElementAttribute>(elementId));
            }
            break;
        }
    }
    CurrentItemChanged();
    return true;
}

}  // namespace Quarn::WinRT::detail
