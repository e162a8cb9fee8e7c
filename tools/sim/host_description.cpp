#include "tools/sim/host_description.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <fstream>
#include <limits>
#include <sstream>
#include <utility>

#include "bindings/corvanta/attributes.h"
#include "bindings/corvanta/group.h"
#include "bindings/corvanta/view_rotation.h"
#include "bindings/kernel/units.h"
#include "bindings/vorta/attributes.h"
#include "tools/sim/json_node.h"
#include "tools/sim/json_reader.h"
#include "tools/sim/limits.h"

namespace Quarn::WinRT::sim {

namespace {

using Kernel::Counted;
using Kernel::MakeCounted;
using Kernel::Reflected;
using nlohmann::json;

constexpr double kMaxMagnitude = limits::kMaxMagnitude;
constexpr std::int64_t kIntMinimum = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t kIntMaximum = std::numeric_limits<std::int32_t>::max();

// The name a script uses for "no tool" and "no selection".
constexpr std::string_view kReservedName = "none";

struct NamedUnit {
    std::string_view name;
    Kernel::UnitType type;
};
constexpr std::array kUnits = {
    NamedUnit{"none", Kernel::UnitTypes::None},
    NamedUnit{"percent", Kernel::UnitTypes::Percent},
    NamedUnit{"pixels", Kernel::UnitTypes::Pixels},
    NamedUnit{"points", Kernel::UnitTypes::Points},
    NamedUnit{"millimetres", Kernel::UnitTypes::Millimetres},
    NamedUnit{"centimetres", Kernel::UnitTypes::Centimetres},
    NamedUnit{"inches", Kernel::UnitTypes::Inches},
    NamedUnit{"degrees", Kernel::UnitTypes::Degrees},
    NamedUnit{"radians", Kernel::UnitTypes::Radians},
    NamedUnit{"milliseconds", Kernel::UnitTypes::Milliseconds},
    NamedUnit{"seconds", Kernel::UnitTypes::Seconds},
    NamedUnit{"ppi", Kernel::UnitTypes::PixelsPerInch},
    NamedUnit{"number", Kernel::UnitTypes::Number},
};

Kernel::UnitType ParseUnit(const Node& node) {
    const std::string name = node.String();
    for (const NamedUnit& unit : kUnits) {
        if (unit.name == name) {
            return unit.type;
        }
    }
    node.Fail(
        "a unit (none, percent, pixels, points, millimetres, centimetres, inches, degrees, "
        "radians, milliseconds, seconds, ppi, number)");
}

std::uint32_t ParseColour(const Node& node) {
    const std::string text = node.String();
    if (text.size() != 7 || text[0] != '#' ||
        text.find_first_not_of("0123456789abcdefABCDEF", 1) != std::string::npos) {
        node.Fail("a colour as \"#RRGGBB\"");
    }
    const std::uint32_t rgb = static_cast<std::uint32_t>(std::stoul(text.substr(1), nullptr, 16));
    // The host packs colours 0xBBGGRR.
    return ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF);
}

// Unit categories a user picks a unit for.
Kernel::UnitType ParseUnitOf(const Node& node, Kernel::UnitCategory category,
                             std::string_view kind) {
    const Kernel::UnitType unit = ParseUnit(node);
    if (Kernel::UnitValue::GetUnitTypeCategory(unit) != category) {
        node.Fail(std::string(kind) + ", not \"" + node.String() + "\"");
    }
    return unit;
}

struct LayerKind {
    std::string_view name;
    Counted<Selectable> (*make)(Kernel::LocalisedString);
};
template <class Layer>
Counted<Selectable> MakeLayer(Kernel::LocalisedString name) {
    return MakeCounted<Layer>(std::move(name));
}
constexpr std::array kLayerKinds = {
    LayerKind{"pixel", &MakeLayer<PixelRasterNode>},
    LayerKind{"black-and-white", &MakeLayer<BlackAndWhiteAdjustmentRasterNode>},
    LayerKind{"brightness-contrast", &MakeLayer<BrightnessContrastAdjustmentRasterNode>},
    LayerKind{"colour-balance", &MakeLayer<ColourBalanceAdjustmentRasterNode>},
    LayerKind{"curves", &MakeLayer<CurvesAdjustmentRasterNode>},
    LayerKind{"exposure", &MakeLayer<ExposureAdjustmentRasterNode>},
    LayerKind{"hsl-shift", &MakeLayer<HSLShiftAdjustmentRasterNode>},
    LayerKind{"levels", &MakeLayer<LevelsAdjustmentRasterNode>},
    LayerKind{"posterise", &MakeLayer<PosteriseAdjustmentRasterNode>},
    LayerKind{"recolour", &MakeLayer<RecolourAdjustmentRasterNode>},
    LayerKind{"split-toning", &MakeLayer<SplitToningAdjustmentRasterNode>},
    LayerKind{"shadows-highlights", &MakeLayer<ShadowsHighlightsAdjustmentRasterNode>},
    LayerKind{"threshold", &MakeLayer<ThresholdAdjustmentRasterNode>},
    LayerKind{"vibrance", &MakeLayer<VibranceAdjustmentRasterNode>},
    LayerKind{"white-balance", &MakeLayer<WhiteBalanceAdjustmentRasterNode>},
    LayerKind{"gradient-map", &MakeLayer<GradientMapAdjustmentRasterNode>},
};

// Builds the items of one tool at a time, checking each value against what its item can hold.
class Builder {
public:
    explicit Builder(HostModel& model) : m_model(model) {}

