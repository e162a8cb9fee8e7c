#include <gtest/gtest.h>

#include <string>

#include "bindings/corvanta/group.h"
#include "tests/sim/sim_run.h"
#include "tools/sim/host_description.h"
#include "tools/sim/json_node.h"
#include "tools/sim/limits.h"

namespace Quarn::WinRT::sim {
namespace {

using testing::RunScript;
using testing::SessionResult;

// One tool whose items are `items`, for rows about items.
std::string WithItems(const std::string& items) {
    return R"({"tools": [{"name": "B", "items": [)" + items + "]}]}";
}

std::string Nested(int depth) {
    return R"({"history": )" + std::string(static_cast<std::size_t>(depth), '[') +
           std::string(static_cast<std::size_t>(depth), ']') + R"(, "tools": []})";
}

TEST(HostDescriptionTest, MistakesAreRefusedWithTheirJsonPath) {
    struct Case {
        std::string json;
        std::string error;  // the whole message, after "host.json: "
    };
    const Case cases[] = {
        // Reading.
        {"{",
         "not valid JSON: parse error at line 1, column 2: syntax error while parsing "
         "object key - unexpected end of input; expected string literal"},
        {WithItems(R"({"kind": "double", "id": "size", "name": "S", "value": 1e400,
                       "range": [0, 2]})"),
         "tools[0].items[0].value: expected a number within the range of a double (about "
         "1.8e308 either way), not 1e400"},
        {R"({"window": [-1e999, 0, 10, 10], "tools": []})",
         "window[0]: expected a number within the range of a double (about 1.8e308 either "
         "way), not -1e999"},
        {R"({"tools": [], "tools": []})",
         "tools: expected each key once in an object, not \"tools\" a second time"},
        {Nested(40),
         "history[0][0][0][0][0][0][0][0][0][0][0][0][0][0][0][0][0][0][0][0][0]"
         "[0][0][0][0][0][0][0][0][0][0]: expected at most 32 levels of nested "
         "arrays and objects"},
        // Shape.
        {"{}", "tools: expected a value here"},
        {R"({"tools": {}})", "tools: expected an array"},
        {R"({"tool": []})", "tool: expected no key \"tool\" here"},
        {WithItems(R"({"kind": "double", "id": "size", "name": "S", "value": 1,
                       "range": [0, 2], "sensitivty": 2})"),
         "tools[0].items[0].sensitivty: expected no key \"sensitivty\" here"},
        {WithItems("1"), "tools[0].items[0]: expected an item (an object)"},
        {WithItems(R"({"kind": "dial", "id": "size", "name": "S"})"),
         "tools[0].items[0].kind: expected an item kind (double, float, int, unit, bool, enum, "
         "group, history, view-rotation, blend-mode, position)"},
        // Identifiers.
        {WithItems(R"({"kind": "bool", "id": "sz", "name": "S"})"),
         "tools[0].items[0].id: expected a four-character identifier such as \"size\": four "
         "characters from space to '~' (letters, digits, blanks and ASCII punctuation), not "
         "\"sz\""},
        {WithItems(R"({"kind": "bool", "id": "gr\u00f6", "name": "S"})"),
         "tools[0].items[0].id: expected a four-character identifier such as \"size\": four "
         "characters from space to '~' (letters, digits, blanks and ASCII punctuation), not "
         "\"gr\u00f6\""},
        {WithItems(R"({"kind": "bool", "id": "wetm", "name": "W"},
                      {"kind": "bool", "id": "wetm", "name": "X"})"),
         "tools[0].items[1].id: expected an identifier not used before in this tool, not "
         "\"wetm\" again (tools[0].items[0].id has it)"},
        {WithItems(R"({"kind": "bool", "id": "satu", "name": "W"},
                      {"kind": "group", "id": "colr", "name": "C", "elements": [
                        {"kind": "bool", "id": "satu", "name": "S"}]})"),
         "tools[0].items[1].elements[0].id: expected an identifier not used before in this "
         "tool, not \"satu\" again (tools[0].items[0].id has it)"},
        {WithItems(R"({"kind": "history", "id": "hstr", "name": "H"})"),
         "tools[0].items[0].id: expected \"hist\", the identifier of the history item"},
        // Names.
        {R"({"tools": [{"name": "B"}, {"name": "B"}]})",
         "tools[1].name: expected a tool name not used before, not \"B\" again"},
        {R"({"tools": [{"name": "none"}]})",
         "tools[0].name: expected a tool name other than \"none\", which a script uses for no "
         "tool"},
        {R"({"tools": [{"name": ""}]})", "tools[0].name: expected a name that is not empty"},
        {WithItems(R"({"kind": "bool", "id": "wetm", "name": "W\u0000et"})"),
         "tools[0].items[0].name: expected a name without control characters (NUL, tab, line "
         "feed, ...)"},
        {R"({"selections": {"none": []}, "tools": []})",
         "selections.none: expected a selection name other than \"none\", which a script uses "
         "for no selection"},
        {R"({"history": ["Open", ""], "tools": []})",
         "history[1]: expected a name that is not empty"},
        // Tool ids.
        {R"({"tools": [{"name": "A", "id": 7}, {"name": "B", "id": 7}]})",
         "tools[1].id: expected a tool id not used before: tools[0] has 7"},
        {R"({"tools": [{"name": "A"}, {"name": "B", "id": 1000}]})",
         "tools[1].id: expected a tool id not used before: tools[0] has 1000 (tools without an "
         "id get 1000 plus their place)"},
        {R"({"tools": [{"name": "A", "id": -1}]})",
         "tools[0].id: expected a whole number from 0 to 2147483647, not -1"},
        {R"({"tools": [{"name": "B", "kind": "brush"}]})",
         "tools[0].kind: expected a tool kind (tool, adjustment, shape)"},
        // Numbers and ranges.
        {WithItems(R"({"kind": "int", "id": "spac", "name": "S", "value": 0,
                       "range": [0, 1e12]})"),
         "tools[0].items[0].range[1]: expected a whole number from -2147483648 to 2147483647, "
         "not 1000000000000.0"},
        {WithItems(R"({"kind": "int", "id": "spac", "name": "S", "value": 1.5,
                       "range": [0, 2]})"),
         "tools[0].items[0].value: expected a whole number from -2147483648 to 2147483647, not "
         "1.5"},
        {WithItems(R"({"kind": "float", "id": "hard", "name": "H", "value": 0,
                       "range": [0, 1e39]})"),
         "tools[0].items[0].range[1]: expected a number from -1e15 to 1e15, not 1e+39"},
        {WithItems(R"({"kind": "double", "id": "size", "name": "S", "value": 50,
                       "range": [-1e308, 1e308]})"),
         "tools[0].items[0].range[0]: expected a number from -1e15 to 1e15, not -1e+308"},
        {WithItems(R"({"kind": "double", "id": "size", "name": "S", "value": 1,
                       "range": [0]})"),
         "tools[0].items[0].range: expected [minimum, maximum]"},
        {WithItems(R"({"kind": "double", "id": "size", "name": "S", "value": 5,
                       "range": [10, 1]})"),
         "tools[0].items[0].range: expected [minimum, maximum] with the minimum at most the "
         "maximum, not [10,1]"},
        {WithItems(R"({"kind": "unit", "id": "widt", "name": "W", "unit": "pixels",
                       "value": 300, "range": [0, 200]})"),
         "tools[0].items[0].value: expected a value within the range [0,200], not 300"},
        {WithItems(R"({"kind": "unit", "id": "widt", "name": "W", "unit": "furlongs",
                       "value": 1, "range": [0, 2]})"),
         "tools[0].items[0].unit: expected a unit (none, percent, pixels, points, millimetres, "
         "centimetres, inches, degrees, radians, milliseconds, seconds, ppi, number)"},
        {WithItems(R"({"kind": "unit", "id": "widt", "name": "W", "unit": "pixels",
                       "shownIn": "degrees", "value": 1, "range": [0, 2]})"),
         "tools[0].items[0].shownIn: expected user, or a unit of the same kind of quantity as "
         "\"unit\", not \"degrees\""},
        {WithItems(R"({"kind": "double", "id": "size", "name": "S", "value": 1,
                       "range": [0, 2], "sensitivity": 1e9})"),
         "tools[0].items[0].sensitivity: expected a number from -1000 to 1000, not 1000000000.0"},
        {WithItems(R"({"kind": "double", "id": "size", "name": "S", "value": 1,
                       "range": [0, 2], "nonLinear": 0})"),
         "tools[0].items[0].nonLinear: expected true, false or a curve exponent above 0 and at "
         "most 100"},
        {WithItems(R"({"kind": "double", "id": "size", "name": "S", "value": 1,
                       "range": [0, 2], "precision": 11})"),
         "tools[0].items[0].precision: expected a whole number from 0 to 10, not 11"},
        // Units and the window.
        {R"({"units": {"dpi": 0}, "tools": []})",
         "units.dpi: expected a number from 1 to 100000, not 0"},
        {R"({"units": {"dpi": -96}, "tools": []})",
         "units.dpi: expected a number from 1 to 100000, not -96"},
        {R"({"units": {"length": "degrees"}, "tools": []})",
         "units.length: expected a unit of length (pixels, points, millimetres, centimetres, "
         "inches), not \"degrees\""},
        {R"({"window": [10, 10, 5, 20], "tools": []})",
         "window: expected a rectangle with its right and bottom beyond its left and top, not "
         "[10,10,5,20]"},
        {R"({"window": [10, 10, 20, 10], "tools": []})",
         "window: expected a rectangle with its right and bottom beyond its left and top, not "
         "[10,10,20,10]"},
        {R"({"window": [0, 0, 40000, 10], "tools": []})",
         "window[2]: expected a whole number from -32768 to 32767, not 40000"},
        // Choices, groups, history, selections, colours.
        {WithItems(R"({"kind": "enum", "id": "tips", "name": "T", "choices": ["Round"],
                       "value": "Flat"})"),
         "tools[0].items[0].value: expected one of the choices, not \"Flat\""},
        {WithItems(R"({"kind": "enum", "id": "tips", "name": "T", "choices": []})"),
         "tools[0].items[0].choices: expected at least one choice"},
        {WithItems(R"({"kind": "blend-mode", "id": "blnd", "name": "B",
                       "modes": ["Normal", "Normal"]})"),
         "tools[0].items[0].modes[1]: expected mode not named before, not \"Normal\" again"},
        {WithItems(R"({"kind": "group", "id": "colr", "name": "C", "elements": [
                       {"kind": "group", "id": "innr", "name": "I", "elements": []}]})"),
         "tools[0].items[0].elements[0].kind: expected an element kind other than group: groups "
         "do not nest"},
        {WithItems(R"({"kind": "group", "id": "colr", "name": "C", "current": "satu",
                       "elements": [{"kind": "bool", "id": "hue ", "name": "H"}]})"),
         "tools[0].items[0].current: expected the identifier of one of the group's elements, not "
         "\"satu\""},
        {R"({"history": ["a"], "historyPosition": 2, "tools": []})",
         "historyPosition: expected a whole number from 0 to 1, not 2"},
        {R"({"selections": {"s": [{"layer": "vector"}]}, "tools": []})",
         "selections.s[0].layer: expected a layer kind (pixel, black-and-white, "
         "brightness-contrast, colour-balance, curves, exposure, hsl-shift, levels, posterise, "
         "recolour, split-toning, shadows-highlights, threshold, vibrance, white-balance, "
         "gradient-map), not \"vector\""},
        {WithItems(R"({"kind": "bool", "id": "wetm", "name": "W", "colour": "red"})"),
         "tools[0].items[0].colour: expected a colour as \"#RRGGBB\""},
    };
    for (const Case& c : cases) {
        const SessionResult result = RunScript(c.json, "attach");
        EXPECT_EQ(result.exitStatus, kExitBadInput) << c.json;
        EXPECT_EQ(result.errors, "host.json: " + c.error + "\n") << c.json;
        EXPECT_TRUE(result.lines.empty()) << c.json << ": a bad description must not run at all";
    }
}

