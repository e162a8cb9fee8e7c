#pragma once
// What the render thread hands an overlay's Draw for one frame.

#include "bindings/draw/draw.h"
#include "bindings/platform/ref.h"
#include "bindings/window/window.h"

namespace Quarn::WinRT::detail {

struct DrawContext {
    // Both referenced for the duration of the call.
    platform::Ref<platform::draw::DeviceContext> deviceContext;
    platform::Ref<platform::draw::TextFactory> textFactory;
    // Where the system's menu font is asked for (thread-safe).
    platform::Windowing* system = nullptr;
};

}  // namespace Quarn::WinRT::detail
