#include "tools/sim/live/live.h"

#include <gtk/gtk.h>

#include <cstdlib>

#include "tools/sim/live/live_session.h"
#include "tools/sim/live/live_window.h"
#include "tools/sim/live/wheel_device.h"
#include "tools/sim/run.h"

namespace Quarn::WinRT::sim {

int RunLive(const LiveOptions& options, std::ostream& errors) {
    if (!(options.notchDegrees > 0 && options.notchDegrees <= kMaxNotchDegrees)) {
        errors << "live: --notch: expected degrees above 0 and at most 360, not "
               << options.notchDegrees << '\n';
        return kExitBadInput;
    }
    std::string problem;
    std::unique_ptr<WheelDevice> device;
    if (!options.devicePath.empty()) {
        device = WheelDevice::Open(options.devicePath, problem);
        if (!device) {
            errors << "live: " << problem << '\n';
            return kExitBadInput;
        }
    }
    if (!gtk_init_check(nullptr, nullptr)) {
        const char* display = std::getenv("DISPLAY");
        errors << "live: cannot open a display (DISPLAY is "
               << (display ? "\"" + std::string(display) + "\"" : std::string("not set"))
               << "): run it on a desktop, or under xvfb-run\n";
        return kExitBadInput;
    }
    const LiveSetup setup{options.hostPath, options.tool, options.recordPath,
                          options.transcriptPath};
    std::unique_ptr<LiveSession> session = LiveSession::Open(setup, problem);
    if (!session) {
        errors << "live: " << problem << '\n';
        return kExitBadInput;
    }
    if (device) {
        errors << "live: reading " << device->Name() << " at " << device->Path() << '\n';
    }
    RunLiveWindow(*session, device.get(), options.notchDegrees, options.latencyLogPath);
    return session->Finish(errors) ? kExitOk : kExitFailed;
}

}  // namespace Quarn::WinRT::sim