    Counted<Tool> MakeTool(const Node& node, int index) {
        node.AllowOnly({"name", "id", "kind", "items"});
        const Node nameNode = node.At("name");
        const std::string name = nameNode.Name();
        if (name == kReservedName) {
            nameNode.Fail("a tool name other than \"none\", which a script uses for no tool");
        }
        if (m_model.FindTool(name)) {
            nameNode.Fail("a tool name not used before, not \"" + name + "\" again");
        }
        // Tools without an id are numbered from 1000 in description order.
        const bool numbered = !node.Has("id");
        const ToolID id = numbered ? static_cast<ToolID>(1000 + index)
                                   : static_cast<ToolID>(node.At("id").Integer(0, kIntMaximum));
        if (const auto used = m_toolIds.find(id); used != m_toolIds.end()) {
            (numbered ? node : node.At("id"))
                .Fail("a tool id not used before: " + used->second.path + " has " +
                      std::to_string(id) +
                      (numbered || used->second.numbered
                           ? " (tools without an id get 1000 plus their place)"
                           : ""));
        }
        m_toolIds.emplace(id, UsedToolId{node.Path(), numbered});
        const std::string kind = node.Has("kind") ? node.At("kind").String() : std::string("tool");
        const Kernel::LocalisedString toolName{Kernel::String8(name)};
        Counted<Tool> tool;
        if (kind == "tool") {
            tool = MakeCounted<Tool>(id, toolName, m_model.document);
        } else if (kind == "adjustment") {
            tool = MakeCounted<AdjustmentTool>(id, toolName, m_model.document);
        } else if (kind == "shape") {
            tool = MakeCounted<ShapeTool>(id, toolName, m_model.document);
        } else {
            node.At("kind").Fail("a tool kind (tool, adjustment, shape)");
        }
        m_identifiers.clear();
        if (node.Has("items")) {
            for (const Node& itemNode : node.At("items").Elements()) {
                tool->AddDialReflected(Item(itemNode, false));
            }
        }
        return tool;
    }

private:
    static constexpr std::array<std::string_view, 14> kCommonKeys = {
        "kind",    "id",     "name",         "icon",  "sensitivity", "nonLinear",   "precision",
        "default", "button", "dialPosition", "north", "colour",      "colourRange", "saturation"};

