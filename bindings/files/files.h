#pragma once
// Files as the core uses them: existence, and icon streams for the radial menu.
// Thread rule: the host thread; a load blocks it until the platform has completed.

#include <string_view>

#include "bindings/platform/ref.h"
#include "bindings/wheel/wheel.h"

namespace Quarn::WinRT::platform {

class FileSystem {
public:
    virtual ~FileSystem() = default;
    // As PathFileExistsW: false for a missing path, never an error.
    virtual bool PathFileExistsW(std::u16string_view path) = 0;
    // Opens the file and makes an icon stream of it, waiting until the load completes; raises
    // PlatformError when the file cannot be read.
    virtual Ref<IconStream> LoadIconStream(std::u16string_view path) = 0;
};

}  // namespace Quarn::WinRT::platform
