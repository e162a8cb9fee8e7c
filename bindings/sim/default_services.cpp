// Off Windows the simulated platform is the build's own: a process-wide instance serves a host
// that installs nothing else. It is not installed as the default clock, so the host's timers
// keep real time unless a driver installs a platform of its own.
#include "bindings/sim/sim_platform.h"

namespace Quarn::WinRT::platform {

const ServiceSet& DefaultServices() {
    static sim::SimPlatform* const platform = [] {
        auto* made = new sim::SimPlatform(sim::SimPlatform::Install::No);
        // Nobody steps frames for a host that installs nothing: present at a display's pace.
        made->Graphics().SetPacing(sim::FramePacing::RealTime);
        return made;
    }();
    return platform->Services();
}

}  // namespace Quarn::WinRT::platform
