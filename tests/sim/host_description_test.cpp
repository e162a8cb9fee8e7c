#include <gtest/gtest.h>

#include "bindings/corvanta/group.h"
#include "tools/sim/host_description.h"

namespace Quarn::WinRT::sim {
namespace {

TEST(HostDescriptionTest, MistakesNameTheValueAtFault) {
    struct Case {
        const char* json;
        const char* error;
    };
    const Case cases[] = {
        {"{", "host.json: not valid JSON"},
        {"{}", "host.json: tools: expected a value here"},
        {R"({"tools": {}})", "host.json: tools: expected an array"},
        {R"({"tool": []})", "host.json: tool: expected no key \"tool\" here"},
        {R"({"tools": [{"name": "B", "items": [{"kind": "double", "id": "size", "name": "S",
            "value": 1, "range": [0, 2], "sensitivty": 2}]}]})",
         "tools[0].items[0].sensitivty: expected no key \"sensitivty\" here"},
        {R"({"tools": [{"name": "B", "items": [{"kind": "double", "id": "size", "name": "S",
            "value": 1, "range": [0]}]}]})",
         "tools[0].items[0].range: expected [minimum, maximum]"},
        {R"({"tools": [{"name": "B", "items": [{"kind": "dial", "id": "size", "name": "S"}]}]})",
         "tools[0].items[0].kind: expected an item kind"},
        {R"({"tools": [{"name": "B", "items": [{"kind": "bool", "id": "sz", "name": "S"}]}]})",
         "tools[0].items[0].id: expected a four-character identifier"},
        {R"({"tools": [{"name": "B"}, {"name": "B"}]})",
         "tools[1].name: expected a tool name not used before"},
        {R"({"tools": [{"name": "B", "kind": "brush"}]})", "tools[0].kind: expected a tool kind"},
        {R"({"history": ["a"], "historyPosition": 2, "tools": []})",
         "historyPosition: expected a position from 0 to the number of history entries"},
        {R"({"tools": [{"name": "B", "items": [{"kind": "enum", "id": "tips", "name": "T",
            "choices": ["Round"], "value": "Flat"}]}]})",
         "tools[0].items[0].value: expected one of the choices"},
        {R"({"tools": [{"name": "B", "items": [{"kind": "enum", "id": "tips", "name": "T",
            "choices": []}]}]})",
         "tools[0].items[0].choices: expected at least one choice"},
        {R"({"tools": [{"name": "B", "items": [{"kind": "bool", "id": "wetm", "name": "W",
            "colour": "red"}]}]})",
         "tools[0].items[0].colour: expected a colour as \"#RRGGBB\""},
        {R"({"tools": [{"name": "B", "items": [{"kind": "unit", "id": "widt", "name": "W",
            "unit": "furlongs", "value": 1, "range": [0, 2]}]}]})",
         "tools[0].items[0].unit: expected a unit"},
        {R"({"window": [10, 10, 5, 20], "tools": []})",
         "window: expected a rectangle with its right and bottom beyond its left and top"},
        {R"({"selections": {"s": [{"layer": "vector"}]}, "tools": []})",
         "selections.s[0].layer: expected a layer kind"},
    };
    for (const Case& c : cases) {
        try {
            ParseHostDescription(c.json, "host.json");
            ADD_FAILURE() << "accepted: " << c.json;
        } catch (const HostDescriptionError& error) {
            EXPECT_NE(std::string(error.what()).find(c.error), std::string::npos)
                << c.json << "\n  said: " << error.what();
        }
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
}

}  // namespace
}  // namespace Quarn::WinRT::sim
