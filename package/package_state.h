#pragma once
// What tests may see of the process-wide package state.

#include "quarn/winrt/export.h"

namespace Quarn::WinRT::detail {

// How many times this process has computed its path table: once, whatever the threads.
QUARN_WINRT_API int PathTableComputationCount();

}  // namespace Quarn::WinRT::detail
