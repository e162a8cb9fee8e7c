#pragma once
// The Windows package backend with the Windows Runtime reached through a given activation
// source: Win32Package() uses the system's, a test hands in factories of its own.
//
// Windows only. Thread rule: any thread, as the PackageEnvironment interface says.

#include <memory>

#include "bindings/package/package.h"
#include "bindings/winrt/activation_source.h"

namespace Quarn::WinRT::platform {

std::unique_ptr<PackageEnvironment> MakeWin32Package(winrt::ActivationSource activation);

}  // namespace Quarn::WinRT::platform
