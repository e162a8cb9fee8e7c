// The sample Windows host: the quickest way to try Quarn.WinRT.dll on a machine with a wheel.
// It imports the DLL as the editor does, opens a window, creates a context and a dial for it,
// attaches the dial to the window's wheel device, hands it a tool of a host description and runs
// a message loop, printing whatever the library reports. Where the Windows Runtime has no wheel
// (Wine, a machine without one) attaching fails, the dial stays inert and only the data paths
// show.
//
// Everything runs on the main thread, the thread that owns the window, as the dial requires.
#include "bindings/platform/win_types.h"
// <windows.h> (through win_types.h) first: shellapi.h builds on it.
#include <shellapi.h>

#include <cstdint>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "bindings/kernel/string.h"
#include "bindings/platform/error.h"
#include "bindings/sample_host/recorder.h"
#include "examples/win32_host/command_line.h"
#include "examples/win32_host/console_report.h"
#include "quarn/winrt/context.h"
#include "quarn/winrt/dial.h"
#include "quarn/winrt/package.h"
#include "tools/sim/host_description.h"

namespace {

using namespace Quarn::WinRT;

constexpr wchar_t kWindowClass[] = L"QuarnSampleHostWindow";
constexpr UINT_PTR kQuitTimerId = 1;

std::string Utf8(std::wstring_view text) {
    return std::string(
        Kernel::ConvertEnc<Kernel::TEncUtf8>(reinterpret_cast<const char16_t*>(text.data()),
                                             static_cast<std::ptrdiff_t>(text.size()))
            .GetView());
}

std::wstring Wide(std::string_view text) {
    const Kernel::String16 converted = Kernel::ConvertEnc<Kernel::TEncUtf16>(
        text.data(), static_cast<std::ptrdiff_t>(text.size()));
    const std::u16string_view view = converted.GetView();
    return std::wstring(view.begin(), view.end());
}

std::vector<std::string> Arguments() {
    int count = 0;
    LPWSTR* list = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    for (int i = 1; i < count; ++i) {
        arguments.push_back(Utf8(list[i]));
    }
    LocalFree(list);
    return arguments;
}

std::string ProgramFolder() {
    std::wstring path(MAX_PATH, L'\0');
    DWORD length = 0;
    while ((length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()))) ==
           path.size()) {
        path.resize(path.size() * 2);
    }
    path.resize(length);
    return Utf8(path.substr(0, path.find_last_of(L"\\/")));
}

// Read through the wide API, so that a description in a folder with any name loads.
std::string ReadWholeFile(const std::string& path) {
    HANDLE file = CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        throw sim::HostDescriptionError(path + ": cannot be read");
    }
    std::string text;
    char buffer[65536];
    DWORD read = 0;
    while (::ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) {
        text.append(buffer, read);
    }
    CloseHandle(file);
    return text;
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_TIMER:
            if (wParam == kQuitTimerId) {
                KillTimer(window, kQuitTimerId);
                PostMessageW(window, WM_CLOSE, 0, 0);
                return 0;
            }
            break;
        case WM_CLOSE:
            // The window outlives the loop: main releases the dial before destroying it.
            PostQuitMessage(0);
            return 0;
        default:
            break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND CreateHostWindow(const RECT& rect) {
    WNDCLASSEXW description{};
    description.cbSize = sizeof(description);
    description.lpfnWndProc = &WindowProc;
    description.hInstance = GetModuleHandleW(nullptr);
    description.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    description.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    description.lpszClassName = kWindowClass;
    RegisterClassExW(&description);
    return CreateWindowExW(0, kWindowClass, L"Quarn.WinRT sample host", WS_OVERLAPPEDWINDOW,
                           rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                           nullptr, nullptr, description.hInstance, nullptr);
}

int Run(const example::Options& options) {
    sample::HostRecorder recorder(sample::HostRecorder::Retention::ListenOnly);
    example::PrintHostEvents(recorder);

    const sim::HostModel host =
        sim::ParseHostDescription(ReadWholeFile(options.hostDescription), options.hostDescription);
    Kernel::Counted<Tool> tool;
    if (!options.tool.empty()) {
        tool = host.FindTool(options.tool);
    } else if (!host.tools.empty()) {
        tool = host.tools.front();
    }
    if (!tool) {
        std::fprintf(stderr, "quarn-win32-host: %s has no tool '%s'\n",
                     options.hostDescription.c_str(), options.tool.c_str());
        return 2;
    }

    HWND window = CreateHostWindow(host.window);
    if (!window) {
        std::fprintf(stderr, "quarn-win32-host: no window (error %lu)\n", GetLastError());
        return 1;
    }
    ShowWindow(window, SW_SHOWNORMAL);

    void* context = CreateContext(options.multiThreaded);
    std::printf("context: %s\n", context ? "created" : "none (no Windows Runtime on this thread)");
    Package::InitialiseCurrentPackage(Corvanta::Product::Raster, 0);
    example::PrintDataPaths();

    example::ConsoleCallbacks callbacks(window);
    Kernel::Counted<IDial> dial = Factory::CreateDial(context, window, &callbacks);
    if (dial) {
        std::printf("dial: created\n");
        // Where the system has no wheel device (or no Windows Runtime) attaching raises the
        // platform's error; the dial then stays inert, and the sample goes on without it.
        try {
            dial->SetCurrentWindow(window);
            std::printf("dial: attached to the window's wheel device\n");
        } catch (const platform::PlatformError& error) {
            std::printf("dial: not attached: 0x%08lX %s\n",
                        static_cast<unsigned long>(static_cast<std::uint32_t>(error.Code())),
                        error.MessageUtf8().c_str());
        } catch (const std::exception& error) {
            std::printf("dial: not attached: %s\n", error.what());
        }
        dial->SetResourcesDirectory(Kernel::String8(options.resources));
        std::printf("resources: %s\n", options.resources.c_str());
        dial->Update(tool, false);
        std::printf("tool: %s\n", std::string(tool->GetName().ToString().GetView()).c_str());
    } else {
        std::printf("dial: none\n");
    }

    if (options.quitAfterMs > 0) {
        SetTimer(window, kQuitTimerId, options.quitAfterMs, nullptr);
        std::printf("message loop: quits after %u ms\n", options.quitAfterMs);
    } else {
        std::printf("message loop: close the window to quit\n");
    }
    std::fflush(stdout);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    std::printf("message loop: ended\n");

    dial = nullptr;
    DestroyWindow(window);
    DestroyContext(context);
    std::fflush(stdout);
    return 0;
}

}  // namespace

int main() {
    SetConsoleOutputCP(CP_UTF8);
    const example::ParsedOptions parsed = example::ParseOptions(Arguments(), ProgramFolder());
    if (!parsed.options) {
        std::fprintf(stderr, "quarn-win32-host: %s\n%s", parsed.error.c_str(),
                     example::Usage().c_str());
        return 2;
    }
    if (parsed.options->help) {
        std::printf("%s", example::Usage().c_str());
        return 0;
    }
    try {
        return Run(*parsed.options);
    } catch (const sim::HostDescriptionError& error) {
        std::fprintf(stderr, "quarn-win32-host: %s\n", error.what());
        return 2;
    }
}
