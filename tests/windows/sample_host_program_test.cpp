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

// Runs the sample host with `arguments`, reading its output until it exits (a minute at most).
ProgramRun RunSampleHost(const std::wstring& arguments) {
    SECURITY_ATTRIBUTES inheritable{sizeof(inheritable), nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    ProgramRun run;
    if (!CreatePipe(&readEnd, &writeEnd, &inheritable, 0)) {
        return run;
    }
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    std::wstring commandLine = L"\"" + ProgramFolder() + L"\\quarn-win32-host.exe\" " + arguments;
    PROCESS_INFORMATION process{};
    const BOOL started = CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0,
                                        nullptr, ProgramFolder().c_str(), &startup, &process);
    CloseHandle(writeEnd);  // the child's copy is the only writer left: EOF comes at its exit
    if (!started) {
        CloseHandle(readEnd);
        return run;
    }
    // Read while it runs, until it has exited and the pipe is empty: waiting for the pipe's end
    // instead would also wait for any process that inherited the write end along with it.
    std::string output;
    const auto drain = [&] {
        DWORD available = 0;
        while (PeekNamedPipe(readEnd, nullptr, 0, nullptr, &available, nullptr) && available > 0) {
            char buffer[4096];
            DWORD read = 0;
            if (!ReadFile(readEnd, buffer, sizeof buffer, &read, nullptr) || read == 0) {
                break;
            }
            output.append(buffer, read);
        }
    };
    const ULONGLONG deadline = GetTickCount64() + 60000;
    while (!run.finished && GetTickCount64() < deadline) {
        run.finished = WaitForSingleObject(process.hProcess, 20) == WAIT_OBJECT_0;
        drain();
    }
    drain();
    CloseHandle(readEnd);
    if (!run.finished) {
        TerminateProcess(process.hProcess, 1);
    }
    GetExitCodeProcess(process.hProcess, &run.exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);

    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        run.lines.push_back(line);
    }
    return run;
}

bool Has(const ProgramRun& run, const std::string& line) {
    for (const std::string& l : run.lines) {
        if (l == line) {
            return true;
        }
    }
    return false;
}

bool HasPrefix(const ProgramRun& run, const std::string& prefix) {
    for (const std::string& l : run.lines) {
        if (l.compare(0, prefix.size(), prefix) == 0) {
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
        "dial: not attached: 0x80040154*",  // REGDB_E_CLASSNOTREG: Wine has no RadialController
        "resources: " + resources,
        "tool: Paint Brush",
        "message loop: quits after 300 ms",
        "message loop: ended",
    };
    for (const std::string& line : expected) {
        const bool found =
            line.back() == '*' ? HasPrefix(run, line.substr(0, line.size() - 1)) : Has(run, line);
        EXPECT_TRUE(found) << "missing: " << line << "\n" << Joined(run);
    }
    // Without a wheel device the dial is never attached: no menu is built, so no icon is
    // loaded and nothing is logged or traced.
    EXPECT_FALSE(HasPrefix(run, "log: ")) << Joined(run);
    EXPECT_FALSE(HasPrefix(run, "trace: ")) << Joined(run);
    EXPECT_FALSE(HasPrefix(run, "value")) << Joined(run);
}

TEST(SampleHostProgramTest, CommandLineChoicesAndMistakes) {
    struct Case {
        const char* name;
        std::wstring arguments;
        DWORD exitCode;
        std::string expectedLine;  // a whole line, or with a trailing '*' its beginning
    };
    const Case cases[] = {
        {"another tool", L"--tool Levels --quit-after 100", 0, "tool: Levels"},
        {"a multi-threaded context", L"--mta --quit-after 100", 0, "context: created"},
        {"help", L"--help", 0, "quarn-win32-host [--host FILE.json]*"},
        {"unknown tool", L"--tool \"No Such Tool\"", 2, "*has no tool 'No Such Tool'"},
        {"unknown option", L"--frobnicate", 2, "quarn-win32-host: unknown option '--frobnicate'"},
        {"missing value", L"--quit-after", 2, "quarn-win32-host: --quit-after needs a value"},
        {"zero milliseconds", L"--quit-after 0", 2, "quarn-win32-host: --quit-after takes*"},
        {"not a number", L"--quit-after 3s", 2, "quarn-win32-host: --quit-after takes*"},
        {"missing description", L"--host no-such.json", 2,
         "quarn-win32-host: no-such.json: cannot be read"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ProgramRun run = RunSampleHost(c.arguments);
        ASSERT_TRUE(run.finished);
        EXPECT_EQ(run.exitCode, c.exitCode) << Joined(run);
        const std::string& e = c.expectedLine;
        bool found = false;
        if (e.front() == '*') {
            for (const std::string& l : run.lines) {
                found = found || (l.size() >= e.size() - 1 &&
                                  l.compare(l.size() - (e.size() - 1), e.size() - 1, e, 1) == 0);
            }
        } else if (e.back() == '*') {
            found = HasPrefix(run, e.substr(0, e.size() - 1));
        } else {
            found = Has(run, e);
        }
        EXPECT_TRUE(found) << "expected: " << e << "\n" << Joined(run);
    }
}

}  // namespace
}  // namespace Quarn::WinRT::testing
