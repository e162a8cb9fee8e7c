#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>

#include "tests/sim/sim_run.h"
#include "tools/sim/limits.h"
#include "tools/sim/script.h"

namespace Quarn::WinRT::sim::testing {
namespace {

constexpr const char* kHost = R"({
  "selections": {"one layer": [{"layer": "levels"}]},
  "tools": [{"name": "Paint Brush", "id": 7, "items": [
    {"kind": "double", "id": "size", "name": "Size", "value": 10, "range": [0, 100]},
    {"kind": "bool", "id": "wetm", "name": "Wet", "button": true},
    {"kind": "group", "id": "colr", "name": "Colour", "elements": [
      {"kind": "double", "id": "hue ", "name": "Hue", "value": 0, "range": [0, 360]}]}]}]
})";

std::string Repeated(const std::string& line, int times) {
    std::string text;
    for (int i = 0; i < times; ++i) {
        text += line + "\n";
    }
    return text;
}

TEST(ScriptTest, MistakesAreRefusedWithTheirLineBeforeAnythingRuns) {
    struct Case {
        std::string script;
        std::string error;  // a part of the one line of the message
    };
    const Case cases[] = {
        {"jump 3",
         "session.dial:1: expected a command (attach, resources, tool, select, rotate, click, "
         "contact, move, lift, acquire, lose, key, wait, fail, unsupported, notify, history, "
         "selection, show, context, frame, hit), not \"jump\""},
        {"attach\njump\x01", "), not \"jump\\x01\""},
        // Counts, degrees and times.
        {"# a comment\n\nattach\nwait -1",
         "session.dial:4: expected MS as a whole number from 0 to 86400000, not \"-1\"; usage: "
         "wait MS"},
        {"wait 9223372036854775807", "not \"9223372036854775807\"; usage: wait MS"},
        {Repeated("wait 86400000", 11574) + "wait 86400000",
         "session.dial:11575: expected a script whose virtual time stays within 1000000000000 "
         "ms; this line takes it to 1000080000000 ms"},
        {"rotate 1 x4294967296", "expected the count after x as a whole number from 1 to 1000000"},
        {"rotate 5 x0",
         "expected the count after x as a whole number from 1 to 1000000, not \"0\""},
        {Repeated("rotate 1 x1000000", 11),
         "session.dial:11: expected at most 10000000 rotation events in a script; this line "
         "brings them to 11000000"},
        {Repeated("wait 86400000", 5000) + Repeated("rotate 1 x1000000 every 60000", 10),
         "session.dial:5010: expected a script whose virtual time stays within"},
        {"rotate 1 every 60001", "expected MS as a whole number from 0 to 60000, not \"60001\""},
        {"rotate nan", "expected DEGREES as a number from -360 to 360, not \"nan\""},
        {"rotate 1e400", "expected DEGREES as a number from -360 to 360, not \"1e400\""},
        {"rotate 361", "expected DEGREES as a number from -360 to 360, not \"361\""},
        {"rotate", "session.dial:1: expected usage: rotate DEGREES [xCOUNT] [every MS]"},
        // Points and sizes.
        {"contact 10", "session.dial:1: expected X Y, or X Y W H; usage: contact X Y [W H]"},
        {"contact 10 10 -1 5", "expected W as a number from 0 to 32767, not \"-1\""},
        {"move 1e10 0", "expected X as a number from -32768 to 32767, not \"1e10\""},
        {"hit 0 40000", "expected Y as a number from -32768 to 32767, not \"40000\""},
        // Names the description does not have.
        {"tool Pencil",
         "expected a tool of the host description (Paint Brush) or none, not \"Pencil\""},
        {"select Opacity", "menu (Colour, Size), not \"Opacity\""},
        {"select Hue", "menu (Colour, Size), not \"Hue\""},
        {"select Wet", "menu (Colour, Size), not \"Wet\""},
        {"selection nowhere", "expected a selection of the host description, or none"},
        {"notify invalidate gr\xC3\xB6",
         "expected invalidate ITEM, with the item's four-character"},
        // Frames.
        {"frame out.txt", "expected a file name ending in .png, not \"out.txt\""},
        {"frame " + ::testing::TempDir() + "x.png/../host.json.png",
         "expected a frame file that is not one of the simulator's own files"},
        // The rest of the grammar.
        {"fail Wheel.Explode E_FAIL", "expected an operation of the platform"},
        {"key alt down", "expected ctrl or shift, not \"alt\"; usage: key ctrl|shift down|up"},
        {"select \"Size", "session.dial:1: expected a closing quote"},
        {"history forget", "expected usage: history push NAME, history undo or history redo"},
        {"attach now", "session.dial:1: expected usage: attach"},
    };
    for (const Case& c : cases) {
        const SessionResult result =
            RunScript(kHost, c.script, ".", {}, {::testing::TempDir() + "host.json.png"});
        EXPECT_EQ(result.exitStatus, kExitBadInput) << c.script.substr(0, 60);
        EXPECT_TRUE(result.errors.starts_with("session.dial:")) << result.errors;
        EXPECT_EQ(std::count(result.errors.begin(), result.errors.end(), '\n'), 1) << c.error;
        EXPECT_NE(result.errors.find(c.error), std::string::npos) << result.errors;
        EXPECT_TRUE(result.lines.empty())
            << c.script.substr(0, 60) << ": a bad script must not run at all";
    }
}

TEST(ScriptTest, LineEndingsAndAByteOrderMarkReadAlike) {
    const std::string lines[] = {"attach", "tool Paint Brush", "select Size", "rotate 2", "bogus"};
    // LF, CRLF, CR, and a byte-order mark before LF and before CRLF.
    const std::pair<const char*, const char*> cases[] = {
        {"", "\n"}, {"", "\r\n"}, {"", "\r"}, {"\xEF\xBB\xBF", "\n"}, {"\xEF\xBB\xBF", "\r\n"}};
    for (const auto& [start, end] : cases) {
        SCOPED_TRACE(::testing::PrintToString(std::string(start) + end));
        std::string script = start;
        for (const std::string& line : lines) {
            script += line + end;
        }
        // The last line is wrong on purpose: its number shows the lines were counted right.
        const SessionResult bad = RunScript(kHost, script);
        EXPECT_TRUE(bad.errors.starts_with("session.dial:5: expected a command"));
        script.erase(script.rfind("bogus"));
        const SessionResult good = RunScript(kHost, script);
        ASSERT_EQ(good.exitStatus, kExitOk) << good.errors;
        EXPECT_EQ(good.lines.front(), "      0 ms  > attach");
        EXPECT_NE(std::find(good.lines.begin(), good.lines.end(),
                            "      0 ms  value Size (size) = 11.1111, flag true"),
                  good.lines.end());
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

TEST(ScriptTest, HelpStatesTheBoundsTheCheckHolds) {
    const std::string help = ScriptCommandsHelp();
    for (const std::int64_t bound :
         {limits::kMaxRepeats, limits::kMaxRotationEvents, limits::kMaxWaitMs, limits::kMaxEveryMs,
          limits::kMaxVirtualMs, static_cast<std::int64_t>(limits::kMaxDegrees),
          static_cast<std::int64_t>(limits::kMaxCoordinate)}) {
        EXPECT_NE(help.find(std::to_string(bound)), std::string::npos) << bound;
    }
}

}  // namespace
}  // namespace Quarn::WinRT::sim::testing
