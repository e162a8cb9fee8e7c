#pragma once
// The Windows files backend with the Windows Runtime reached through a given activation
// source: Win32Files() uses the system's, a test hands in factories of its own. Its icon
// streams are winrt::WinRtIconStream (bindings/winrt/winrt_icon_stream.h).
//
// Windows only. Thread rule: the host thread, as the FileSystem interface says.

#include <memory>

#include "bindings/files/files.h"
#include "bindings/winrt/activation_source.h"

namespace Quarn::WinRT::platform {

std::unique_ptr<FileSystem> MakeWin32Files(winrt::ActivationSource activation);

}  // namespace Quarn::WinRT::platform
