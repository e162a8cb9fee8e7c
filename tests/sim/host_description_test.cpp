#include <gtest/gtest.h>

#include <algorithm>
#include <string>

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
        std::string error;  // a part of the one line of the message
    };
    const Case cases[] = {
        // Reading.
        {"{", "not valid JSON: parse error at line 1, column 2"},
        {WithItems(R"({"kind": "double", "id": "size", "name": "S", "value": 1e400,
                       "range": [0, 2]})"),
         "tools[0].items[0].value: expected a number within the range of a double"},
        {R"({"tools": [], "tools": []})", "tools: expected each key once in an object"},
        {Nested(40), "[0][0]: expected at most 32 levels of nested arrays and objects"},
        // Shape.
        {"{}", "tools: expected a value here"},
        {R"({"tools": {}})", "tools: expected an array"},
        {R"({"tool": []})", "tool: expected no key \"tool\" here"},
        {WithItems(R"({"kind": "double", "id": "size", "name": "S", "value": 1,
                       "range": [0, 2], "sensitivty": 2})"),
         "tools[0].items[0].sensitivty: expected no key"},
        {WithItems("1"), "tools[0].items[0]: expected an item (an object)"},
        {WithItems(R"({"kind": "dial", "id": "size", "name": "S"})"),
         "tools[0].items[0].kind: expected an item kind"},
        // Identifiers.
        {WithItems(R"({"kind": "bool", "id": "sz", "name": "S"})"),
         "tools[0].items[0].id: expected a four-character identifier"},
        {WithItems(R"({"kind": "bool", "id": "gr\u00f6", "name": "S"})"),
         "tools[0].items[0].id: expected a four-character identifier"},
        {WithItems(R"({"kind": "bool", "id": "wetm", "name": "W"},
                      {"kind": "bool", "id": "wetm", "name": "X"})"),
         "tools[0].items[1].id: expected an identifier not used before in this tool"},
        {WithItems(R"({"kind": "bool", "id": "satu", "name": "W"},
                      {"kind": "group", "id": "colr", "name": "C", "elements": [
                        {"kind": "bool", "id": "satu", "name": "S"}]})"),
         "tools[0].items[1].elements[0].id: expected an identifier not used before"},
        {WithItems(R"({"kind": "history", "id": "hstr", "name": "H"})"),
         "tools[0].items[0].id: expected \"hist\""},
        // Names.
        {R"({"tools": [{"name": "B"}, {"name": "B"}]})",
         "tools[1].name: expected a tool name not used before"},
        {R"({"tools": [{"name": "none"}]})", "tools[0].name: expected a tool name other than"},
        {R"({"tools": [{"name": ""}]})", "tools[0].name: expected a name that is not empty"},
        {WithItems(R"({"kind": "bool", "id": "wetm", "name": "W\u0000et"})"),
         "tools[0].items[0].name: expected a name without control characters"},
        {R"({"selections": {"none": []}, "tools": []})",
         "selections.none: expected a selection name other than \"none\""},
        {R"({"history": ["Open", ""], "tools": []})", "history[1]: expected a name that is not"},
        // Tool ids.
        {R"({"tools": [{"name": "A", "id": 7}, {"name": "B", "id": 7}]})",
         "tools[1].id: expected a tool id not used before: tools[0] has 7"},
        {R"({"tools": [{"name": "A"}, {"name": "B", "id": 1000}]})",
         "tools[0] has 1000 (tools without an id get 1000 plus their place)"},
        {R"({"tools": [{"name": "A", "id": -1}]})", "tools[0].id: expected a whole number"},
        {R"({"tools": [{"name": "B", "kind": "brush"}]})", "tools[0].kind: expected a tool kind"},
        // Numbers and ranges.
        {WithItems(R"({"kind": "int", "id": "spac", "name": "S", "value": 1.5, "range": [0, 2]})"),
         "tools[0].items[0].value: expected a whole number"},
        {WithItems(R"({"kind": "float", "id": "hard", "name": "H", "value": 0,
                       "range": [0, 1e39]})"),
         "tools[0].items[0].range[1]: expected a number from -1e15 to 1e15"},
        {WithItems(R"({"kind": "double", "id": "size", "name": "S", "value": 1, "range": [0]})"),
         "tools[0].items[0].range: expected [minimum, maximum]"},
        {WithItems(R"({"kind": "double", "id": "size", "name": "S", "value": 5,
                       "range": [10, 1]})"),
         "range: expected [minimum, maximum] with the minimum at most the maximum"},
        {WithItems(R"({"kind": "unit", "id": "widt", "name": "W", "unit": "pixels",
                       "value": 300, "range": [0, 200]})"),
         "tools[0].items[0].value: expected a value within the range [0,200]"},
        {WithItems(R"({"kind": "unit", "id": "widt", "name": "W", "unit": "furlongs",
                       "value": 1, "range": [0, 2]})"),
         "tools[0].items[0].unit: expected a unit"},
        {WithItems(R"({"kind": "unit", "id": "widt", "name": "W", "unit": "pixels",
                       "shownIn": "degrees", "value": 1, "range": [0, 2]})"),
         "tools[0].items[0].shownIn: expected user, or a unit of the same kind"},
        {WithItems(R"({"kind": "double", "id": "size", "name": "S", "value": 1,
                       "range": [0, 2], "sensitivity": 1e9})"),
         "tools[0].items[0].sensitivity: expected a number from -1000 to 1000"},
        {WithItems(R"({"kind": "double", "id": "size", "name": "S", "value": 1,
                       "range": [0, 2], "nonLinear": 0})"),
         "tools[0].items[0].nonLinear: expected true, false or a curve exponent"},
        {WithItems(R"({"kind": "double", "id": "size", "name": "S", "value": 1,
                       "range": [0, 2], "precision": 11})"),
         "tools[0].items[0].precision: expected a whole number from 0 to 10"},
        // Units and the window.
        {R"({"units": {"dpi": 0}, "tools": []})", "units.dpi: expected a number from 1"},
        {R"({"units": {"length": "degrees"}, "tools": []})", "units.length: expected a unit"},
        {R"({"window": [10, 10, 5, 20], "tools": []})",
         "window: expected a rectangle with its right and bottom beyond its left and top"},
        {R"({"window": [0, 0, 40000, 10], "tools": []})", "window[2]: expected a whole number"},
        // Choices, groups, history, selections, colours.
        {WithItems(R"({"kind": "enum", "id": "tips", "name": "T", "choices": ["Round"],
                       "value": "Flat"})"),
         "tools[0].items[0].value: expected one of the choices"},
        {WithItems(R"({"kind": "enum", "id": "tips", "name": "T", "choices": []})"),
         "tools[0].items[0].choices: expected at least one choice"},
        {WithItems(R"({"kind": "blend-mode", "id": "blnd", "name": "B",
                       "modes": ["Normal", "Normal"]})"),
         "tools[0].items[0].modes[1]: expected mode not named before"},
        {WithItems(R"({"kind": "group", "id": "colr", "name": "C", "elements": [
                       {"kind": "group", "id": "innr", "name": "I", "elements": []}]})"),
         "tools[0].items[0].elements[0].kind: expected an element kind other than group"},
        {WithItems(R"({"kind": "group", "id": "colr", "name": "C", "current": "satu",
                       "elements": [{"kind": "bool", "id": "hue ", "name": "H"}]})"),
         "tools[0].items[0].current: expected the identifier of one of the group's elements"},
        {R"({"history": ["a"], "historyPosition": 2, "tools": []})",
         "historyPosition: expected a whole number from 0 to 1"},
        {R"({"selections": {"s": [{"layer": "vector"}]}, "tools": []})",
         "selections.s[0].layer: expected a layer kind"},
        {WithItems(R"({"kind": "bool", "id": "wetm", "name": "W", "colour": "red"})"),
         "tools[0].items[0].colour: expected a colour as \"#RRGGBB\""},
    };
    for (const Case& c : cases) {
        const SessionResult result = RunScript(c.json, "attach");
        EXPECT_EQ(result.exitStatus, kExitBadInput) << c.json;
        EXPECT_TRUE(result.errors.starts_with("host.json: ")) << result.errors;
        EXPECT_EQ(std::count(result.errors.begin(), result.errors.end(), '\n'), 1) << c.json;
        EXPECT_NE(result.errors.find(c.error), std::string::npos) << result.errors;
        EXPECT_TRUE(result.lines.empty()) << c.json << ": a bad description must not run at all";
    }
}

TEST(HostDescriptionTest, EdgesThatAreAllowed) {
    struct Case {
        const char* name;
        std::string json;
    };
    const Case cases[] = {
        {"the widest numbers of each kind",
         WithItems(R"({"kind": "double", "id": "size", "name": "S", "value": 0,
                       "range": [-1e15, 1e15]},
                      {"kind": "int", "id": "spac", "name": "I", "value": 0,
                       "range": [-2147483648, 2147483647]},
                      {"kind": "int", "id": "step", "name": "J", "value": 2.0,
                       "range": [0.0, 4]})")},
        {"an identifier with punctuation",
         WithItems(R"({"kind": "bool", "id": "a-b!", "name": "I"})")},
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

}  // namespace
}  // namespace Quarn::WinRT::sim
