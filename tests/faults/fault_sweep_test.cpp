// Runs the bundled tour once per operation the simulated platform can fail, with that operation
// failing once and then failing every time. The dial runs inside the editor's process, so each
// run must end without a crash or a leak (the asan build runs this too), write the report the
// dial names for that failure exactly once per failure and nothing new besides, and, where the
// dial promises that the next event goes through, let it.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <initializer_list>
#include <map>
#include <ostream>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "tools/sim/host_description.h"
#include "tools/sim/script.h"
#include "tools/sim/session.h"
#include "tools/sim/transcript.h"

namespace Quarn::WinRT::sim {
namespace {

constexpr HRESULT kInjected = static_cast<HRESULT>(0x80004005);  // E_FAIL
constexpr std::string_view kMessage = "Injected failure";

enum class Proceeds {
    Unpromised,          // nothing is promised about the next event
    NextRotationWrites,  // the next turn after the failed one changes the value again
};

// Whether the tour calls an operation. The render thread draws at the display's rate in real
// time, so whether it meets a fault within the tour's few milliseconds is up to the scheduler.
enum class Reached { Yes, No, ByRenderThread };
constexpr Reached Yes = Reached::Yes;
constexpr Reached No = Reached::No;

// What the dial does when `operation` fails. `reports` are the transcript lines (topic and the
// start of the text) written once per failure.
struct Expectation {
    std::string_view operation;
    Reached reached;
    std::vector<std::string> reports;
    Proceeds proceeds = Proceeds::Unpromised;
    bool reachesHost = false;  // the error is not caught by the dial and reaches the editor
};

void PrintTo(const Expectation& expectation, std::ostream* out) {
    *out << expectation.operation;
}

std::string Log(std::string_view text) {
    return "log " + Quoted(text);
}
// The start of a quoted trace line whose text goes on (an item's name).
std::string TraceStart(std::string_view text) {
    std::string quoted = "trace " + Quoted(text);
    quoted.pop_back();
    return quoted;
}
std::string WithMessage(std::string_view text) {
    return Log(std::string(text) + std::string(kMessage));
}

const std::string kRegister = WithMessage("Dial error: Failed to register events. ");
const std::string kMenu = WithMessage("Dial error: Failed to create menu items. ");
const std::string kConfiguration =
    WithMessage("Dial error: Failed to update radial controller configuration. ");
const std::string kIcon = Log("Dial error: Failed to create load menu item icon.");
const std::string kMissingIcon = TraceStart("Missing dial icon for ");
const std::string kRotation = WithMessage("Dial error: Failed to handle rotation. ");
// A device handler's failure result, which the dial does not log.
// A contact read fails the handler reading it: a screen contact's or the control's acquiring.
const std::string kContactStatus = "status ";
const std::string kInvokedStatus = "status Invoked handler answered 0x80004005";
const std::string kNoTagStatus = "status Invoked handler answered 0x80004002";  // E_NOINTERFACE
// A failed turn still answers 0, where a handled one answers its own status.
const std::string kRotationStatus = "status RotationChanged handler answered 0x00000000";
// COM's refusal as the context reports it: the code's message and the code in signed decimal.
const std::string kContext =
    "trace " + Quoted("Failed to initialise Windows Runtime! Unspecified error (-2147467259)\n");
// The tour's own second thread mode, which COM refuses.
const std::string kChangedMode = TraceStart("Failed to initialise Windows Runtime! Cannot change");

// The platform's operations as the dial meets them in the tour.
const std::vector<Expectation>& Expectations() {
    static const std::vector<Expectation> table = [] {
        std::vector<Expectation> rows = {
            // The supported check is the one platform call whose error the dial lets through.
            {ops::kIsSupported, Yes, {}, Proceeds::Unpromised, true},
            {ops::kGetTag,
             Yes,
             {Log("Error: Failed to retrieve IRadialControllerMenuItemTag!"),
              Log("Error: Failed to retrieve MenuItemTag!"), kNoTagStatus}},
            // A file the platform cannot confirm is a missing icon: the stock icon and its trace.
            {ops::kPathFileExists, Yes, {kMissingIcon}},
            {ops::kGetFileFromPathAsync, Yes, {kIcon, kMissingIcon}},
            {ops::kCreateFromFile, Yes, {kIcon, kMissingIcon}},
            {ops::kCoInitializeEx, Yes, {kContext}},
        };
        // Operations whose failures write the same reports.
        const auto add = [&rows](std::initializer_list<std::string_view> operations,
                                 Reached reached, const std::vector<std::string>& reports,
                                 Proceeds proceeds = Proceeds::Unpromised) {
            for (const std::string_view operation : operations) {
                rows.push_back({operation, reached, reports, proceeds});
            }
        };
        add({ops::kAddButtonClicked, ops::kAddControlAcquired, ops::kAddControlLost,
             ops::kAddRotationChanged, ops::kAddScreenContactContinued, ops::kAddScreenContactEnded,
             ops::kAddScreenContactStarted},
            Yes, {kRegister});
        add({ops::kGetResolution, ops::kGetRotationDelta}, Yes, {kRotation, kRotationStatus},
            Proceeds::NextRotationWrites);
        // Choosing an entry sets up the device for its item; a failure there is the handler's
        // failure result.
        add({ops::kPutResolution, ops::kPutHaptics}, Yes, {kInvokedStatus});
        add({ops::kGetMenu, ops::kMenuAppend, ops::kMenuClear, ops::kMenuSelect,
             ops::kCreateFromIcon, ops::kCreateFromKnownIcon, ops::kPutTag, ops::kAddInvoked},
            Yes, {kMenu});
        add({ops::kSetDefaultMenuItems, ops::kResetToDefaultMenuItems}, Yes, {kConfiguration});
        add({ops::kGetContact, ops::kGetBounds, ops::kGetWindowRect}, Yes, {kContactStatus});
        // Without the runtime library the context is null and nothing is traced. The overlay
        // window and its graphics chain report nothing: the dial goes on without an overlay.
        add({ops::kCreateForWindow, ops::kGetForWindow, ops::kSetTimer, ops::kKillTimer,
             ops::kGetKeyState, ops::kLoadLibraryW, ops::kSetWindowPos},
            Yes, {});
        add({ops::kD3D11CreateDevice, ops::kQueryDxgiDevice, ops::kCreateDXGIFactory2,
             ops::kCreateSwapChainForComposition, ops::kD2D1CreateFactory,
             ops::kCreateDrawingDevice, ops::kCreateDeviceContext, ops::kGetBuffer,
             ops::kCreateBitmapFromDxgiSurface, ops::kDCompositionCreateDevice,
             ops::kCreateTargetForHwnd, ops::kCreateVisual, ops::kSetContent, ops::kSetRoot,
             ops::kCommit, ops::kDWriteCreateFactory},
            Yes, {});
        // The render thread looks up the menu font when a frame first draws a label, and draws
        // and presents at the display's rate.
        add({ops::kSystemParametersInfoW, ops::kPresent, ops::kResizeBuffers, ops::kEndDraw},
            Reached::ByRenderThread, {});
        // The tour removes no handler and asks for no data folder. The overlay window is made
        // with the dial, before a script can arm a fault, and destroyed after the tour.
        add({ops::kRemoveHandler, ops::kGetCurrentPackageFullName, ops::kSHGetKnownFolderPath,
             ops::kGetTempPathW, ops::kApplicationDataCurrent, ops::kLocalCacheFolder,
             ops::kGetPublisherCacheFolder, ops::kTemporaryFolder, ops::kRegisterClassExW,
             ops::kCreateWindowExW, ops::kDestroyWindow},
            No, {});
        return rows;
    }();
    return table;
}

std::string ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// The tour without its own injected failures, which would replace the one under test.
std::string Tour() {
    std::istringstream lines(ReadFile(QUARN_SOURCE_DIR "/examples/tour.dial"));
    std::string tour;
    for (std::string line; std::getline(lines, line);) {
        if (!line.starts_with("fail ")) {
            tour += line + '\n';
        }
    }
    return tour;
}

struct StepSeen {
    std::string command;
    int failures = 0;  // how often the armed fault fired during the command
    int values = 0;    // values the dial wrote during it
};

struct TourRun {
    // Log, trace and status lines, without their time, by how often each appeared.
    std::map<std::string, int> reports;
    std::vector<StepSeen> steps;
    int failures = 0;
    bool reachedHost = false;
};

// Collects a run's transcript line by line, dropping each line's virtual time.
class Lines : public std::streambuf {
public:
    explicit Lines(TourRun& run) : m_run(run) {}

protected:
    int overflow(int c) override {
        if (c == '\n') {
            Take(m_line);
            m_line.clear();
        } else if (c != traits_type::eof()) {
            m_line += static_cast<char>(c);
        }
        return c;
    }

private:
    void Take(const std::string& line) {
        // "   120 ms  topic text": the time, then the topic.
        const std::size_t time = line.find(" ms  ");
        const std::string rest = time == std::string::npos ? line : line.substr(time + 5);
        if (rest.starts_with("log ") || rest.starts_with("trace ") || rest.starts_with("status ")) {
            ++m_run.reports[rest];
        } else if (rest.starts_with("value ") && !m_run.steps.empty()) {
            ++m_run.steps.back().values;
        }
    }

