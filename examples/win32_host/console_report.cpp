#include "examples/win32_host/console_report.h"

#include <cstdio>
#include <string>
#include <string_view>

#include "quarn/winrt/package.h"

namespace Quarn::WinRT::example {

namespace {

void PrintLine(std::string_view prefix, std::string_view text) {
    // Trace texts carry their own line feed; one line each on the console all the same.
    if (!text.empty() && text.back() == '\n') {
        text.remove_suffix(1);
    }
    std::printf("%.*s%.*s\n", static_cast<int>(prefix.size()), prefix.data(),
                static_cast<int>(text.size()), text.data());
    std::fflush(stdout);
}

void PrintPath(const char* name, const Kernel::String8& path) {
    PrintLine(std::string("  ") + name + ": ", path.GetView());
}

}  // namespace

void PrintHostEvents(sample::HostRecorder& recorder) {
    recorder.SetListener([](const sample::HostEvent& event) {
        using Kind = sample::HostEvent::Kind;
        switch (event.kind) {
            case Kind::Log:
                PrintLine("log: ", event.text);
                break;
            case Kind::Trace:
                PrintLine("trace: ", event.text);
                break;
            case Kind::ValueWritten:
                PrintLine(event.flag ? "value (turning): " : "value (committed): ", event.text);
                break;
            case Kind::Notification:
                PrintLine("notification: ", event.text);
                break;
            case Kind::HistoryIndexSet:
                PrintLine("history index: ", std::to_string(event.index));
                break;
            case Kind::RefreshParameters:
                PrintLine("refresh parameters: ", event.text);
                break;
        }
    });
}

void PrintDataPaths() {
    PrintLine("data paths (sandboxed: ", Package::IsSandboxed() ? "yes)" : "no)");
    PrintPath("GetAppDataPathForCurrentUser", Package::GetAppDataPathForCurrentUser());
    PrintPath("GetAppDataPathForCurrentUserPersisted",
              Package::GetAppDataPathForCurrentUserPersisted());
    PrintPath("GetAppDataPathForAllUsers", Package::GetAppDataPathForAllUsers());
    PrintPath("GetCommonDataPathForCurrentUser", Package::GetCommonDataPathForCurrentUser());
    PrintPath("GetCommonDataPathForCurrentUserPersisted",
              Package::GetCommonDataPathForCurrentUserPersisted());
    PrintPath("GetCommonDataPathForCurrentUserPersistedBuildInvariant",
              Package::GetCommonDataPathForCurrentUserPersistedBuildInvariant());
    PrintPath("GetCommonDataPathForAllUsers", Package::GetCommonDataPathForAllUsers());
    PrintPath("GetTempPathForCurrentUser", Package::GetTempPathForCurrentUser());
    PrintPath("GetV2HomeDir(true)", Package::GetV2HomeDir(true).ToString());
    PrintPath("GetV2HomeDir(false)", Package::GetV2HomeDir(false).ToString());
}

bool ConsoleCallbacks::ComputeDialCentres(const Kernel::PointT<double>& screenCentre,
                                          Kernel::PointT<double>& viewLogicalCentre,
                                          Kernel::PointT<double>& viewCentre) {
    // Screen coordinates fit 16 bits; anything past that lies on no screen.
    const auto onScreens = [](double v) { return v >= -32768.0 && v <= 32767.0; };
    if (!onScreens(screenCentre.x) || !onScreens(screenCentre.y)) {
        PrintLine("dial centre: ", "not on a screen");
        return false;
    }
    POINT point{static_cast<LONG>(screenCentre.x), static_cast<LONG>(screenCentre.y)};
    RECT client{};
    const bool inView = ScreenToClient(m_view, &point) && GetClientRect(m_view, &client) &&
                        point.x >= client.left && point.x < client.right && point.y >= client.top &&
                        point.y < client.bottom;
    char line[160];
    if (inView) {
        // The sample's view shows its document at 1:1 from the client area's corner.
        viewCentre =
            Kernel::PointT<double>{static_cast<double>(point.x), static_cast<double>(point.y)};
        viewLogicalCentre = viewCentre;
        std::snprintf(line, sizeof line, "(%.0f, %.0f) on the screen is (%ld, %ld) in the view",
                      screenCentre.x, screenCentre.y, static_cast<long>(point.x),
                      static_cast<long>(point.y));
    } else {
        std::snprintf(line, sizeof line, "(%.0f, %.0f) on the screen is outside the view",
                      screenCentre.x, screenCentre.y);
    }
    PrintLine("dial centre: ", line);
    return inView;
}

}  // namespace Quarn::WinRT::example
