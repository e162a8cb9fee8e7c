// Creates a dial through the exported factory and attaches it to a window of the platform.
#include <quarn/winrt/dial.h>

#include <cstdio>

#include "bindings/sim/sim_platform.h"
#include "bindings/vorta/tool.h"

namespace {
struct Callbacks final : Quarn::WinRT::IDialCallbacks {
    bool ComputeDialCentres(const Kernel::PointT<double>&, Kernel::PointT<double>&,
                            Kernel::PointT<double>&) override {
        return false;
    }
};
}  // namespace

int main() {
    Quarn::WinRT::sim::SimPlatform platform;
    HWND window = platform.Windows().CreateHostWindow(RECT{0, 0, 800, 600});
    Callbacks callbacks;
    int context = 0;
    Kernel::Counted<Quarn::WinRT::IDial> dial =
        Quarn::WinRT::Factory::CreateDial(&context, window, &callbacks);
    if (!dial) {
        std::puts("no dial");
        return 1;
    }
    dial->SetCurrentWindow(window);
    dial->Update(Kernel::MakeCounted<Tool>(1, "Brush", nullptr), false);
    std::puts(platform.Wheel().ActiveController() ? "attached" : "not attached");
    return platform.Wheel().ActiveController() ? 0 : 1;
}
