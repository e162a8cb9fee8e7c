// The DLL's table of activatable classes: "Corvanta.MenuItemTag", whose sealed factory makes a
// tag with an empty item. Nothing in this library activates it by name (the menu builder makes
// its tags directly); the entry makes the class a complete runtime class of this module. The
// tag itself is the core's header-only MenuItemTag, which this file alone of the bindings
// includes, since the factory must make one.
#include <objbase.h>

#include "bindings/platform/com_classes.h"
#include "bindings/winrt/com_object.h"
#include "bindings/winrt/runtime_tag_object.h"
#include "dial/menu_item_tag.h"

QUARN_BEGIN_COM_CLASSES

namespace Quarn::WinRT::winrt {
namespace {

// E_ILLEGAL_METHOD_CALL, which MinGW's headers lack.
constexpr HRESULT kIllegalMethodCall = static_cast<HRESULT>(0x8000000E);

class MenuItemTagFactory final : public ComObject<IActivationFactory, IAgileObject> {
public:
    HRESULT STDMETHODCALLTYPE GetIids(ULONG* count, IID** iids) override {
        return ReturnIids({abi::kIid<IActivationFactory>}, count, iids);
    }
    HRESULT STDMETHODCALLTYPE GetRuntimeClassName(HSTRING* className) override {
        if (className) {
            *className = nullptr;
        }
        return kIllegalMethodCall;  // a factory is no instance of a runtime class
    }
    HRESULT STDMETHODCALLTYPE GetTrustLevel(TrustLevel* trustLevel) override {
        if (!trustLevel) {
            return E_POINTER;
        }
        *trustLevel = BaseTrust;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ActivateInstance(IInspectable** instance) override {
        if (!instance) {
            return E_POINTER;
        }
        *instance = nullptr;
        return NoThrow([&] {
            *instance = MakeInspectable(platform::MakeRef<WinRT::detail::MenuItemTag>()).Detach();
            return S_OK;
        });
    }
};

}  // namespace
}  // namespace Quarn::WinRT::winrt

// Exported through dll_exports.def: the Windows SDK declares both entry points already, without
// an export marker, and Microsoft's compiler refuses to add one to such a declaration.
extern "C" HRESULT WINAPI DllGetActivationFactory(HSTRING activatableClassId,
                                                  IActivationFactory** factory) {
    using namespace Quarn::WinRT;
    if (!factory) {
        return E_POINTER;
    }
    *factory = nullptr;
    const winrt::RuntimeFunctions& runtime = winrt::Runtime();
    if (!runtime.Available()) {
        return E_NOTIMPL;
    }
    UINT32 length = 0;
    const PCWSTR name = runtime.windowsGetStringRawBuffer(activatableClassId, &length);
    const std::u16string_view requested(reinterpret_cast<const char16_t*>(name), name ? length : 0);
    if (requested != detail::MenuItemTag::kRuntimeClassName) {
        return CLASS_E_CLASSNOTAVAILABLE;
    }
    return winrt::NoThrow([&] {
        *factory = new winrt::MenuItemTagFactory();
        return S_OK;
    });
}

// The module may go when none of its objects is alive.
extern "C" HRESULT WINAPI DllCanUnloadNow() {
    return Quarn::WinRT::winrt::g_liveObjects.load(std::memory_order_acquire) == 0 ? S_OK : S_FALSE;
}
