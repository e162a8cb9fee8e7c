#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <regex>
#include <sstream>

#include "tests/sim/sim_run.h"
#include "tools/sim/host_description.h"
#include "tools/sim/session.h"

namespace Quarn::WinRT::sim::testing {
namespace {

constexpr const char* kHost = R"({
  "history": ["Open", "Stroke", "Fill"],
  "tools": [
    {"name": "Brush", "id": 7, "items": [
      {"kind": "double", "id": "size", "name": "Gr\u00f6\u00dfe", "value": 10, "range": [0, 100]},
      {"kind": "int", "id": "spac", "name": "Spacing", "value": 5, "range": [1, 10]},
      {"kind": "history", "id": "hist", "name": "History"},
      {"kind": "blend-mode", "id": "blnd", "name": "Blend", "modes": ["Normal", "Multiply"]},
      {"kind": "bool", "id": "wetm", "name": "Wet", "button": true}
    ]},
    {"name": "Empty", "id": 8, "items": []},
    {"name": "Fixed", "id": 9, "items": [
      {"kind": "double", "id": "lock", "name": "Lock", "value": 5, "range": [5, 5]},
      {"kind": "int", "id": "ilck", "name": "Int Lock", "value": 3, "range": [3, 3]}
    ]},
    {"name": "Twin", "id": 10, "items": [
      {"kind": "double", "id": "size", "name": "Twin Size", "value": 1, "range": [0, 10]}
    ]}
  ]
})";

constexpr const char* kGroupHost = R"({
  "history": ["Open", "Stroke"],
  "tools": [
    {"name": "Paint", "id": 7, "items": [
      {"kind": "group", "id": "colr", "name": "Colour", "current": "satu", "elements": [
        {"kind": "double", "id": "hue ", "name": "Hue", "value": 210, "range": [0, 360]},
        {"kind": "double", "id": "satu", "name": "Saturation", "value": 0.5, "range": [0, 1],
         "precision": 2},
        {"kind": "double", "id": "ligh", "name": "Lightness", "value": 0.25, "range": [0, 1],
         "precision": 2}]},
      {"kind": "history", "id": "hist", "name": "History"}
    ]}
  ]
})";

// Every pattern matches a transcript line, in order; no line matches a forbidden pattern.
struct Sequence {
    const char* name;
    std::string script;
    std::vector<const char*> expected;
    std::vector<const char*> forbidden = {};
    const char* host = kHost;
};

void ExpectTranscript(const Sequence& sequence) {
    const SessionResult result = RunScript(sequence.host, sequence.script);
    ASSERT_EQ(result.exitStatus, kExitOk) << sequence.name << ": " << result.errors;
    std::size_t next = 0;
    for (const char* pattern : sequence.expected) {
        const std::regex wanted(pattern);
        while (next < result.lines.size() && !std::regex_search(result.lines[next], wanted)) {
            ++next;
        }
        if (next == result.lines.size()) {
            std::ostringstream all;
            for (const auto& line : result.lines) {
                all << line << '\n';
            }
            ADD_FAILURE() << sequence.name << ": no line /" << pattern << "/ in order in\n"
                          << all.str();
            return;
        }
        ++next;
    }
    for (const char* pattern : sequence.forbidden) {
        const std::regex unwanted(pattern);
        for (const auto& line : result.lines) {
            EXPECT_FALSE(std::regex_search(line, unwanted)) << sequence.name << ": " << line;
        }
    }
}

