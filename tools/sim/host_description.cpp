#include "tools/sim/host_description.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <fstream>
#include <initializer_list>
#include <span>
#include <sstream>
#include <utility>

#include "bindings/corvanta/attributes.h"
#include "bindings/corvanta/group.h"
#include "bindings/corvanta/view_rotation.h"
#include "bindings/kernel/units.h"
#include "bindings/vorta/attributes.h"

namespace Quarn::WinRT::sim {

namespace {

using Kernel::Counted;
using Kernel::MakeCounted;
using Kernel::Reflected;
using nlohmann::json;

// A value of the description with its path, so that every complaint says where it is.
class Node {
public:
    Node(const json& value, std::string path, const std::string& source)
        : m_value(value), m_path(std::move(path)), m_source(source) {}

    [[noreturn]] void Fail(std::string_view expected) const {
        throw HostDescriptionError(m_source + ": " + (m_path.empty() ? "top level" : m_path) +
                                   ": expected " + std::string(expected));
    }

    const json& Value() const { return m_value; }
    bool Has(std::string_view key) const { return m_value.contains(key); }

    Node At(std::string_view key) const {
        const std::string path =
            m_path.empty() ? std::string(key) : m_path + "." + std::string(key);
        if (!m_value.contains(key)) {
            Node(m_value, path, m_source).Fail("a value here");
        }
        return Node(m_value.at(std::string(key)), path, m_source);
    }
    std::vector<Node> Elements() const {
        if (!m_value.is_array()) {
            Fail("an array");
        }
        std::vector<Node> elements;
        for (std::size_t i = 0; i < m_value.size(); ++i) {
            elements.emplace_back(m_value[i], m_path + "[" + std::to_string(i) + "]", m_source);
        }
        return elements;
    }

    std::string String() const {
        if (!m_value.is_string()) {
            Fail("a string");
        }
        return m_value.get<std::string>();
    }
    double Number() const {
        if (!m_value.is_number()) {
            Fail("a number");
        }
        const double number = m_value.get<double>();
        if (!std::isfinite(number)) {
            Fail("a finite number");
        }
        return number;
    }
    int Integer() const {
        if (!m_value.is_number_integer()) {
            Fail("a whole number");
        }
        return m_value.get<int>();
    }
    bool Boolean() const {
        if (!m_value.is_boolean()) {
            Fail("true or false");
        }
        return m_value.get<bool>();
    }

    std::string String(std::string_view key, std::string fallback) const {
        return Has(key) ? At(key).String() : std::move(fallback);
    }
    double Number(std::string_view key, double fallback) const {
        return Has(key) ? At(key).Number() : fallback;
    }
    bool Boolean(std::string_view key, bool fallback) const {
        return Has(key) ? At(key).Boolean() : fallback;
    }

