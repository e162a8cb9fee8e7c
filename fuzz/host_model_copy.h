#pragma once
// A copy of a host model that shares nothing an input can change: its own document (history,
// selection, tools) and its own items, each of its own class with its values, so that an input
// starts from the example host exactly as a new build of it would, without building it from its
// description for every input (that build was most of an input's cost).
//
// Items are copied only as the classes the host description builds; any other class stops the
// fuzzer, since a copy as a base class would lose what the dial tells items apart by. Attributes
// are shared with the original, as nothing changes one in place, except a group's current element,
// which the dial moves: that one is copied. A new attribute the dial changes in place must be
// copied here too.

#include <cstdio>
#include <cstdlib>
#include <map>
#include <typeinfo>
#include <vector>

#include "bindings/corvanta/attributes.h"
#include "bindings/corvanta/group.h"
#include "bindings/corvanta/view_rotation.h"
#include "bindings/kernel/counted.h"
#include "bindings/kernel/reflected.h"
#include "bindings/vorta/document.h"
#include "bindings/vorta/tool.h"
#include "tools/sim/host_description.h"

namespace Quarn::WinRT::fuzz {

class HostModelCopy {
public:
    static sim::HostModel Of(const sim::HostModel& from) { return HostModelCopy().Copy(from); }

private:
    using Reflected = Kernel::Reflected;
    template <class T>
    using Counted = Kernel::Counted<T>;

    sim::HostModel Copy(const sim::HostModel& from) {
        sim::HostModel to;
        to.window = from.window;
        to.document = Kernel::MakeCounted<DocumentController>();
        const Counted<DocumentHistory> history = from.document->GetHistory();
        m_history = to.document->GetHistory();
        for (int i = 0; i < history->GetCount(); ++i) {
            m_history->Push(history->GetEntryName(i));
        }
        m_history->SetIndex(history->GetPosition() - 1);
        to.document->SetSelection(from.document->GetSelection());  // layers hold only a name
        for (const Counted<Tool>& tool : from.tools) {
            Counted<Tool> copy = CopyTool(*tool, to.document);
            to.document->AddTool(copy);
            to.tools.push_back(std::move(copy));
        }
        to.selections = from.selections;
        for (const auto& [id, item] : from.itemsById) {
            to.itemsById.emplace(id, Item(item));
        }
        to.menuEntries = from.menuEntries;
        to.enumChoices = from.enumChoices;
        return to;
    }

    Counted<Tool> CopyTool(const Tool& tool, const Counted<DocumentController>& document) {
        Counted<Tool> copy;
        const std::type_info& type = typeid(tool);
        if (type == typeid(Tool)) {
            copy = Kernel::MakeCounted<Tool>(tool.GetToolID(), tool.GetName(), document);
        } else if (type == typeid(AdjustmentTool)) {
            copy = Kernel::MakeCounted<AdjustmentTool>(tool.GetToolID(), tool.GetName(), document);
        } else if (type == typeid(ShapeTool)) {
            copy = Kernel::MakeCounted<ShapeTool>(tool.GetToolID(), tool.GetName(), document);
        } else {
            Unknown(type);
        }
        copy->SetUserUnits(tool.GetUserUnits());  // shared: const
        for (const Counted<Reflected>& item : tool.GetDialReflecteds()) {
            copy->AddDialReflected(Item(item));
        }
        return copy;
    }

    // One copy per item, so that an item in two places (a group's element is also in
    // itemsById) stays one object.
    Counted<Reflected> Item(const Counted<Reflected>& item) {
        if (!item) {
            return item;
        }
        const auto known = m_copies.find(item.Get());
        if (known != m_copies.end()) {
            return known->second;
        }
        Counted<Reflected> copy = NewItem(*item);
        m_copies.emplace(item.Get(), copy);
        return copy;
    }

    Counted<Reflected> NewItem(const Reflected& item) {
        const std::type_info& type = typeid(item);
        if (type == typeid(Corvanta::ReflectedGroup)) {
            std::vector<Counted<Reflected>> elements;
            for (const Counted<Reflected>& element :
                 static_cast<const Corvanta::ReflectedGroup&>(item).GetElements()) {
                elements.push_back(Item(element));
            }
            return WithAttributesOf(item, Kernel::MakeCounted<Corvanta::ReflectedGroup>(
                                              item.GetIdentifier(), item.GetName(), elements));
        }
        if (type == typeid(Kernel::ReflectedBinding<Counted<DocumentHistory>>)) {
            // The history item shows the copy's own history.
            return WithAttributesOf(
                item, Kernel::MakeCounted<Kernel::ReflectedBinding<Counted<DocumentHistory>>>(
                          item.GetIdentifier(), item.GetName(), m_history));
        }
        Counted<Reflected> copy;
        if (CopyAs<Kernel::ReflectedRangeT<double>>(item, copy) ||
            CopyAs<Kernel::ReflectedRangeT<float>>(item, copy) ||
            CopyAs<Kernel::ReflectedRangeT<int>>(item, copy) ||
            CopyAs<Kernel::ReflectedUnitRange>(item, copy) ||
            CopyAs<Kernel::ReflectedBinding<bool>>(item, copy) ||
            CopyAs<Kernel::ReflectedBinding<Kernel::PointT<double>>>(item, copy) ||
            CopyAs<Kernel::ReflectedRasterBlendMode>(item, copy) ||
            CopyAs<Corvanta::ViewRotationReflected>(item, copy)) {
            return copy;
        }
        Unknown(type);
    }

    // The item's own class copied whole: values, range, entries and (shared) attributes.
    template <class T>
    static bool CopyAs(const Reflected& item, Counted<Reflected>& copy) {
        if (typeid(item) != typeid(T)) {
            return false;
        }
        for (const auto& attribute : item.GetAttributes()) {
            if (dynamic_cast<const Corvanta::CurrentElementAttribute*>(attribute.Get())) {
                std::fprintf(stderr, "fuzz: a current element on an item that is no group\n");
                std::abort();
            }
        }
        copy = Kernel::MakeCounted<T>(static_cast<const T&>(item));
        return true;
    }

    static Counted<Reflected> WithAttributesOf(const Reflected& item, Counted<Reflected> copy) {
        for (const auto& attribute : item.GetAttributes()) {
            if (const auto* current =
                    dynamic_cast<const Corvanta::CurrentElementAttribute*>(attribute.Get())) {
                copy->AppendAttribute(
                    Kernel::MakeCounted<Corvanta::CurrentElementAttribute>(current->elementId));
            } else {
                copy->AppendAttribute(attribute);
            }
        }
        return copy;
    }

    [[noreturn]] static void Unknown(const std::type_info& type) {
        std::fprintf(stderr, "fuzz: the host model copy does not know the class %s\n", type.name());
        std::abort();
    }

    Counted<DocumentHistory> m_history;
    std::map<const Reflected*, Counted<Reflected>> m_copies;
};

}  // namespace Quarn::WinRT::fuzz