TEST(SessionTest, ScriptedSequencesGiveTheirTranscripts) {
    const Sequence sequences[] = {
        {"the menu mirrors the tool, names intact",
         "attach\ntool Brush",
         {R"(^ +0 ms  items from Brush \(tool 7\): 5 items$)",
          R"(menu 1 "Größe" known icon .* \[selected\]$)", R"(menu 4 "Blend")",
          R"(menu system items: Volume, NextPreviousTrack$)"}},
        {"the commit timer writes again 250 ms after the last rotation",
         "attach\ntool Brush\nselect Größe\nrotate 10 x3 every 100\nwait 249\nwait 1",
         {R"(^ +0 ms  current Größe \(size\); resolution 1\.0 degrees, haptics off$)",
          R"(^ +0 ms  value Größe \(size\) = [0-9.]+, flag true$)",
          R"(^ +200 ms  value Größe \(size\) = [0-9.]+, flag true$)",
          R"(^ +450 ms  value Größe \(size\) = [0-9.]+, flag false$)"},
         {R"(^ +([0-9]{1,2}|[1-3][0-9]{2}|4[0-4][0-9]) ms  value .*flag false)"}},
        {"a rotation restarts the commit timer",
         "attach\ntool Brush\nselect Spacing\nrotate 1\nwait 200\nrotate 1\nwait 300",
         {R"(^ +0 ms  value Spacing \(spac\) = 6, flag true$)",
          R"(^ +200 ms  value Spacing \(spac\) = 7, flag true$)",
          R"(^ +450 ms  value Spacing \(spac\) = 7, flag false$)"},
         {R"(^ +250 ms  value)"}},
        {"history turned back at its start stays there",
         "attach\ntool Brush\nselect History\nrotate -60 x3 every 300",
         {R"(current History \(hist\); resolution 6\.0 degrees, haptics off)",
          R"(history Brush asks for index -1; history at 0 of 3$)"},
         {R"(asks for index -[2-9])"}},
        {"the history item freezes the menu until another item is current",
         "attach\ntool Brush\nselect History\ntool Empty\nselect Spacing\ntool Empty",
         {R"(tool the menu is frozen while the history item is current)",
          R"(items from Empty \(tool 8\): 0 items)"}},
        {"the button item toggles",
         "attach\ntool Brush\nselect Spacing\nclick\nclick",
         {R"(value Wet \(wetm\) = true, flag false)", R"(value Wet \(wetm\) = false, flag false)"}},
        {"a failing menu append is logged once and the next tool rebuilds the menu",
         "attach\nfail RadialControllerMenu.Items.Append E_FAIL no room\ntool Brush\ntool Brush",
         {R"(log "Dial error: Failed to create menu items\. no room")",
          R"(menu no application entries)", R"(menu 1 "Größe")", R"(menu 4 "Blend")"}},
        {"a device without the wheel leaves the dial unattached",
         "unsupported\nattach\ntool Brush",
         {R"(attach the dial has no controller)"},
         {R"(items from Brush)"}},
        {"the overlay window sits over the editor and lets the mouse through",
         "attach\ntool Brush\nhit 10 10\nhit -5 900",
         {R"(^ +0 ms  hit \(10, 10\): transparent; the mouse reaches the Editor window$)",
          R"(^ +0 ms  hit \(-5, 900\): transparent; the mouse reaches no window$)"}},
        {"the overlay's centre follows the puck on the screen",
         "attach\ntool Brush\nselect Größe\ncontact 300 200",
         {R"(overlay hidden, window \(100, 50\) 1280x800, centre \(400\.0, 250\.0\), no overlay)"}},
        {"a range whose minimum is its maximum keeps its one value under rotation",
         "attach\ntool Fixed\nselect Lock\nrotate 30\nselect Int Lock\nrotate -30",
         {R"(^ +0 ms  value Lock \(lock\) = 5\.0000, flag true$)",
          R"(^ +0 ms  value Int Lock \(ilck\) = 3, flag true$)"},
         {R"(value Lock \(lock\) = [^5])", R"(value Int Lock \(ilck\) = [^3])"}},
        {"a value line names the item of the tool written to, not another tool's namesake",
         "attach\ntool Twin\nselect Twin Size\nrotate 18",
         {R"(^ +0 ms  value Twin Size \(size\) = 2\.0000, flag true$)"},
         {R"(value Größe)"}},
        {"a lost device is made again and the frame says so",
         "attach\ntool Brush\nselect Spacing\nrotate 10\nfail Present DXGI_ERROR_DEVICE_REMOVED\n"
         "frame " +
             ::testing::TempDir() + "lost-device.png",
         {R"( frame .*lost-device\.png: 1280x800, fully transparent; device chain made again 1 time after a lost device$)"}},
        // The puck's centre at (400, 300) puts the first badge at about (469, 104) in the
        // editor's window, 208 pixels from the centre, one 70-pixel chord clockwise from up.
        {"the transcript says which overlay is shown and what a click hits",
         "attach\ntool Paint\nselect Colour\nrotate 5\ncontact 400 300\nhit 469 104\n"
         "hit 400 300\nhit 430 180\nclick\nclick\nlift\nwait 2000\nselect History\nrotate -6\n",
         {R"(overlay shown, window \([-0-9]+, [-0-9]+\) 382x382, .*group overlay, a disc, current Saturation 0\.5[0-9]*$)",
          R"(overlay shown, window \([-0-9]+, [-0-9]+\) 920x920, .*group overlay, a ring of 3 around the puck, current Saturation)",
          R"(hit \(469, 104\): client, the overlay claims it for the badge of Hue; the mouse reaches the Dial window$)",
          R"(hit \(400, 300\): transparent; the mouse reaches the Editor window$)",
          R"(hit \(430, 180\): transparent; the mouse reaches the Editor window$)",
          R"(group overlay, a ring of 3 around the puck, current Lightness 0\.25$)",
          R"(group overlay, a ring of 3 around the puck, current Hue 210$)",
          R"(overlay shown, window \([-0-9]+, [-0-9]+\) 1382x1382, .*history overlay, "1/2: Open"$)"},
         {},
         kGroupHost},
    };
    for (const Sequence& sequence : sequences) {
        ExpectTranscript(sequence);
    }
}

