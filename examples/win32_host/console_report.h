#pragma once
// What the sample host prints: one line per thing the library reports, as it happens, on
// standard output in UTF-8.

#include "bindings/sample_host/recorder.h"
#include "quarn/winrt/dial.h"

namespace Quarn::WinRT::example {

// Prints every event the recorder hears: log and trace lines, values the dial writes into the
// tool's items, notifications it posts, history steps.
void PrintHostEvents(sample::HostRecorder& recorder);

// The Package getters and the version-2 home folders, one "name: path" line each.
void PrintDataPaths();

// Maps the puck's centre into the window's client area, which stands for the editor's view,
// and prints each request with its answer.
class ConsoleCallbacks final : public IDialCallbacks {
public:
    explicit ConsoleCallbacks(HWND view) : m_view(view) {}
    bool ComputeDialCentres(const Kernel::PointT<double>& screenCentre,
                            Kernel::PointT<double>& viewLogicalCentre,
                            Kernel::PointT<double>& viewCentre) override;

private:
    HWND m_view;
};

}  // namespace Quarn::WinRT::example