    Counted<Reflected> Item(const Node& node, bool inGroup) {
        if (!node.Value().is_object()) {
            node.Fail(inGroup ? "an element (an object)" : "an item (an object)");
        }
        const Node kindNode = node.At("kind");
        const std::string kind = kindNode.String();
        const std::uint32_t id = NewIdentifier(node.At("id"));
        const std::string nameText = node.At("name").Name();
        const Kernel::LocalisedString name{Kernel::String8(nameText)};
        Counted<Reflected> item;
        if (kind == "double" || kind == "float" || kind == "int") {
            node.AllowOnly(kCommonKeys, {"value", "range"});
            item = Ranged(node, kind, id, name);
        } else if (kind == "unit") {
            node.AllowOnly(kCommonKeys, {"value", "range", "unit", "shownIn"});
            item = Unit(node, id, name);
        } else if (kind == "enum") {
            node.AllowOnly(kCommonKeys, {"value", "choices"});
            item = Enum(node, id, name);
        } else if (kind == "bool") {
            node.AllowOnly(kCommonKeys, {"value"});
            item =
                MakeCounted<Kernel::ReflectedBinding<bool>>(id, name, node.Boolean("value", false));
        } else if (kind == "position") {
            node.AllowOnly(kCommonKeys, {});
            item = MakeCounted<Kernel::ReflectedBinding<Kernel::PointT<double>>>(
                id, name, Kernel::PointT<double>{0.0, 0.0});
        } else if (kind == "group") {
            node.AllowOnly(kCommonKeys, {"elements", "current"});
            if (inGroup) {
                kindNode.Fail("an element kind other than group: groups do not nest");
            }
            item = Group(node, id, name);
        } else if (kind == "history") {
            node.AllowOnly(kCommonKeys, {});
            // The dial finds the history item by this identifier to keep its overlay's text.
            if (id != Kernel::FourCC("hist")) {
                node.At("id").Fail("\"hist\", the identifier of the history item");
            }
            item = MakeCounted<Kernel::ReflectedBinding<Counted<DocumentHistory>>>(
                id, name, m_model.document->GetHistory());
        } else if (kind == "view-rotation") {
            node.AllowOnly(kCommonKeys, {});
            item = MakeCounted<Corvanta::ViewRotationReflected>(id, name);
        } else if (kind == "blend-mode") {
            node.AllowOnly(kCommonKeys, {"modes", "value"});
            item = BlendMode(node, id, name);
        } else {
            kindNode.Fail(
                "an item kind (double, float, int, unit, bool, enum, group, history, "
                "view-rotation, blend-mode, position)");
        }
        Attributes(node, *item);
        m_model.itemsById.emplace(id, item);
        // The menu lists the tool's own items, not group elements, nor the items the puck's
        // button and position drive.
        if (!inGroup && !node.Boolean("button", false) && !node.Boolean("dialPosition", false)) {
            m_model.menuEntries.insert(nameText);
        }
        return item;
    }

    // An identifier not used before by this tool, group elements included: the dial tells
    // items apart by identifier alone.
    std::uint32_t NewIdentifier(const Node& node) {
        const std::uint32_t id = Identifier(node);
        if (const auto used = m_identifiers.find(id); used != m_identifiers.end()) {
            node.Fail("an identifier not used before in this tool, not \"" + node.String() +
                      "\" again (" + used->second + " has it)");
        }
        m_identifiers.emplace(id, node.Path());
        return id;
    }

    static std::uint32_t Identifier(const Node& node) {
        const std::string text = node.String();
        if (!IsIdentifier(text)) {
            node.Fail(
                "a four-character identifier such as \"size\": four characters from space to "
                "'~' (letters, digits, blanks and ASCII punctuation), not \"" +
                text + "\"");
        }
        return ParseIdentifier(text);
    }