TEST(HostDescriptionTest, EdgesThatAreAllowed) {
    struct Case {
        const char* name;
        std::string json;
    };
    const Case cases[] = {
        {"a range whose minimum is its maximum",
         WithItems(R"({"kind": "double", "id": "size", "name": "S", "value": 5,
                       "range": [5, 5]})")},
        {"the widest numbers of each kind",
         WithItems(R"({"kind": "double", "id": "size", "name": "S", "value": 0,
                       "range": [-1e15, 1e15]},
                      {"kind": "int", "id": "spac", "name": "I", "value": 0,
                       "range": [-2147483648, 2147483647]},
                      {"kind": "int", "id": "step", "name": "J", "value": 2.0,
                       "range": [0.0, 4]})")},
        {"one identifier in two tools",
         R"({"tools": [{"name": "A", "items": [{"kind": "bool", "id": "wetm", "name": "W"}]},
                       {"name": "B", "items": [{"kind": "bool", "id": "wetm", "name": "X"}]}]})"},
        {"identifiers with a blank and punctuation",
         WithItems(R"({"kind": "bool", "id": "hue ", "name": "H"},
                      {"kind": "bool", "id": "a-b!", "name": "I"})")},
        {"a window at the edges of the screen", R"({"window": [-32768, -32768, 32767, 32767],
                                                    "tools": []})"},
    };
    for (const Case& c : cases) {
        const SessionResult result = RunScript(c.json, "attach");
        EXPECT_EQ(result.exitStatus, kExitOk) << c.name << ": " << result.errors;
    }
}

