#pragma once

namespace Quarn::WinRT::platform {

// A rectangle as the wheel device and the overlay give it: single-precision x, y, width, height
// (never left, top, right, bottom).
struct Rect {
    float x = 0;
    float y = 0;
    float width = 0;
    float height = 0;
    friend bool operator==(const Rect&, const Rect&) = default;
};

}  // namespace Quarn::WinRT::platform