    // [minimum, maximum] and the value, each within what the item's type holds.
    struct Bounds {
        double minimum;
        double maximum;
        double value;
    };
    static Bounds RangeAndValue(const Node& node, bool whole) {
        const Node range = node.At("range");
        const std::vector<Node> ends = range.Elements();
        if (ends.size() != 2) {
            range.Fail("[minimum, maximum]");
        }
        auto number = [whole](const Node& n) {
            return whole ? static_cast<double>(n.Integer(kIntMinimum, kIntMaximum))
                         : n.Number(-kMaxMagnitude, kMaxMagnitude);
        };
        Bounds bounds{number(ends[0]), number(ends[1]), 0.0};
        // A minimum equal to the maximum is allowed: the item holds its one value, and a
        // rotation writes that value again.
        if (bounds.minimum > bounds.maximum) {
            range.Fail("[minimum, maximum] with the minimum at most the maximum, not " +
                       JsonText(range.Value()));
        }
        const Node valueNode = node.At("value");
        bounds.value = number(valueNode);
        if (bounds.value < bounds.minimum || bounds.value > bounds.maximum) {
            valueNode.Fail("a value within the range " + JsonText(range.Value()) + ", not " +
                           JsonText(valueNode.Value()));
        }
        return bounds;
    }

    static Counted<Reflected> Ranged(const Node& node, const std::string& kind, std::uint32_t id,
                                     const Kernel::LocalisedString& name) {
        const Bounds b = RangeAndValue(node, kind == "int");
        if (kind == "double") {
            return MakeCounted<Kernel::ReflectedRangeT<double>>(id, name, b.value, b.minimum,
                                                                b.maximum);
        }
        if (kind == "float") {
            // Rounded to the nearest float, which keeps their order.
            return MakeCounted<Kernel::ReflectedRangeT<float>>(
                id, name, static_cast<float>(b.value), static_cast<float>(b.minimum),
                static_cast<float>(b.maximum));
        }
        return MakeCounted<Kernel::ReflectedRangeT<int>>(id, name, static_cast<int>(b.value),
                                                         static_cast<int>(b.minimum),
                                                         static_cast<int>(b.maximum));
    }

    static Counted<Reflected> Unit(const Node& node, std::uint32_t id,
                                   const Kernel::LocalisedString& name) {
        const Kernel::UnitType stored = ParseUnit(node.At("unit"));
        const Kernel::UnitCategory category = Kernel::UnitValue::GetUnitTypeCategory(stored);
        const Bounds b = RangeAndValue(node, false);
        auto item = MakeCounted<Kernel::ReflectedUnitRange>(id, name, stored, b.value, b.minimum,
                                                            b.maximum);
        // Shown in the user's unit for its kind of quantity, or in a fixed unit of its kind.
        const Kernel::UserUnitKind userKind = category == Kernel::UnitCategory::Angle
                                                  ? Kernel::UserUnitKind::Angle
                                                  : Kernel::UserUnitKind::Length;
        const bool fixed = node.Has("shownIn") && node.At("shownIn").String() != "user";
        if (!fixed) {
            item->AppendAttribute(
                MakeCounted<Kernel::ValueTypeAttribute>(userKind, false, Kernel::UnitTypes::None));
        } else {
            const Kernel::UnitType shown =
                ParseUnitOf(node.At("shownIn"), category,
                            "user, or a unit of the same kind of quantity as \"unit\"");
            item->AppendAttribute(MakeCounted<Kernel::ValueTypeAttribute>(userKind, true, shown));
        }
        return item;
    }

    // Choice names: at least one, each a name, none twice.
    static std::vector<std::string> Names(const Node& node, std::string_view what) {
        std::vector<std::string> names;
        for (const Node& element : node.Elements()) {
            std::string text = element.Name();
            if (std::find(names.begin(), names.end(), text) != names.end()) {
                element.Fail(std::string(what) + " not named before, not \"" + text + "\" again");
            }
            names.push_back(std::move(text));
        }
        if (names.empty()) {
            node.Fail("at least one " + std::string(what));
        }
        return names;
    }

    Counted<Reflected> Enum(const Node& node, std::uint32_t id,
                            const Kernel::LocalisedString& name) {
        std::vector<std::string> choices = Names(node.At("choices"), "choice");
        const int value = node.Has("value") ? ChoiceIndex(node.At("value"), choices) : 0;
        const int last = static_cast<int>(choices.size()) - 1;
        m_model.enumChoices[id] = std::move(choices);
        // The host offers a choice to the dial as a whole-number range over its entries.
        return MakeCounted<Kernel::ReflectedRangeT<int>>(id, name, value, 0, last);
    }

