// The Windows Runtime for one thread: the runtime's library is probed for, then COM is
// initialised in the asked-for apartment. The token says only that this worked.

#include "quarn/winrt/context.h"

#include <new>

#include "bindings/com/com.h"
#include "bindings/kernel/format.h"
#include "bindings/kernel/log.h"
#include "bindings/platform/error.h"
#include "bindings/platform/services.h"

namespace Quarn::WinRT {

namespace {

// The library is only tested for its two entry points, never called through: an older
// Windows without them has no Windows Runtime, which is not an error worth a trace.
bool HasWindowsRuntime(platform::ComRuntime& com) {
    platform::ModuleHandle module = com.LoadLibraryW(platform::kWindowsRuntimeLibrary);
    if (!module) {
        return false;
    }
    const bool complete = com.GetProcAddress(module, "RoInitialize") != nullptr &&
                          com.GetProcAddress(module, "RoGetActivationFactory") != nullptr;
    com.FreeLibrary(module);
    return complete;
}

}  // namespace

void* CreateContext(bool multiThreaded) {
    try {
        platform::ComRuntime& com = *platform::Services().com;
        if (!HasWindowsRuntime(com)) {
            return nullptr;
        }
        const HRESULT result =
            com.CoInitializeEx(nullptr, multiThreaded ? platform::kCoInitMultiThreaded
                                                      : platform::kCoInitApartmentThreaded);
        if (result < 0) {  // S_FALSE (already initialised in this mode) is success
            std::string message;
            Kernel::AppendUtf8(message, com.ErrorMessage(result));
            throw platform::PlatformError(result, message);
        }
        return new unsigned char(0);
    } catch (const platform::PlatformError& error) {
        Kernel::Trace(Kernel::Format8("Failed to initialise Windows Runtime! %1 (%2)\n",
                                      Kernel::String8(error.MessageUtf8()),
                                      static_cast<std::int32_t>(error.Code())));
    } catch (...) {
        Kernel::Trace("Failed to initialise Windows Runtime! Unknown error\n");
    }
    return nullptr;
}

void DestroyContext(void* context) {
    delete static_cast<unsigned char*>(context);
}

}  // namespace Quarn::WinRT
