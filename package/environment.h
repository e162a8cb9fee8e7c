#pragma once
// The package environment the core works with: the installed platform's, or, when a platform
// was installed without one, an environment with no package and no folders, so that every
// path still comes out rooted ("\Corvanta\...") rather than the process stopping.

#include "bindings/package/package.h"

namespace Quarn::WinRT::detail {

platform::PackageEnvironment& CurrentEnvironment();

}  // namespace Quarn::WinRT::detail
