// The sample Windows host run as a user runs it: its own process, importing Quarn.WinRT.dll and
// the host's DLLs from the program folder, its output read back. Wine has no wheel device, so
// attaching fails with the platform's error, thrown in the DLL and caught in the program.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "tests/windows/win32_host.h"

namespace Quarn::WinRT::testing {
namespace {

// Runs the program from the current folder through the command interpreter, as a user runs it:
// its exit code, and its standard output and error together, in order.
std::pair<int, std::string> RunSampleHost(const std::wstring& arguments) {
    const int exitCode =
        _wsystem((L"quarn-win32-host.exe " + arguments + L" >quarn-sample-host.txt 2>&1").c_str());
    std::ifstream file("quarn-sample-host.txt", std::ios::binary);
    std::string output{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    file.close();
    DeleteFileW(L"quarn-sample-host.txt");
    return {exitCode, output};
}

// Without a wheel device the dial is not attached (what an inert dial reports is the fault
// sweep's; the data folders are the package tests').
TEST(SampleHostProgramTest, RunsWithAnInertDialAndAnswersItsCommandLine) {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    const std::wstring folder = std::wstring(path).substr(0, std::wstring(path).rfind(L'\\'));
    ASSERT_TRUE(SetCurrentDirectoryW(folder.c_str()));
    struct Case {
        std::wstring arguments;
        int exitCode;
        std::vector<std::string> expected;  // each in the output
    };
    const Case cases[] = {
        {L"--quit-after 300",
         0,
         {"context: created", "dial: not attached: 0x80040154",  // REGDB_E_CLASSNOTREG
          "resources: " + Utf8(folder.c_str()) + "\\resources", "tool: Paint Brush",
          "message loop: ended"}},
        {L"--tool Levels --quit-after 100", 0, {"tool: Levels"}},
        {L"--help", 0, {"quarn-win32-host [--host FILE.json]"}},
        {L"--tool \"No Such Tool\"", 2, {"has no tool 'No Such Tool'"}},
        {L"--frobnicate", 2, {"quarn-win32-host: unknown option '--frobnicate'"}},
        {L"--quit-after 3s", 2, {"quarn-win32-host: --quit-after takes"}},
        {L"--host no-such.json", 2, {"quarn-win32-host: no-such.json: cannot be read"}},
    };
    for (const Case& c : cases) {
        const auto [exitCode, output] = RunSampleHost(c.arguments);
        EXPECT_EQ(exitCode, c.exitCode) << output;
        for (const std::string& line : c.expected) {
            EXPECT_NE(output.find(line), std::string::npos) << "missing: " << line << "\n"
                                                            << output;
        }
    }
}

}  // namespace
}  // namespace Quarn::WinRT::testing
