// The live mode where GTK 3 or libevdev was not found at build time.

#include "tools/sim/live/live.h"
#include "tools/sim/run.h"

namespace Quarn::WinRT::sim {

int RunLive(const LiveOptions&, std::ostream& errors) {
    errors << "live: this quarn-dial-sim was built without GTK 3 and libevdev "
              "(scripts/setup.sh installs them)\n";
    return kExitBadInput;
}

}  // namespace Quarn::WinRT::sim