    static int ChoiceIndex(const Node& node, const std::vector<std::string>& names) {
        if (node.Value().is_string()) {
            const std::string wanted = node.String();
            for (std::size_t i = 0; i < names.size(); ++i) {
                if (names[i] == wanted) {
                    return static_cast<int>(i);
                }
            }
            node.Fail("one of the choices, not \"" + wanted + "\"");
        }
        return static_cast<int>(node.Integer(0, static_cast<std::int64_t>(names.size()) - 1));
    }

    Counted<Reflected> Group(const Node& node, std::uint32_t id,
                             const Kernel::LocalisedString& name) {
        std::vector<Counted<Reflected>> elements;
        for (const Node& element : node.At("elements").Elements()) {
            elements.push_back(Item(element, true));
        }
        auto group = MakeCounted<Corvanta::ReflectedGroup>(id, name, elements);
        if (node.Has("current")) {
            const Node current = node.At("current");
            const std::uint32_t currentId = Identifier(current);
            const bool member = std::any_of(
                elements.begin(), elements.end(),
                [currentId](const auto& element) { return element->GetIdentifier() == currentId; });
            if (!member) {
                current.Fail("the identifier of one of the group's elements, not \"" +
                             current.String() + "\"");
            }
            group->AppendAttribute(MakeCounted<Corvanta::CurrentElementAttribute>(currentId));
        }
        return group;
    }

    static Counted<Reflected> BlendMode(const Node& node, std::uint32_t id,
                                        const Kernel::LocalisedString& name) {
        const std::vector<std::string> names = Names(node.At("modes"), "mode");
        std::vector<Kernel::ReflectedRasterBlendMode::Entry> entries;
        for (const std::string& mode : names) {
            entries.push_back({static_cast<std::int32_t>(entries.size()),
                               Kernel::LocalisedString(Kernel::String8(mode))});
        }
        const int index = node.Has("value") ? ChoiceIndex(node.At("value"), names) : 0;
        return MakeCounted<Kernel::ReflectedRasterBlendMode>(id, name, std::move(entries), index);
    }

    static void Attributes(const Node& node, Reflected& item) {
        if (node.Has("icon")) {
            item.AppendAttribute(
                MakeCounted<ImageAttribute>(Kernel::String8(node.At("icon").Name())));
        }
        if (node.Has("sensitivity")) {
            item.AppendAttribute(MakeCounted<SensitivityAttribute>(
                node.At("sensitivity").Number(-limits::kMaxSensitivity, limits::kMaxSensitivity)));
        }
        if (node.Has("nonLinear")) {
            const Node curve = node.At("nonLinear");
            double exponent = 0.0;
            if (curve.Value().is_boolean()) {
                exponent = curve.Boolean() ? 2.0 : 0.0;
            } else {
                exponent = curve.Number(0.0, limits::kMaxCurveExponent);
                if (exponent == 0.0) {
                    curve.Fail("true, false or a curve exponent above 0 and at most " +
                               BoundText(limits::kMaxCurveExponent));
                }
            }
            if (exponent != 0.0) {
                item.AppendAttribute(MakeCounted<Corvanta::NonLinearRangeAttribute>(exponent));
            }
        }
        if (node.Has("precision")) {
            item.AppendAttribute(MakeCounted<PrecisionAttribute>(
                static_cast<int>(node.At("precision").Integer(0, limits::kMaxPrecision))));
        }
        if (node.Boolean("default", false)) {
            item.AppendAttribute(MakeCounted<Corvanta::DefaultItemAttribute>());
        }
        if (node.Boolean("button", false)) {
            item.AppendAttribute(MakeCounted<Corvanta::DialButtonAttribute>());
        }
        if (node.Boolean("dialPosition", false)) {
            item.AppendAttribute(MakeCounted<Corvanta::DialPositionAttribute>());
        }
        if (node.Has("north")) {
            item.AppendAttribute(MakeCounted<Corvanta::DialNorthValueAttribute>(
                node.At("north").Number(-kMaxMagnitude, kMaxMagnitude)));
        }
        if (node.Has("colour")) {
            item.AppendAttribute(MakeCounted<ColourAttribute>(ParseColour(node.At("colour"))));
        }
        if (node.Has("colourRange")) {
            const Node range = node.At("colourRange");
            const std::vector<Node> ends = range.Elements();
            if (ends.size() != 2) {
                range.Fail("[\"#RRGGBB\", \"#RRGGBB\"]");
            }
            item.AppendAttribute(MakeCounted<Corvanta::ColourRangeAttribute>(ParseColour(ends[0]),
                                                                             ParseColour(ends[1])));
        }
        if (node.Boolean("saturation", false)) {
            item.AppendAttribute(MakeCounted<Corvanta::SaturationColourRangeAttribute>());
        }
    }

