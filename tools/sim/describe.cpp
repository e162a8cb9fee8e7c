#include "tools/sim/describe.h"

#include "bindings/corvanta/attributes.h"
#include "bindings/corvanta/group.h"
#include "bindings/corvanta/view_rotation.h"
#include "bindings/kernel/string.h"
#include "dial/notifications_sent.h"
#include "tools/sim/transcript.h"

namespace Quarn::WinRT::sim {

namespace {

using Kernel::Reflected;

std::string Utf8(std::u16string_view text) {
    std::string out;
    Kernel::AppendUtf8(out, text);
    return out;
}

std::string Name(const Reflected& item) {
    return std::string(item.GetName().ToString().GetView());
}

template <class Attribute>
bool Has(const Reflected& item) {
    for (const auto& attribute : item.GetAttributes()) {
        if (dynamic_cast<const Attribute*>(attribute.Get())) {
            return true;
        }
    }
    return false;
}

template <class T>
std::string Text(T value) {
    if constexpr (std::is_integral_v<T>) {
        return std::to_string(value);
    } else {
        return Number(static_cast<double>(value));
    }
}

template <class T>
std::string Range(const Kernel::ReflectedRangeT<T>& range, std::string_view kind) {
    return std::string(kind) + " " + Text(range.GetValue()) + " in [" + Text(range.GetMinimum()) +
           ", " + Text(range.GetMaximum()) + "]";
}

std::string Value(const Reflected& item, const Tool* tool, const HostModel& model) {
    if (const auto* d = dynamic_cast<const Kernel::ReflectedRangeT<double>*>(&item)) {
        return Range(*d, "double");
    }
    if (const auto* f = dynamic_cast<const Kernel::ReflectedRangeT<float>*>(&item)) {
        return Range(*f, "float");
    }
    if (const auto* i = dynamic_cast<const Kernel::ReflectedRangeT<int>*>(&item)) {
        const auto choices = model.enumChoices.find(item.GetIdentifier());
        if (choices == model.enumChoices.end()) {
            return Range(*i, "int");
        }
        const int value = i->GetValue();
        const bool named = value >= 0 && static_cast<std::size_t>(value) < choices->second.size();
        return "enum " + std::to_string(value) +
               (named ? " " + choices->second[static_cast<std::size_t>(value)] : std::string()) +
               " of " + std::to_string(choices->second.size());
    }
    if (const auto* u = dynamic_cast<const Kernel::ReflectedUnitRange*>(&item)) {
        const Kernel::Counted<const Kernel::UserUnits> units =
            tool ? tool->GetUserUnits() : Kernel::Counted<const Kernel::UserUnits>();
        return "unit " + Number(u->GetValue(units)) + " in [" + Number(u->GetMinimum(units)) +
               ", " + Number(u->GetMaximum(units)) + "] (unit type " +
               std::to_string(u->GetDisplayUnit(units)) + ")";
    }
    if (const auto* b = dynamic_cast<const Kernel::ReflectedBinding<bool>*>(&item)) {
        return std::string("bool ") + (b->GetValue() ? "true" : "false");
    }
    if (const auto* p =
            dynamic_cast<const Kernel::ReflectedBinding<Kernel::PointT<double>>*>(&item)) {
        return "position " + Kernel::DescribeValue(p->GetValue());
    }
    if (const auto* h =
            dynamic_cast<const Kernel::ReflectedBinding<Kernel::Counted<DocumentHistory>>*>(
                &item)) {
        const auto history = h->GetValue();
        return history ? "history at " + std::to_string(history->GetPosition()) + " of " +
                             std::to_string(history->GetCount())
                       : std::string("history (none)");
    }
    if (dynamic_cast<const Corvanta::ViewRotationReflected*>(&item)) {
        return "view rotation";
    }
    if (const auto* m = dynamic_cast<const Kernel::ReflectedRasterBlendMode*>(&item)) {
        const int index = m->GetIndex();
        const bool named = index >= 0 && static_cast<std::size_t>(index) < m->GetEntries().size();
        return "blend mode " + std::to_string(index) +
               (named ? " " + std::string(m->GetEntries()[static_cast<std::size_t>(index)]
                                              .name.ToString()
                                              .GetView())
                      : std::string()) +
               " of " + std::to_string(m->GetEntries().size());
    }
    if (dynamic_cast<const Corvanta::ReflectedGroup*>(&item)) {
        return "group";
    }
    return "(a kind the simulator does not know)";
}

std::string KnownIconName(platform::KnownIcon icon) {
    static constexpr const char* kNames[] = {
        "Scroll", "Zoom",     "UndoRedo",     "Volume", "NextPreviousTrack",
        "Ruler",  "InkColor", "InkThickness", "PenType"};
    const auto index = static_cast<std::size_t>(icon);
    return index < std::size(kNames) ? kNames[index] : "#" + std::to_string(index);
}

std::string SystemItemName(platform::SystemMenuItemKind kind) {
    return KnownIconName(static_cast<platform::KnownIcon>(kind));  // the same numbering
}

}  // namespace

std::string ItemLabel(std::uint32_t identifier, const HostModel& model) {
    const std::string code = Kernel::FourCCToString(identifier);
    if (const auto item = model.FindItem(identifier)) {
        return Name(*item) + " (" + code + ")";
    }
    return "(" + code + ")";
}

std::string ItemLabel(const Reflected& item) {
    return Name(item) + " (" + Kernel::FourCCToString(item.GetIdentifier()) + ")";
}

std::string DescribeItem(const Reflected& item, const Tool* tool, const HostModel& model) {
    return ItemLabel(item) + " " + Value(item, tool, model);
}

std::vector<std::string> DescribeItems(const detail::Dial& dial, const HostModel& model,
                                       bool withValues) {
    std::vector<std::string> lines;
    const auto current = dial.GetCurrentItem();
    const auto button = dial.GetDialButtonReflected();
    const auto position = dial.GetDialPositionReflected();
    const Reflected* selected = dial.GetSelectedItem().Get();

    auto marks = [&](const Reflected& item) {
        std::string text;
        if (withValues && &item == selected) {
            text += " [selected]";
        }
        if (withValues && &item == current.Get()) {
            text += " [current]";
        }
        if (&item == button.Get()) {
            text += " [button]";
        }
        if (&item == position.Get()) {
            text += " [position]";
        }
        if (Has<Corvanta::DefaultItemAttribute>(item)) {
            text += " [default]";
        }
        return text;
    };

    for (const detail::Dial::Reflectable& source : dial.GetReflectables()) {
        const auto* tool = dynamic_cast<const Tool*>(source.reflectable.Get());
        lines.push_back(tool ? "from " + std::string(tool->GetName().ToString().GetView()) +
                                   " (tool " + std::to_string(tool->GetToolID()) +
                                   "): " + std::to_string(source.reflecteds.size()) + " items"
                             : "from no tool: " + std::to_string(source.reflecteds.size()) +
                                   " items");
        for (const auto& item : source.reflecteds) {
            auto describe = [&](const Reflected& shown) {
                return withValues ? DescribeItem(shown, tool, model)
                                  : ItemLabel(shown.GetIdentifier(), model);
            };
            lines.push_back("  " + describe(*item) + marks(*item));
            if (const auto* group = dynamic_cast<const Corvanta::ReflectedGroup*>(item.Get())) {
                for (const auto& element : group->GetElements()) {
                    lines.push_back("    " + describe(*element) + marks(*element));
                }
            }
        }
    }
    return lines;
}

std::vector<std::string> DescribeMenu(SimController* controller, SimConfiguration* configuration,
                                      std::string_view resourcesDirectory) {
    std::vector<std::string> lines;
    if (!controller) {
        return lines;
    }
    SimMenu& menu = controller->GetSimMenu();
    const auto selected = menu.GetSelectedMenuItem();
    std::size_t index = 0;
    for (const auto& entry : menu.Entries()) {
        std::string line = std::to_string(++index) + " " + Quoted(Utf8(entry->DisplayText()));
        if (const auto icon = entry->Icon()) {
            std::string source = Utf8(icon->Source());
            for (char& c : source) {
                c = c == '\\' ? '/' : c;
            }
            std::string root(resourcesDirectory);
            for (char& c : root) {
                c = c == '\\' ? '/' : c;
            }
            // Relative to the resources folder, so the transcript reads the same everywhere.
            if (!root.empty() && source.starts_with(root)) {
                source.erase(0, root.size());
                if (!source.empty() && source.front() == '/') {
                    source.erase(0, 1);
                }
            }
            line += " icon " + source;
        } else {
            line += " known icon " + KnownIconName(entry->GetKnownIcon());
        }
        if (selected.Get() == entry.Get()) {
            line += " [selected]";
        }
        lines.push_back(std::move(line));
    }
    if (lines.empty()) {
        lines.push_back("no application entries");
    }
    std::string system = "system items: ";
    if (configuration && configuration->DefaultItems()) {
        const auto& kinds = *configuration->DefaultItems();
        if (kinds.empty()) {
            system += "none";
        }
        for (std::size_t i = 0; i < kinds.size(); ++i) {
            system += (i ? ", " : "") + SystemItemName(kinds[i]);
        }
    } else {
        system += "the platform's defaults";
    }
    lines.push_back(std::move(system));
    return lines;
}

std::string DescribeNotification(const Kernel::Notification& notification,
                                 std::string_view className) {
    std::string text(className);
    if (const auto* parameters =
            dynamic_cast<const ToolParametersChangedNotification*>(&notification)) {
        text += " value " + std::to_string(parameters->value);
    } else if (const auto* rotation =
                   dynamic_cast<const Corvanta::RecommendViewRotationNotification*>(
                       &notification)) {
        text += " angle " + Number(rotation->angle);
        text += rotation->hasPivot ? " pivot " + Kernel::DescribeValue(rotation->pivot)
                                   : std::string(" no pivot");
    }
    if (const auto* document = dynamic_cast<const DocumentNotification*>(&notification)) {
        text += document->GetFlag() ? " flag true" : " flag false";
    }
    return text;
}

}  // namespace Quarn::WinRT::sim
