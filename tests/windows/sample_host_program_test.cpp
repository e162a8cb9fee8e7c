// The sample Windows host run as a user runs it: its own process, importing Quarn.WinRT.dll and
// the host's DLLs from the program folder, its output read back. Wine has no wheel device, so
// attaching fails with the platform's error.
#include <gtest/gtest.h>

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
    std::string output;  // standard output and error together, in order
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
    run.output.resize(file != INVALID_HANDLE_VALUE ? GetFileSize(file, nullptr) : 0);
    DWORD read = 0;
    ReadFile(file, run.output.data(), static_cast<DWORD>(run.output.size()), &read, nullptr);
    run.output.resize(read);
    CloseHandle(file);
    DeleteFileW(outputPath.c_str());
    return run;
}

// Without a wheel device the dial is not attached (what an inert dial reports is the fault
// sweep's; the data folders are the package tests').
TEST(SampleHostProgramTest, RunsWithAnInertDialAndAnswersItsCommandLine) {
    struct Case {
        std::wstring arguments;
        DWORD exitCode;
        std::vector<std::string> expected;  // each in the output
    };
    const Case cases[] = {
        {L"--quit-after 300",
         0,
         {"context: created", "dial: not attached: 0x80040154",  // REGDB_E_CLASSNOTREG
          "resources: " + Utf8(ProgramFolder().c_str()) + "\\resources", "tool: Paint Brush",
          "message loop: ended"}},
        {L"--tool Levels --quit-after 100", 0, {"tool: Levels"}},
        {L"--help", 0, {"quarn-win32-host [--host FILE.json]"}},
        {L"--tool \"No Such Tool\"", 2, {"has no tool 'No Such Tool'"}},
        {L"--frobnicate", 2, {"quarn-win32-host: unknown option '--frobnicate'"}},
        {L"--quit-after 3s", 2, {"quarn-win32-host: --quit-after takes"}},
        {L"--host no-such.json", 2, {"quarn-win32-host: no-such.json: cannot be read"}},
    };
    for (const Case& c : cases) {
        const ProgramRun run = RunSampleHost(c.arguments);
        ASSERT_TRUE(run.finished);
        EXPECT_EQ(run.exitCode, c.exitCode) << run.output;
        for (const std::string& line : c.expected) {
            EXPECT_NE(run.output.find(line), std::string::npos) << "missing: " << line << "\n"
                                                                << run.output;
        }
    }
}

}  // namespace
}  // namespace Quarn::WinRT::testing
