#pragma once
// Where things are in the live window, in its own pixels: the canvas (the host window's stand-in,
// one pixel per host pixel) at the top left, the side panel to its right with the radial menu's
// entries first, one row each. Fixed, so that a person's muscle memory and a test's clicks land.

namespace Quarn::WinRT::sim::live {

inline constexpr int kPanelWidth = 280;
inline constexpr int kMenuHeaderHeight = 28;  // "Radial menu", above the first entry
inline constexpr int kMenuRowHeight = 28;
// The stand-in of the host window: one flat colour where the overlay is drawn.
inline constexpr double kCanvasGrey = 0xE0 / 255.0;

}  // namespace Quarn::WinRT::sim::live
