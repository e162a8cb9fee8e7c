#include <gtest/gtest.h>

#include "tests/sim/sim_run.h"
#include "tools/sim/script.h"

namespace Quarn::WinRT::sim::testing {
namespace {

constexpr const char* kHost = R"({
  "selections": {"one layer": [{"layer": "levels"}]},
  "tools": [{"name": "Paint Brush", "id": 7, "items": [
    {"kind": "double", "id": "size", "name": "Size", "value": 10, "range": [0, 100]}]}]
})";

TEST(ScriptTest, MistakesNameTheLineAndWhatWasExpected) {
    struct Case {
        const char* script;
        const char* error;
    };
    const Case cases[] = {
        {"jump 3", "session.dial:1: expected a command (attach, resources, tool, select"},
        {"# a comment\n\nattach\nwait -1",
         "session.dial:4: expected MS as a whole number of at least 0, not \"-1\"; usage: wait MS"},
        {"rotate", "session.dial:1: expected usage: rotate DEGREES [xCOUNT] [every MS]"},
        {"rotate nan", "expected DEGREES as a finite number, not \"nan\""},
        {"rotate 5 x0", "expected the count after x as a whole number of at least 1"},
        {"rotate 5 x3 every", "usage: rotate DEGREES [xCOUNT] [every MS]"},
        {"rotate 5 often 3", "usage: rotate DEGREES [xCOUNT] [every MS]"},
        {"tool Pencil",
         "expected a tool of the host description (Paint Brush) or none, not "
         "\"Pencil\""},
        {"tool", "usage: tool [--from-selection] NAME, or tool none"},
        {"fail Wheel.Explode E_FAIL", "expected an operation of the platform (RadialController"},
        {"fail RadialController.IsSupported 0xZZ", "expected an HRESULT"},
        {"fail always RadialController.IsSupported", "usage: fail [always] OPERATION HRESULT"},
        {"key alt down", "expected ctrl or shift, not \"alt\""},
        {"key ctrl sideways", "expected down or up, not \"sideways\""},
        {"contact 10", "expected X Y, or X Y W H"},
        {"contact 10 10 -1 5", "expected a contact size of zero or more"},
        {"select \"Size", "session.dial:1: expected a closing quote"},
        {"notify invalidate toolong", "invalidate ITEM, with the item's four-character"},
        {"notify weather", "expected a notification kind"},
        {"history forget", "usage: history push NAME, history undo or history redo"},
        {"selection nowhere", "expected a selection of the host description, or none"},
        {"show windows", "expected items or menu, not \"windows\""},
        {"attach now", "usage: attach"},
    };
    for (const Case& c : cases) {
        const SessionResult result = RunScript(kHost, c.script);
        EXPECT_EQ(result.exitStatus, kExitBadInput) << c.script;
        EXPECT_NE(result.errors.find(c.error), std::string::npos)
            << c.script << "\n  printed: " << result.errors;
        EXPECT_TRUE(result.lines.empty()) << c.script << ": a bad script must not run at all";
    }
}

TEST(ScriptTest, GoodLinesParseWithTheirNumbersAndWithoutComments) {
    const HostModel model = ParseHostDescription(kHost, "host.json");
    const auto steps = ParseScript(
        "attach   # first\n\n  tool   Paint Brush\nselect \"Size\"\nselection one layer\n"
        "fail always RadialControllerMenu.Items.Append -2147467259 gone for good\n"
        "rotate -2.5 x4 every 16\nacquire\nacquire 1 2 3 4\ntool none\n",
        "session.dial", model, {});
    std::vector<std::pair<int, std::string>> seen;
    for (const Step& step : steps) {
        seen.emplace_back(step.line, step.text);
    }
    const std::vector<std::pair<int, std::string>> expected = {
        {1, "attach"},
        {3, "tool Paint Brush"},
        {4, "select Size"},
        {5, "selection one layer"},
        {6, "fail always RadialControllerMenu.Items.Append -2147467259 gone for good"},
        {7, "rotate -2.5 x4 every 16"},
        {8, "acquire"},
        {9, "acquire 1 2 3 4"},
        {10, "tool none"},
    };
    EXPECT_EQ(seen, expected);
}

}  // namespace
}  // namespace Quarn::WinRT::sim::testing
