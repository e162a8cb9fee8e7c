#pragma once
// Menu icons: <resources>\Dial\<image name>, with ".png" added to a name without an extension.

#include "bindings/kernel/reflected.h"
#include "bindings/kernel/string.h"
#include "bindings/platform/ref.h"
#include "bindings/wheel/wheel.h"

namespace Quarn::WinRT::detail {

// The icon file of an image name under a resources directory, in UTF-8.
Kernel::String8 MenuIconPath(const Kernel::String8& resourcesDirectory,
                             const Kernel::String8& imageName);

// The item's icon, or null when it has no image, its file is missing, or loading fails (logged).
platform::Ref<platform::IconStream> LoadMenuItemIcon(const Kernel::String8& resourcesDirectory,
                                                     const Kernel::Reflected& item);

}  // namespace Quarn::WinRT::detail
