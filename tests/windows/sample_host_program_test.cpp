// The sample Windows host run as a user runs it: its own process, importing Quarn.WinRT.dll and
// the host's DLLs from the program folder, its output read back. Wine has no wheel device, so
// attaching fails with the platform's error and the dial stays inert: it is handed its tool and
// reports nothing.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <sstream>
#include <string>
#include <vector>

#include "tests/windows/win32_host.h"

namespace Quarn::WinRT::testing {
namespace {

std::wstring ProgramFolder() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    return folder.substr(0, folder.find_last_of(L'\\'));
}

struct ProgramRun {
    DWORD exitCode = 0;
    std::vector<std::string> lines;  // standard output and error together, in order
    bool finished = false;
};

// Runs the sample host with `arguments` (a minute at most), its output into a file.
ProgramRun RunSampleHost(const std::wstring& arguments) {
    ProgramRun run;
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temp);
    const std::wstring outputPath = std::wstring(temp) + L"quarn-sample-host-output.txt";
    SECURITY_ATTRIBUTES inheritable{sizeof(inheritable), nullptr, TRUE};
    const HANDLE written = CreateFileW(outputPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                                       &inheritable, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = startup.hStdError = written;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    std::wstring commandLine = L"\"" + ProgramFolder() + L"\\quarn-win32-host.exe\" " + arguments;
    PROCESS_INFORMATION process{};
    const BOOL started = CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0,
                                        nullptr, ProgramFolder().c_str(), &startup, &process);
    CloseHandle(written);
    if (!started) {
        return run;
    }
    run.finished = WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0;
    if (!run.finished) {
        TerminateProcess(process.hProcess, 1);
    }
    GetExitCodeProcess(process.hProcess, &run.exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);

    const HANDLE file =
        CreateFileW(outputPath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    std::string output(file != INVALID_HANDLE_VALUE ? GetFileSize(file, nullptr) : 0, '\0');
    DWORD read = 0;
    ReadFile(file, output.data(), static_cast<DWORD>(output.size()), &read, nullptr);
    output.resize(read);
    CloseHandle(file);
    DeleteFileW(outputPath.c_str());
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        run.lines.push_back(line);
    }
    return run;
}

// Whether a line of the output holds `text`.
bool Has(const ProgramRun& run, const std::string& text) {
    for (const std::string& line : run.lines) {
        if (line.find(text) != std::string::npos) {
            return true;
        }
    }
    return false;
}

std::string Joined(const ProgramRun& run) {
    std::string text;
    for (const std::string& l : run.lines) {
        text += l + "\n";
    }
    return text;
}

TEST(SampleHostProgramTest, InertDialOnTheBundledToolThenQuits) {
    const ProgramRun run = RunSampleHost(L"--quit-after 300");
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0u) << Joined(run);

    const std::string roaming = KnownFolder(FOLDERID_RoamingAppData);
    const std::string programData = KnownFolder(FOLDERID_ProgramData);
    const std::string profile = KnownFolder(FOLDERID_Profile);
    ASSERT_FALSE(roaming.empty());
    const std::string resources = Utf8(ProgramFolder().c_str()) + "\\resources";
    const std::vector<std::string> expected = {
        "context: created",
        "data paths (sandboxed: no)",
        "  GetAppDataPathForCurrentUser: " + roaming + "\\Corvanta\\Raster\\3.0",
        "  GetAppDataPathForAllUsers: " + programData + "\\Corvanta\\Raster\\3.0",
        "  GetCommonDataPathForCurrentUserPersistedBuildInvariant: " + roaming +
            "\\Corvanta\\Common\\3.0",
        "  GetV2HomeDir(true): " + profile + "\\.corvanta\\Common\\2.0",
        "dial: created",
        "dial: not attached: 0x80040154",  // REGDB_E_CLASSNOTREG: Wine has no RadialController
        "resources: " + resources,
        "tool: Paint Brush",
        "message loop: quits after 300 ms",
        "message loop: ended",
    };
    for (const std::string& line : expected) {
        EXPECT_TRUE(Has(run, line)) << "missing: " << line << "\n" << Joined(run);
    }
    // Without a wheel device the dial is never attached: no menu is built, so no icon is
    // loaded and nothing is logged or traced.
    for (const char* report : {"log: ", "trace: ", "value"}) {
        EXPECT_FALSE(Has(run, report)) << Joined(run);
    }
}

TEST(SampleHostProgramTest, CommandLineChoicesAndMistakes) {
    struct Case {
        std::wstring arguments;
        DWORD exitCode;
        std::string expected;  // held by a line of the output
    };
    const Case cases[] = {
        {L"--tool Levels --quit-after 100", 0, "tool: Levels"},
        {L"--mta --quit-after 100", 0, "context: created"},
        {L"--help", 0, "quarn-win32-host [--host FILE.json]"},
        {L"--tool \"No Such Tool\"", 2, "has no tool 'No Such Tool'"},
        {L"--frobnicate", 2, "quarn-win32-host: unknown option '--frobnicate'"},
        {L"--quit-after", 2, "quarn-win32-host: --quit-after needs a value"},
        {L"--quit-after 0", 2, "quarn-win32-host: --quit-after takes"},
        {L"--quit-after 3s", 2, "quarn-win32-host: --quit-after takes"},
        {L"--host no-such.json", 2, "quarn-win32-host: no-such.json: cannot be read"},
    };
    for (const Case& c : cases) {
        const ProgramRun run = RunSampleHost(c.arguments);
        ASSERT_TRUE(run.finished);
        EXPECT_EQ(run.exitCode, c.exitCode) << Joined(run);
        EXPECT_TRUE(Has(run, c.expected)) << "expected: " << c.expected << "\n" << Joined(run);
    }
}

}  // namespace
}  // namespace Quarn::WinRT::testing