    HostModel& m_model;
    struct UsedToolId {
        std::string path;  // of the tool that has it
        bool numbered;     // given by its place, not by the description
    };
    std::map<ToolID, UsedToolId> m_toolIds;
    std::map<std::uint32_t, std::string> m_identifiers;  // this tool's, with their paths
};

Selection ParseSelection(const Node& node) {
    Selection selection;
    for (const Node& entry : node.Elements()) {
        entry.AllowOnly({"layer", "name"});
        const Node layer = entry.At("layer");
        const std::string kind = layer.String();
        const LayerKind* found = nullptr;
        for (const LayerKind& candidate : kLayerKinds) {
            if (candidate.name == kind) {
                found = &candidate;
            }
        }
        if (!found) {
            std::string known;
            for (const LayerKind& candidate : kLayerKinds) {
                known += (known.empty() ? "" : ", ") + std::string(candidate.name);
            }
            layer.Fail("a layer kind (" + known + "), not \"" + kind + "\"");
        }
        const std::string name = entry.Has("name") ? entry.At("name").Name() : kind;
        selection.Add(found->make(Kernel::LocalisedString(Kernel::String8(name))));
    }
    return selection;
}

RECT ParseWindow(const Node& window) {
    const std::vector<Node> sides = window.Elements();
    if (sides.size() != 4) {
        window.Fail("[left, top, right, bottom]");
    }
    auto side = [](const Node& n) {
        return static_cast<std::int32_t>(n.Integer(limits::kMinCoordinate, limits::kMaxCoordinate));
    };
    const RECT rect{side(sides[0]), side(sides[1]), side(sides[2]), side(sides[3])};
    if (rect.right <= rect.left || rect.bottom <= rect.top) {
        window.Fail("a rectangle with its right and bottom beyond its left and top, not " +
                    JsonText(window.Value()));
    }
    return rect;
}

}  // namespace

bool IsIdentifier(std::string_view text) {
    return text.size() == 4 &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= 0x20 && c <= 0x7E; });
}

std::uint32_t ParseIdentifier(std::string_view text) {
    if (!IsIdentifier(text)) {
        throw HostDescriptionError(
            "an identifier has four characters from space to '~', such as \"size\"");
    }
    const char code[5] = {text[0], text[1], text[2], text[3], '\0'};
    return Kernel::FourCC(code);
}

Kernel::Counted<Tool> HostModel::FindTool(std::string_view name) const {
    for (const Kernel::Counted<Tool>& tool : tools) {
        if (tool->GetName().ToString().GetView() == name) {
            return tool;
        }
    }
    return {};
}

Kernel::Counted<Kernel::Reflected> HostModel::FindItem(std::uint32_t identifier) const {
    const auto found = itemsById.find(identifier);
    return found == itemsById.end() ? Kernel::Counted<Kernel::Reflected>() : found->second;
}

HostModel ParseHostDescription(const std::string& text, const std::string& source) {
    return BuildHostModel(ReadJson(text, source), source);
}

