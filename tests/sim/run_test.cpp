#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "tools/sim/run.h"

namespace Quarn::WinRT::sim {
namespace {

namespace fs = std::filesystem;

class RunTest : public ::testing::Test {
protected:
    void SetUp() override {
        // A folder of this process's own: ctest runs the two tests of this fixture at once.
        m_folder = fs::path(::testing::TempDir()) /
                   ("quarn-sim-run-" + std::to_string(std::random_device{}()));
        fs::remove_all(m_folder);
        fs::create_directories(m_folder);
        Write("host.json", R"({"tools": [{"name": "Brush", "items": []}]})");
        Write("bad.json", R"({"tools": [{"name": ""}]})");
        Write("session.dial", "attach\ntool Brush\n");
    }
    void TearDown() override { fs::remove_all(m_folder); }

    std::string Path(const std::string& name) const { return (m_folder / name).string(); }
    void Write(const std::string& name, const std::string& text) const {
        std::ofstream(Path(name), std::ios::binary) << text;
    }

    fs::path m_folder;
};

TEST_F(RunTest, FilesThatCannotServeAreRefusedByName) {
    fs::create_directories(Path("folder"));
    Write("not-a-folder", "");
    struct Case {
        RunOptions options;
        std::string error;
    };
    const Case cases[] = {
        {{Path("host.json"), Path("folder"), "", std::nullopt},
         Path("folder") + ": is a folder, not a file"},
        {{Path("missing.json"), Path("session.dial"), "", std::nullopt},
         Path("missing.json") + ": no such file"},
        {{Path("host.json"), Path("session.dial"), Path("folder/../host.json"), std::nullopt},
         "--transcript " + Path("folder/../host.json") + ": would write over an input file"},
        {{Path("host.json"), Path("session.dial"), Path("folder"), std::nullopt},
         "--transcript " + Path("folder") + ": is a folder, not a file"},
        {{Path("host.json"), Path("session.dial"), "", std::string()},
         "--frames: expected a folder, not an empty name"},
        {{Path("host.json"), Path("session.dial"), "", Path("not-a-folder")},
         "--frames " + Path("not-a-folder") + ": is not a folder"},
        {{Path("host.json"), Path("session.dial"), "", Path("session.dial")},
         "--frames " + Path("session.dial") + ": is not a folder"},
        // A bad input leaves neither a transcript nor a frames folder behind.
        {{Path("bad.json"), Path("session.dial"), Path("out.txt"), Path("frames")},
         Path("bad.json") + ": tools[0].name: expected a name that is not empty"},
    };
    for (const Case& c : cases) {
        std::ostringstream errors;
        EXPECT_EQ(RunSession(c.options, errors), kExitBadInput) << c.error;
        EXPECT_EQ(errors.str(), c.error + "\n");
    }
    EXPECT_FALSE(fs::exists(Path("out.txt")));
    EXPECT_FALSE(fs::exists(Path("frames")));
}

TEST_F(RunTest, ASessionWritesItsTranscriptFile) {
    std::ostringstream errors;
    const RunOptions options{Path("host.json"), Path("session.dial"), Path("out.txt"),
                             std::nullopt};
    ASSERT_EQ(RunSession(options, errors), kExitOk) << errors.str();
    std::ifstream transcript(Path("out.txt"));
    std::string first;
    std::getline(transcript, first);
    EXPECT_EQ(first, "      0 ms  > attach");
}

}  // namespace
}  // namespace Quarn::WinRT::sim
