// Windows.h under the name Microsoft's sources use: MinGW-w64's is windows.h, and Linux tells
// the two names apart.
#pragma once
#include <windows.h>