TEST(HostDescriptionTest, HelpStatesTheBoundsTheCheckHolds) {
    const std::string help = HostDescriptionHelp();
    for (const std::string& bound :
         {BoundText(limits::kMaxMagnitude), BoundText(limits::kMaxDpi), BoundText(limits::kMinDpi),
          std::to_string(limits::kMaxCoordinate), std::to_string(limits::kMinCoordinate)}) {
        EXPECT_NE(help.find(bound), std::string::npos) << bound;
    }
}

TEST(HostDescriptionTest, BundledExampleLoadsWholly) {
    const HostModel model = LoadHostDescription(QUARN_SOURCE_DIR "/examples/paint.json");
    ASSERT_EQ(model.tools.size(), 4u);
    const auto brush = model.FindTool("Paint Brush");
    ASSERT_TRUE(brush);
    EXPECT_EQ(brush->GetToolID(), 7);
    EXPECT_EQ(brush->GetDialReflecteds().size(), 13u);
    EXPECT_EQ(model.document->GetHistory()->GetCount(), 12);
    EXPECT_EQ(model.document->GetHistory()->GetPosition(), 12);
    EXPECT_EQ(model.selections.size(), 3u);
    // Group elements are found by identifier too, for the transcript's value lines.
    const auto saturation = model.FindItem(ParseIdentifier("satu"));
    ASSERT_TRUE(saturation);
    EXPECT_EQ(saturation->GetName().ToString(), "S\u00e4ttigung");
    EXPECT_TRUE(model.document->GetToolByID(188));
    // The menu can show the tools' own items, but not group elements nor the button and
    // position items.
    EXPECT_TRUE(model.menuEntries.contains("Colour"));
    EXPECT_TRUE(model.menuEntries.contains("Gamma"));
    EXPECT_FALSE(model.menuEntries.contains("S\u00e4ttigung"));
    EXPECT_FALSE(model.menuEntries.contains("Wet Edges"));
    EXPECT_FALSE(model.menuEntries.contains("Puck Position"));
}

}  // namespace
}  // namespace Quarn::WinRT::sim
