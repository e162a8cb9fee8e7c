#pragma once
// The live mode's GTK window: the host window's stand-in with the overlay composited over it,
// and a side panel with the radial menu, the tool chooser, the current item and the transcript.
//
// Threads: the GTK main thread is the dial's host thread. It runs every GTK call, every input
// handler, the device reads and the whole LiveSession. The render thread only tells the window
// that a frame was presented (OnPresented: one atomic time and a g_idle_add); the main thread
// then copies the frame out of the swap chain under the swap chain's own lock and paints it.

#include <string>

#include "tools/sim/live/live_session.h"
#include "tools/sim/live/wheel_device.h"

namespace Quarn::WinRT::sim {

// Shows the window and runs the main loop until the window is closed or SIGINT/SIGTERM comes.
// GTK must have been initialised. `device` may be null. `latencyLog`, when not empty, gets one
// line per wheel event at the end: milliseconds from the event to the painting of a frame that
// began after the dial had handled it.
void RunLiveWindow(LiveSession& session, WheelDevice* device, double notchDegrees,
                   const std::string& latencyLog);

}  // namespace Quarn::WinRT::sim