    // A mistyped key would otherwise be ignored without a word.
    void AllowOnly(std::initializer_list<std::string_view> keys) const {
        AllowOnly(std::span<const std::string_view>(keys.begin(), keys.size()), {});
    }
    void AllowOnly(std::span<const std::string_view> common,
                   std::initializer_list<std::string_view> more) const {
        if (!m_value.is_object()) {
            Fail("an object");
        }
        for (const auto& [key, unused] : m_value.items()) {
            const bool known = std::find(common.begin(), common.end(), key) != common.end() ||
                               std::find(more.begin(), more.end(), key) != more.end();
            if (!known) {
                At(key).Fail("no key \"" + key + "\" here");
            }
        }
    }

private:
    const json& m_value;
    std::string m_path;
    const std::string& m_source;
};

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

std::pair<double, double> ParseRange(const Node& item) {
    const Node range = item.At("range");
    const std::vector<Node> bounds = range.Elements();
    if (bounds.size() != 2) {
        range.Fail("[minimum, maximum]");
    }
    return {bounds[0].Number(), bounds[1].Number()};
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

class Builder {
public:
    explicit Builder(HostModel& model) : m_model(model) {}

    Counted<Reflected> Item(const Node& node) {
        const std::string kind = node.At("kind").String();
        const std::uint32_t id = Identifier(node.At("id"));
        const Kernel::LocalisedString name(Kernel::String8(node.At("name").String()));
        Counted<Reflected> item;
        if (kind == "double" || kind == "float" || kind == "int") {
            node.AllowOnly(kCommonKeys, {"value", "range"});
            const auto [minimum, maximum] = ParseRange(node);
            const double value = node.At("value").Number();
            if (kind == "double") {
                item =
                    MakeCounted<Kernel::ReflectedRangeT<double>>(id, name, value, minimum, maximum);
            } else if (kind == "float") {
                item = MakeCounted<Kernel::ReflectedRangeT<float>>(
                    id, name, static_cast<float>(value), static_cast<float>(minimum),
                    static_cast<float>(maximum));
            } else {
                item = MakeCounted<Kernel::ReflectedRangeT<int>>(
                    id, name, node.At("value").Integer(), static_cast<int>(minimum),
                    static_cast<int>(maximum));
            }
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
            item = Group(node, id, name);
        } else if (kind == "history") {
            node.AllowOnly(kCommonKeys, {});
            item = MakeCounted<Kernel::ReflectedBinding<Counted<DocumentHistory>>>(
                id, name, m_model.document->GetHistory());
        } else if (kind == "view-rotation") {
            node.AllowOnly(kCommonKeys, {});
            item = MakeCounted<Corvanta::ViewRotationReflected>(id, name);
        } else if (kind == "blend-mode") {
            node.AllowOnly(kCommonKeys, {"modes", "value"});
            item = BlendMode(node, id, name);
        } else {
            node.At("kind").Fail(
                "an item kind (double, float, int, unit, bool, enum, group, history, "
                "view-rotation, blend-mode, position)");
        }
        Attributes(node, *item);
        m_model.itemsById.emplace(id, item);
        return item;
    }

    Counted<Tool> MakeTool(const Node& node, int index) {
        node.AllowOnly({"name", "id", "kind", "items"});
        const std::string name = node.At("name").String();
        if (m_model.FindTool(name)) {
            node.At("name").Fail("a tool name not used before");
        }
        const ToolID id = node.Has("id") ? node.At("id").Integer() : 1000 + index;
        const std::string kind = node.String("kind", "tool");
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
        if (node.Has("items")) {
            for (const Node& itemNode : node.At("items").Elements()) {
                tool->AddDialReflected(Item(itemNode));
            }
        }
        return tool;
    }

private:
    static constexpr std::array<std::string_view, 14> kCommonKeys = {
        "kind",    "id",     "name",         "icon",  "sensitivity", "nonLinear",   "precision",
        "default", "button", "dialPosition", "north", "colour",      "colourRange", "saturation"};

    std::uint32_t Identifier(const Node& node) {
        const std::string text = node.String();
        if (text.size() != 4) {
            node.Fail("a four-character identifier such as \"size\"");
        }
        return ParseIdentifier(text);
    }

    Counted<Reflected> Unit(const Node& node, std::uint32_t id,
                            const Kernel::LocalisedString& name) {
        const Kernel::UnitType stored = ParseUnit(node.At("unit"));
        const auto [minimum, maximum] = ParseRange(node);
        auto item = MakeCounted<Kernel::ReflectedUnitRange>(
            id, name, stored, node.At("value").Number(), minimum, maximum);
        // Shown in the user's unit for its kind of quantity, or in a fixed unit.
        const std::string shownIn = node.String("shownIn", "user");
        const Kernel::UserUnitKind userKind =
            Kernel::UnitValue::GetUnitTypeCategory(stored) == Kernel::UnitCategory::Angle
                ? Kernel::UserUnitKind::Angle
                : Kernel::UserUnitKind::Length;
        if (shownIn == "user") {
            item->AppendAttribute(
                MakeCounted<Kernel::ValueTypeAttribute>(userKind, false, Kernel::UnitTypes::None));
        } else {
            item->AppendAttribute(MakeCounted<Kernel::ValueTypeAttribute>(
                userKind, true, ParseUnit(node.At("shownIn"))));
        }
        return item;
    }

    Counted<Reflected> Enum(const Node& node, std::uint32_t id,
                            const Kernel::LocalisedString& name) {
        std::vector<std::string> choices;
        for (const Node& choice : node.At("choices").Elements()) {
            choices.push_back(choice.String());
        }
        if (choices.empty()) {
            node.At("choices").Fail("at least one choice");
        }
        int value = 0;
        if (node.Has("value")) {
            value = ChoiceIndex(node.At("value"), choices);
        }
        m_model.enumChoices[id] = choices;
        // The host offers a choice to the dial as a whole-number range over its entries.
        return MakeCounted<Kernel::ReflectedRangeT<int>>(id, name, value, 0,
                                                         static_cast<int>(choices.size()) - 1);
    }

    static int ChoiceIndex(const Node& node, const std::vector<std::string>& names) {
        if (node.Value().is_string()) {
            for (std::size_t i = 0; i < names.size(); ++i) {
                if (names[i] == node.String()) {
                    return static_cast<int>(i);
                }
            }
            node.Fail("one of the choices");
        }
        const int index = node.Integer();
        if (index < 0 || static_cast<std::size_t>(index) >= names.size()) {
            node.Fail("an index of one of the choices");
        }
        return index;
    }

    Counted<Reflected> Group(const Node& node, std::uint32_t id,
                             const Kernel::LocalisedString& name) {
        std::vector<Counted<Reflected>> elements;
        for (const Node& element : node.At("elements").Elements()) {
            elements.push_back(Item(element));
        }
        auto group = MakeCounted<Corvanta::ReflectedGroup>(id, name, std::move(elements));
        if (node.Has("current")) {
            group->AppendAttribute(
                MakeCounted<Corvanta::CurrentElementAttribute>(Identifier(node.At("current"))));
        }
        return group;
    }

    Counted<Reflected> BlendMode(const Node& node, std::uint32_t id,
                                 const Kernel::LocalisedString& name) {
        std::vector<Kernel::ReflectedRasterBlendMode::Entry> entries;
        std::vector<std::string> names;
        for (const Node& mode : node.At("modes").Elements()) {
            names.push_back(mode.String());
            entries.push_back({static_cast<std::int32_t>(entries.size()),
                               Kernel::LocalisedString(Kernel::String8(names.back()))});
        }
        const int index = node.Has("value") ? ChoiceIndex(node.At("value"), names) : 0;
        return MakeCounted<Kernel::ReflectedRasterBlendMode>(id, name, std::move(entries), index);
    }

    void Attributes(const Node& node, Reflected& item) {
        if (node.Has("icon")) {
            item.AppendAttribute(
                MakeCounted<ImageAttribute>(Kernel::String8(node.At("icon").String())));
        }
        if (node.Has("sensitivity")) {
            item.AppendAttribute(
                MakeCounted<SensitivityAttribute>(node.At("sensitivity").Number()));
        }
        if (node.Has("nonLinear")) {
            const Node curve = node.At("nonLinear");
            const double exponent =
                curve.Value().is_boolean() ? (curve.Boolean() ? 2.0 : 0.0) : curve.Number();
            if (exponent != 0.0) {
                item.AppendAttribute(MakeCounted<Corvanta::NonLinearRangeAttribute>(exponent));
            }
        }
        if (node.Has("precision")) {
            item.AppendAttribute(MakeCounted<PrecisionAttribute>(node.At("precision").Integer()));
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
            item.AppendAttribute(
                MakeCounted<Corvanta::DialNorthValueAttribute>(node.At("north").Number()));
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
            layer.Fail("a layer kind (pixel, levels, curves, exposure, ... gradient-map)");
        }
        selection.Add(
            found->make(Kernel::LocalisedString(Kernel::String8(entry.String("name", kind)))));
    }
    return selection;
}

}  // namespace

std::uint32_t ParseIdentifier(std::string_view text) {
    if (text.size() != 4) {
        throw HostDescriptionError("an identifier has four characters: \"" + std::string(text) +
                                   "\"");
    }
    char code[5] = {text[0], text[1], text[2], text[3], '\0'};
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
    json document;
    try {
        document = json::parse(text);
    } catch (const json::parse_error& error) {
        throw HostDescriptionError(source + ": not valid JSON: " + error.what());
    }
    const Node root(document, "", source);
    root.AllowOnly({"window", "history", "historyPosition", "units", "selections", "tools"});

    HostModel model;
    model.document = MakeCounted<DocumentController>();
    if (root.Has("window")) {
        const Node window = root.At("window");
        const std::vector<Node> sides = window.Elements();
        if (sides.size() != 4) {
            window.Fail("[left, top, right, bottom]");
        }
        model.window =
            RECT{sides[0].Integer(), sides[1].Integer(), sides[2].Integer(), sides[3].Integer()};
        if (model.window.right <= model.window.left || model.window.bottom <= model.window.top) {
            window.Fail("a rectangle with its right and bottom beyond its left and top");
        }
    }
    if (root.Has("history")) {
        const Kernel::Counted<DocumentHistory> history = model.document->GetHistory();
        for (const Node& entry : root.At("history").Elements()) {
            history->Push(Kernel::LocalisedString(Kernel::String8(entry.String())));
        }
        if (root.Has("historyPosition")) {
            const Node position = root.At("historyPosition");
            if (!history->SetIndex(position.Integer() - 1)) {
                position.Fail("a position from 0 to the number of history entries");
            }
        }
    }
    Kernel::Counted<const Kernel::UserUnits> units;
    if (root.Has("units")) {
        const Node node = root.At("units");
        node.AllowOnly({"length", "angle", "dpi"});
        units = MakeCounted<Kernel::UserUnits>(
            node.Has("length") ? ParseUnit(node.At("length")) : Kernel::UnitTypes::Pixels,
            node.Has("angle") ? ParseUnit(node.At("angle")) : Kernel::UnitTypes::Degrees,
            node.Number("dpi", 72.0));
    }
    if (root.Has("selections")) {
        const Node selections = root.At("selections");
        if (!selections.Value().is_object()) {
            selections.Fail("an object of named selections");
        }
        for (const auto& [name, unused] : selections.Value().items()) {
            model.selections.emplace(name, ParseSelection(selections.At(name)));
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

}  // namespace Quarn::WinRT::sim
