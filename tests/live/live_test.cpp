// The live mode end to end, on a real X server (ctest runs this under xvfb-run): real input
// events from xdotool or a uinput device, the window's pixels, the recording and its replay.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <libevdev/libevdev-uinput.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/pixel_compare.h"
#include "tools/sim/live/live_layout.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
namespace pixels = Quarn::WinRT::testing;
namespace live = Quarn::WinRT::sim::live;
using namespace std::chrono_literals;

const std::string kSim = QUARN_SIM_PATH;
const std::string kHost = std::string(QUARN_SOURCE_DIR) + "/examples/paint.json";
constexpr int kHostLeft = 100;  // paint.json's window
constexpr int kHostTop = 50;
constexpr int kCanvasWidth = 1280;
constexpr int kColourRow = 6;  // "Colour" among paint.json's Paint Brush entries

std::string Read(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

// The output of a shell command, or empty.
std::string Shell(const std::string& command) {
    std::string output;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[256];
        while (std::fgets(buffer, sizeof buffer, pipe)) {
            output += buffer;
        }
        pclose(pipe);
    }
    return output;
}

bool WaitFor(const std::string& path, const std::string& text) {
    for (auto deadline = std::chrono::steady_clock::now() + 20s;
         std::chrono::steady_clock::now() < deadline; std::this_thread::sleep_for(50ms)) {
        if (Read(path).find(text) != std::string::npos) {
            return true;
        }
    }
    return false;
}

