#pragma once
// The Windows Runtime for the calling thread: COM initialised in the asked-for apartment, once
// the runtime's library is known to be there. The dial needs a context to be created.
//
//   void* context = Quarn::WinRT::CreateContext(false);   // the UI thread: single-threaded
//   if (context) { ... Factory::CreateDial(context, window, &callbacks) ... }
//   Quarn::WinRT::DestroyContext(context);
//
// Null means no Windows Runtime on this thread: the library or its entry points are missing
// (silently: older Windows), or COM refused (traced), e.g. because the thread is already in
// the other apartment. COM stays initialised after DestroyContext: the thread's other users
// may rely on it, and uninitialising on their behalf would pull it from under them.
//
// Thread rule: call both on the thread the context is for.

#include "quarn/winrt/export.h"

namespace Quarn::WinRT {

QUARN_WINRT_API void* CreateContext(bool multiThreaded);
// Null is allowed.
QUARN_WINRT_API void DestroyContext(void* context);

}  // namespace Quarn::WinRT
