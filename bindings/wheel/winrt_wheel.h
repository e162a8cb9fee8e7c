#pragma once
// The Windows Runtime wheel backend's wrappers of platform objects, made from the objects
// themselves: the backend makes them from what the platform created, and a test makes them
// from objects of its own where the platform has no wheel classes.
//
// Windows only. Thread rule: that of wheel.h.

#include <wrl/client.h>

#include <string>

#include "bindings/wheel/wheel.h"
#include "bindings/winrt/abi.h"

namespace Quarn::WinRT::platform {

Ref<RadialController> WrapRadialController(
    Microsoft::WRL::ComPtr<winrt::abi::IRadialController> controller);
Ref<RadialControllerConfiguration> WrapRadialControllerConfiguration(
    Microsoft::WRL::ComPtr<winrt::abi::IRadialControllerConfiguration> configuration);
// `text`, `icon` and `knownIcon` are what the item was made with.
Ref<RadialControllerMenuItem> WrapRadialControllerMenuItem(
    Microsoft::WRL::ComPtr<winrt::abi::IRadialControllerMenuItem> item, std::u16string text,
    Ref<IconStream> icon, KnownIcon knownIcon);

}  // namespace Quarn::WinRT::platform