// quarn-dial-sim live in the background, its errors in a file; stopped with SIGINT.
class LiveProcess {
public:
    LiveProcess(const fs::path& dir, std::vector<std::string> extra) : m_dir(dir) {
        std::vector<std::string> args = {kSim,     "live",         kHost,       "--record",
                                         Record(), "--transcript", Transcript()};
        args.insert(args.end(), extra.begin(), extra.end());
        std::vector<char*> argv;
        for (std::string& arg : args) {
            argv.push_back(arg.data());
        }
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 2, (dir / "errors.txt").c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn(&m_pid, argv[0], &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
    }
    ~LiveProcess() {
        if (m_pid > 0) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
    }
    // The exit status after SIGINT.
    int Interrupt() {
        kill(m_pid, SIGINT);
        int status = 0;
        waitpid(m_pid, &status, 0);
        m_pid = 0;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    std::string Record() const { return (m_dir / "live.dial").string(); }
    std::string Transcript() const { return (m_dir / "live.txt").string(); }
    std::string Errors() const { return Read((m_dir / "errors.txt").string()); }

private:
    fs::path m_dir;
    pid_t m_pid = 0;
};

fs::path TestFolder(const std::string& name) {
    const fs::path dir = fs::path(QUARN_TEST_OUTPUT_DIR) / name;
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

// Replays a recording with the scripted simulator and returns its transcript; `frame` ends the
// replay with a frame of its last state, in scripted.png.
std::string Replay(const fs::path& dir, const std::string& record, bool frame) {
    const std::string script = (dir / (frame ? "so-far.dial" : "replay.dial")).string();
    fs::copy_file(record, script, fs::copy_options::overwrite_existing);
    if (frame) {
        std::ofstream(script, std::ios::app) << "frame " << (dir / "scripted.png").string() << "\n";
    }
    const std::string transcript = script + ".txt";
    EXPECT_EQ(
        std::system((kSim + " --transcript " + transcript + " " + kHost + " " + script).c_str()),
        0);
    return Read(transcript);
}

// The scripted frame over the canvas grey, where it lies on the canvas below its caption,
// against the same pixels of the window's screenshot.
std::string CompareWithScreenshot(const std::string& shotPath, const pixels::PixelImage& frame,
                                  int left, int top, const std::string& failures) {
    const pixels::PixelImage shot = pixels::LoadPng(shotPath);
    const int grey = static_cast<int>(live::kCanvasGrey * 255 + 0.5);
    pixels::PixelImage expected{frame.width, frame.height, frame.pixels};
    pixels::PixelImage actual = expected;
    for (int y = 0; y < frame.height; ++y) {
        for (int x = 0; x < frame.width; ++x) {
            const std::size_t i = static_cast<std::size_t>(y) * frame.width + x;
            const int cx = left + x;
            const int cy = top + y;
            const std::uint32_t p = frame.pixels[i];
            const int a = static_cast<int>(p >> 24);
            std::uint32_t over = 0xFF000000u;
            for (int shift = 0; shift <= 16; shift += 8) {
                const int c = static_cast<int>((p >> shift) & 0xFF) + grey * (255 - a) / 255;
                over |= static_cast<std::uint32_t>(c) << shift;
            }
            const bool onCanvas = cx >= 0 && cx < kCanvasWidth && cy >= 30 && cy < shot.height;
            expected.pixels[i] = onCanvas ? over : 0;
            actual.pixels[i] = onCanvas ? (shot.pixels[static_cast<std::size_t>(cy) * shot.width +
                                                       static_cast<std::size_t>(cx)] |
                                           0xFF000000u)
                                        : 0;
        }
    }
    const pixels::PixelDifference difference =
        pixels::ComparePixels(actual, expected, pixels::kReferenceTolerance);
    if (difference.unmatchedPixels <= pixels::kMaxUnmatchedPixels) {
        return {};
    }
    pixels::SavePng(actual, failures + "/window-region.png");
    pixels::SavePng(expected, failures + "/expected-region.png");
    return std::to_string(difference.unmatchedPixels) + " pixels differ; see " + failures;
}

TEST(Live, XEventsShowTheScriptedFramesAndTheRecordingReplaysTheTranscript) {
    const fs::path dir = TestFolder("x_events");
    LiveProcess live(dir, {});
    const std::string window = Shell(
        "timeout 20 xdotool search --sync --onlyvisible --name 'quarn-dial-sim live' | "
        "head -1");
    ASSERT_FALSE(window.empty()) << live.Errors();
    const std::string id = window.substr(0, window.find('\n'));
    const std::string w = " --window " + id + " ";
    const int menuX = kCanvasWidth + 40;
    const int colourY = live::kMenuHeaderHeight + kColourRow * live::kMenuRowHeight + 10;
    // Each input, and the transcript line that says it has been handled.
    const struct {
        std::string xdotool;
        std::string handled;
    } inputs[] = {
        {"mousemove" + w + "640 400 click 4 click 4 click 5", "> rotate -10"},
        {"mousemove" + w + std::to_string(menuX) + " " + std::to_string(colourY) + " click 1",
         "> select Colour"},
        {"mousemove" + w + "640 400 click 4", "value Sättigung"},
        {"mousemove" + w + "500 300 mousedown 3 sleep 0.1 mousemove" + w +
             "520 310 sleep 0.1 mousemove" + w + "540 320",
         "> move 540 320"},
    };
    for (const auto& input : inputs) {
        std::system(("xdotool " + input.xdotool).c_str());
        ASSERT_TRUE(WaitFor(live.Transcript(), input.handled))
            << input.xdotool << "\n"
            << Read(live.Transcript()) << live.Errors();
    }
    // The puck rests on the screen: the ring stays until the end. The scripted simulator's frame
    // of the recording so far is what the window must come to show (a frame or two later; more
    // under a sanitizer).
    ASSERT_TRUE(WaitFor(live.Record(), "move 540 320"));
    std::string last;  // where the overlay window ended, in screen pixels
    for (const std::string& line : Lines(Replay(dir, live.Record(), true))) {
        if (line.find("overlay shown, window (") != std::string::npos) {
            last = line;
        }
    }
    std::smatch where;
    ASSERT_TRUE(std::regex_search(last, where, std::regex(R"(window \((-?\d+), (-?\d+)\))")));
    const pixels::PixelImage frame = pixels::LoadPng((dir / "scripted.png").string());
    ASSERT_GT(frame.width, 0);
    const std::string shot = (dir / "window.png").string();
    std::string difference;
    for (int tries = 0; tries < 40; ++tries) {
        std::system(("import -window " + id + " " + shot).c_str());
        difference = CompareWithScreenshot(shot, frame, std::stoi(where[1]) - kHostLeft,
                                           std::stoi(where[2]) - kHostTop, dir.string());
        if (difference.empty()) {
            break;
        }
        std::this_thread::sleep_for(250ms);
    }
    EXPECT_EQ(difference, "");
    EXPECT_EQ(live.Interrupt(), 0) << live.Errors();
    EXPECT_EQ(Lines(Replay(dir, live.Record(), false)), Lines(Read(live.Transcript())));
}

TEST(Live, UinputDialTurnsAndClicks) {
    libevdev* device = libevdev_new();
    libevdev_set_name(device, "quarn test dial");
    libevdev_enable_event_type(device, EV_REL);
    libevdev_enable_event_code(device, EV_REL, REL_DIAL, nullptr);
    libevdev_enable_event_type(device, EV_KEY);
    libevdev_enable_event_code(device, EV_KEY, BTN_0, nullptr);
    libevdev_uinput* uinput = nullptr;
    const int error =
        libevdev_uinput_create_from_device(device, LIBEVDEV_UINPUT_OPEN_MANAGED, &uinput);
    libevdev_free(device);
    if (error != 0 || !libevdev_uinput_get_devnode(uinput)) {
        if (uinput) {
            libevdev_uinput_destroy(uinput);
        }
        GTEST_SKIP() << "/dev/uinput cannot be opened here ("
                     << (error != 0 ? std::strerror(-error) : "no device node")
                     << "): no device to feed the live mode";
    }
    const fs::path dir = TestFolder("uinput");
    {
        LiveProcess live(dir, {"--notch", "15", "--device", libevdev_uinput_get_devnode(uinput)});
        ASSERT_TRUE(WaitFor(live.Transcript(), "> tool")) << live.Errors();
        for (const auto& [type, code, value] : {std::tuple{EV_REL, REL_DIAL, 1},
                                                {EV_REL, REL_DIAL, -2},
                                                {EV_KEY, BTN_0, 1},
                                                {EV_KEY, BTN_0, 0}}) {
            libevdev_uinput_write_event(uinput, type, code, value);
            libevdev_uinput_write_event(uinput, EV_SYN, SYN_REPORT, 0);
        }
        EXPECT_TRUE(WaitFor(live.Transcript(), "> click")) << live.Errors();
        EXPECT_EQ(live.Interrupt(), 0);
        const std::string transcript = Read(live.Transcript());
        EXPECT_NE(transcript.find("> rotate 15\n"), std::string::npos) << transcript;
        EXPECT_NE(transcript.find("> rotate -30\n"), std::string::npos) << transcript;
    }
    libevdev_uinput_destroy(uinput);
}

TEST(Live, BadInputIsSaidAndExitsWithTwo) {
    const struct {
        std::string command;
        std::string message;
    } cases[] = {
        {"env -u DISPLAY -u WAYLAND_DISPLAY " + kSim + " live " + kHost, "cannot open a display"},
        {kSim + " live " + kHost + " --tool Chisel", "not a tool of the host description"},
        {kSim + " live " + kHost + " --device /dev/input/no-such-event", "cannot be opened"},
        {kSim + " live " + kHost + " --device /dev/null", "is not an input device"},
        {kSim + " live " + kHost + " --notch 0", "--notch"},
    };
    const std::string errors = (TestFolder("bad_input") / "errors.txt").string();
    for (const auto& c : cases) {
        const int status = std::system((c.command + " >/dev/null 2>" + errors).c_str());
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 2) << c.command;
        EXPECT_NE(Read(errors).find(c.message), std::string::npos) << c.command << "\n"
                                                                   << Read(errors);
    }
}

}  // namespace