TEST(SessionTest, FramesFollowEveryChangeOfWhatTheOverlayShows) {
    // A folder of this process's own: two test runs at once must not count each other's frames.
    const std::filesystem::path folder =
        std::filesystem::path(::testing::TempDir()) /
        ("quarn-sim-frames-" + std::to_string(std::random_device{}()));
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    // The contact moves the overlay's centre twice; a wait changes nothing it shows.
    const SessionResult result =
        RunScript(kHost, "attach\ntool Brush\nselect Größe\ncontact 300 200\nwait 10\nmove 320 210",
                  ".", folder.string());
    ASSERT_EQ(result.exitStatus, kExitOk) << result.errors;
    std::ifstream png(folder / "frame-001.png", std::ios::binary);
    char signature[8] = {};
    png.read(signature, sizeof signature);
    EXPECT_EQ(std::string(signature + 1, 3), "PNG");
    EXPECT_TRUE(std::filesystem::exists(folder / "frame-002.png"));
    EXPECT_FALSE(std::filesystem::exists(folder / "frame-003.png"));
    std::filesystem::remove_all(folder);
}

TEST(SessionTest, BundledTourRunsAndShowsTheIconsAndFailures) {
    std::ifstream host(QUARN_SOURCE_DIR "/examples/paint.json");
    std::ifstream script(QUARN_SOURCE_DIR "/examples/tour.dial");
    std::stringstream hostText;
    std::stringstream scriptText;
    hostText << host.rdbuf();
    scriptText << script.rdbuf();
    const SessionResult result =
        RunScript(hostText.str(), scriptText.str(), QUARN_SOURCE_DIR "/examples");
    ASSERT_EQ(result.exitStatus, kExitOk) << result.errors;
    for (const std::string text :
         {R"(menu 1 "Size" icon Dial/brush_size.png [selected])",
          R"(menu 11 "Tip Shape" known icon PenType)",
          R"(trace "Missing dial icon for Tip Shape!\n")",
          R"(log "Dial error: Failed to create menu items. The menu is full")",
          "current Sättigung (satu)", "refresh Levels re-reads its layer's parameters"}) {
        EXPECT_TRUE(std::any_of(
            result.lines.begin(), result.lines.end(),
            [&](const std::string& line) { return line.find(text) != std::string::npos; }))
            << text;
    }
}

}  // namespace
}  // namespace Quarn::WinRT::sim::testing
