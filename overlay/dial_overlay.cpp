#include "overlay/dial_overlay.h"

#include "bindings/vorta/tool.h"

namespace Quarn::WinRT::detail {

bool DialOverlay::OnButtonClicked(Kernel::Counted<Kernel::Reflected>, Dial*) { return false; }
bool DialOverlay::OnRotation(Kernel::Counted<Kernel::Reflected>, Dial*, double) { return false; }
bool DialOverlay::HitTest(int, int) { return false; }
void DialOverlay::OnLeftButtonDown(int, int, Dial*) {}
void DialOverlay::OnLeftButtonUp(int, int, Dial*) {}
void DialOverlay::OnItemRefreshed(Kernel::Counted<Tool>, Kernel::Counted<Kernel::Reflected>) {}
void DialOverlay::OnToolChanged(Kernel::Counted<Tool>) {}

std::unique_ptr<DialOverlay> CreateOverlayFor(const Kernel::Counted<Tool>&,
                                              const Kernel::Counted<Kernel::Reflected>&) {
    return nullptr;
}

}  // namespace Quarn::WinRT::detail