    TourRun& m_run;
    std::string m_line;
};

// The tour, with `operation` failing from its start (none: the tour as it is).
TourRun RunTour(std::string_view operation, FaultMode mode) {
    const std::string tour = Tour();
    const std::string base = QUARN_SOURCE_DIR "/examples";
    HostModel model = LoadHostDescription(base + "/paint.json");
    const ScriptOptions options{base, {}};
    CheckScript(tour, "tour.dial", model, options);

    TourRun run;
    Lines lines(run);
    std::ostream out(&lines);
    Session* current = nullptr;
    Transcript transcript(out, [&current] {
        return current ? current->Platform().Clock().NowMs() : std::int64_t{0};
    });
    {
        Session session(model, transcript);
        current = &session;
        FaultInjector& faults = session.Platform().Faults();
        if (!operation.empty()) {
            faults.Fail(operation, kInjected, kMessage, mode);
        }
        ForEachStep(tour, "tour.dial", model, options, [&](const Step& step) {
            run.steps.push_back(StepSeen{step.text});
            const int before = faults.FiredCount();
            session.Echo(step.text);
            try {
                step.run(session);
            } catch (const platform::PlatformError& error) {
                run.reachedHost = true;
                EXPECT_EQ(error.Code(), kInjected) << step.text;
            }
            session.ReportChanges();
            run.steps.back().failures = faults.FiredCount() - before;
        });
        // The render thread may meet the fault after the last command; stop it failing before
        // the session tears the windows down, so that the count is final.
        faults.ClearAll();
        run.failures = faults.FiredCount();
        current = nullptr;
    }
    return run;
}

// Each report counted under the expected line it starts with, or else under its own text.
std::map<std::string, int> Grouped(const TourRun& run, const std::vector<std::string>& expected) {
    std::map<std::string, int> grouped;
    for (const auto& [line, count] : run.reports) {
        std::string key = line;
        for (const std::string& start : expected) {
            if (line.starts_with(start)) {
                key = start;
                break;
            }
        }
        grouped[key] += count;
    }
    return grouped;
}

std::string ModeName(FaultMode mode) {
    return mode == FaultMode::Once ? "once" : "always";
}

TEST(FaultSweep, EveryFaultableOperationHasAnExpectation) {
    std::set<std::string_view> listed;
    for (const Expectation& expectation : Expectations()) {
        EXPECT_TRUE(SimPlatform::IsFaultableOperation(expectation.operation))
            << expectation.operation << " is in the table but the platform cannot fail it";
        EXPECT_TRUE(listed.insert(expectation.operation).second)
            << expectation.operation << " is in the table twice";
    }
    for (const std::string_view operation : SimPlatform::FaultableOperations()) {
        EXPECT_TRUE(listed.contains(operation))
            << operation << " can fail but the sweep does not say what the dial does then";
    }
}

TEST(FaultSweep, TheTourAloneReportsNoFailure) {
    const TourRun run = RunTour({}, FaultMode::Once);
    EXPECT_FALSE(run.reachedHost);
    for (const auto& [line, count] : run.reports) {
        // The one icon file the examples leave out, and the second thread mode the tour asks
        // COM for.
        EXPECT_TRUE(line.starts_with(kMissingIcon) || line.starts_with(kChangedMode)) << line;
    }
}

class FaultSweepRun : public ::testing::TestWithParam<std::tuple<Expectation, FaultMode>> {};

TEST_P(FaultSweepRun, ReportsEachFailureOnceAndGoesOn) {
    const auto& [expectation, mode] = GetParam();
    static const TourRun clean = RunTour({}, FaultMode::Once);
    const TourRun run = RunTour(expectation.operation, mode);

    if (expectation.reached != Reached::ByRenderThread) {
        EXPECT_EQ(run.failures > 0, expectation.reached == Reached::Yes)
            << run.failures << " failures";
    }
    EXPECT_EQ(run.reachedHost, expectation.reachesHost);
    if (mode == FaultMode::Once) {
        EXPECT_LE(run.failures, 1);
    }

    // Each named report once per failure, and no report the tour does not write anyway.
    const std::map<std::string, int> before = Grouped(clean, expectation.reports);
    const std::map<std::string, int> after = Grouped(run, expectation.reports);
    for (const std::string& report : expectation.reports) {
        const int added = (after.contains(report) ? after.at(report) : 0) -
                          (before.contains(report) ? before.at(report) : 0);
        if (report == kMissingIcon) {
            // A failed file check of the icon the examples lack adds no trace to the tour's.
            EXPECT_LE(added, run.failures) << report;
            EXPECT_EQ(added > 0, run.failures > 0) << report;
        } else {
            EXPECT_EQ(added, run.failures) << report;
        }
    }
    for (const auto& [line, count] : after) {
        // A failure can change which menus the tour builds, and so how many missing icons it
        // traces; those are no failure reports.
        if (!line.starts_with(kMissingIcon) &&
            std::find(expectation.reports.begin(), expectation.reports.end(), line) ==
                expectation.reports.end()) {
            EXPECT_LE(count, before.contains(line) ? before.at(line) : 0) << "new report " << line;
        }
    }

    if (expectation.proceeds == Proceeds::NextRotationWrites && mode == FaultMode::Once) {
        auto failed = std::find_if(run.steps.begin(), run.steps.end(),
                                   [](const StepSeen& step) { return step.failures > 0; });
        ASSERT_NE(failed, run.steps.end());
        auto next = std::find_if(failed + 1, run.steps.end(), [](const StepSeen& step) {
            return step.command.starts_with("rotate ");
        });
        ASSERT_NE(next, run.steps.end()) << "no turn after " << failed->command;
        EXPECT_GT(next->values, 0) << next->command << " after the failed " << failed->command;
    }
}

INSTANTIATE_TEST_SUITE_P(EveryOperation, FaultSweepRun,
                         ::testing::Combine(::testing::ValuesIn(Expectations()),
                                            ::testing::Values(FaultMode::Once, FaultMode::Always)),
                         [](const ::testing::TestParamInfo<FaultSweepRun::ParamType>& param) {
                             std::string name(std::get<0>(param.param).operation);
                             for (char& c : name) {
                                 if (!std::isalnum(static_cast<unsigned char>(c))) {
                                     c = '_';
                                 }
                             }
                             return name + "_" + ModeName(std::get<1>(param.param));
                         });

}  // namespace
}  // namespace Quarn::WinRT::sim