HostModel BuildHostModel(const nlohmann::json& document, const std::string& source) {
    const Node root(document, "", source);
    root.AllowOnly({"window", "history", "historyPosition", "units", "selections", "tools"});

    HostModel model;
    model.document = MakeCounted<DocumentController>();
    if (root.Has("window")) {
        model.window = ParseWindow(root.At("window"));
    }
    const Kernel::Counted<DocumentHistory> history = model.document->GetHistory();
    if (root.Has("history")) {
        for (const Node& entry : root.At("history").Elements()) {
            history->Push(Kernel::LocalisedString(Kernel::String8(entry.Name())));
        }
    }
    if (root.Has("historyPosition")) {
        const Node position = root.At("historyPosition");
        // 0 is before the first entry; the default is after the last.
        history->SetIndex(static_cast<int>(position.Integer(0, history->GetCount())) - 1);
    }
    Kernel::Counted<const Kernel::UserUnits> units;
    if (root.Has("units")) {
        const Node node = root.At("units");
        node.AllowOnly({"length", "angle", "dpi"});
        units = MakeCounted<Kernel::UserUnits>(
            node.Has("length")
                ? ParseUnitOf(node.At("length"), Kernel::UnitCategory::Length,
                              "a unit of length (pixels, points, millimetres, centimetres, inches)")
                : Kernel::UnitTypes::Pixels,
            node.Has("angle") ? ParseUnitOf(node.At("angle"), Kernel::UnitCategory::Angle,
                                            "a unit of angle (degrees, radians)")
                              : Kernel::UnitTypes::Degrees,
            node.Has("dpi") ? node.At("dpi").Number(limits::kMinDpi, limits::kMaxDpi) : 72.0);
    }
    if (root.Has("selections")) {
        const Node selections = root.At("selections");
        if (!selections.Value().is_object()) {
            selections.Fail("an object of named selections");
        }
        for (const auto& [name, unused] : selections.Value().items()) {
            const Node selection = selections.At(name);
            // The key is the name; check it as one, at the key's own path.
            const json key = name;
            const Node keyNode(key, selection.Path(), source);
            if (keyNode.Name() == kReservedName) {
                keyNode.Fail(
                    "a selection name other than \"none\", which a script uses for "
                    "no selection");
            }
            model.selections.emplace(name, ParseSelection(selection));
        }
    }
    Builder builder(model);
    int index = 0;
    for (const Node& toolNode : root.At("tools").Elements()) {
        Kernel::Counted<Tool> tool = builder.MakeTool(toolNode, index++);
        if (units) {
            tool->SetUserUnits(units);
        }
        model.document->AddTool(tool);
        model.tools.push_back(std::move(tool));
    }
    return model;
}

HostModel LoadHostDescription(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        throw HostDescriptionError(path + ": cannot be read");
    }
    std::ostringstream text;
    text << file.rdbuf();
    return ParseHostDescription(text.str(), path);
}

std::string HostDescriptionHelp() {
    return R"(Host description (JSON; docs/host-description.md gives every field):
  {"window": [100, 50, 1380, 850],
   "history": ["Open", "Brush stroke"], "historyPosition": 2,
   "units": {"length": "pixels", "angle": "degrees", "dpi": 96},
   "selections": {"levels layer": [{"layer": "levels", "name": "Levels 1"}]},
   "tools": [{"name": "Paint Brush", "id": 7, "kind": "tool", "items": [
     {"kind": "double", "id": "size", "name": "Size", "value": 24, "range": [1, 500]}]}]}
  Tool kinds: tool, adjustment, shape. Item kinds: double, float, int, unit, bool, enum, group,
  history, view-rotation, blend-mode, position. Identifiers: four characters from space to '~',
  unique within a tool (group elements included). Names: not empty, no control characters;
  "none" names no tool and no selection. Numbers of double, float and unit items within
  -1e15..1e15, of int items within the 32-bit range; minimum <= value <= maximum (a minimum
  equal to the maximum makes an item that keeps its one value). Window sides within
  -32768..32767, dpi from 1 to 100000. An adjustment tool joins the menu beside the current
  tool only under the id the editor gives its layer kind (levels 188, curves 163, ...).
)";
}

}  // namespace Quarn::WinRT::sim
