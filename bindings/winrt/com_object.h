#pragma once
// The COM plumbing of the Windows Runtime objects this library implements itself (delegates,
// the completion handler, iterables, the menu tag, the activation factory): an atomic reference
// count, QueryInterface over the listed interfaces, the count of live objects that
// DllCanUnloadNow answers from, and the rule that no exception unwinds into the platform.
//
// An object that lists IAgileObject also aggregates the free-threaded marshaller and answers
// IMarshal with it, as the Windows Runtime Library's agile classes do. IAgileObject alone
// changes nothing when COM marshals an object: a platform component that marshals our
// completion handler back to a single-threaded apartment would otherwise queue its call behind
// the very wait that needs it.
//
// Windows only. Objects may be called and released on any thread.

#include <objbase.h>
#include <wrl/client.h>

#include <atomic>
#include <exception>
#include <initializer_list>
#include <new>
#include <string_view>
#include <tuple>
#include <type_traits>

#include "bindings/platform/com_classes.h"
#include "bindings/platform/error.h"
#include "bindings/winrt/abi.h"
#include "bindings/winrt/runtime_functions.h"

// COM objects are released, never deleted through an interface pointer.
QUARN_BEGIN_COM_CLASSES

namespace Quarn::WinRT::winrt {

// Objects of ours alive in this module, for DllCanUnloadNow.
inline std::atomic<long> g_liveObjects{0};

// The failure code for an exception that would otherwise leave a COM method: a PlatformError's
// own code, E_OUTOFMEMORY for an allocation, E_FAIL for anything else. Call in a catch block.
inline HRESULT CurrentExceptionCode() noexcept {
    try {
        throw;
    } catch (const platform::PlatformError& error) {
        return FAILED(error.Code()) ? error.Code() : E_FAIL;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_FAIL;
    }
}

// Takes over the one reference a new object starts with. (MinGW's ComPtr::Attach adds a
// reference of its own, which would leak the object.)
template <class Interface>
Microsoft::WRL::ComPtr<Interface> Adopt(Interface* object) noexcept {
    Microsoft::WRL::ComPtr<Interface> owner;
    *owner.ReleaseAndGetAddressOf() = object;
    return owner;
}

// Runs `body` (returning an HRESULT) and turns any exception into its failure code.
template <class Body>
HRESULT NoThrow(Body&& body) noexcept {
    try {
        return body();
    } catch (...) {
        return CurrentExceptionCode();
    }
}

// IInspectable::GetIids: the interfaces in a block the caller frees with CoTaskMemFree.
inline HRESULT ReturnIids(std::initializer_list<GUID> interfaces, ULONG* count,
                          IID** iids) noexcept {
    if (!count || !iids) {
        return E_POINTER;
    }
    *count = 0;
    *iids = static_cast<IID*>(::CoTaskMemAlloc(sizeof(IID) * interfaces.size()));
    if (!*iids) {
        return E_OUTOFMEMORY;
    }
    for (const GUID& iid : interfaces) {
        (*iids)[(*count)++] = iid;
    }
    return S_OK;
}

// IInspectable::GetRuntimeClassName: a new HSTRING the caller deletes.
inline HRESULT ReturnClassName(std::u16string_view name, HSTRING* className) noexcept {
    if (!className) {
        return E_POINTER;
    }
    *className = nullptr;
    const RuntimeFunctions& runtime = Runtime();
    if (!runtime.Available()) {
        return E_NOTIMPL;
    }
    return runtime.windowsCreateString(reinterpret_cast<LPCWSTR>(name.data()),
                                       static_cast<UINT32>(name.size()), className);
}

// Implements IUnknown over Interfaces, the first of which is the object's identity. An
// interface derived from IInspectable also answers IInspectable. The object starts with one
// reference, which its creator owns (ComPtr::Attach).
template <class... Interfaces>
class ComObject : public Interfaces... {
    using Identity = std::tuple_element_t<0, std::tuple<Interfaces...>>;
    static constexpr bool kAgile = (std::is_same_v<Interfaces, IAgileObject> || ...);

public:
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (!object) {
            return E_POINTER;
        }
        *object = nullptr;
        if (IsEqualGUID(iid, abi::kIid<IUnknown>)) {
            *object = static_cast<IUnknown*>(static_cast<Identity*>(this));
        } else if (!(Find<Interfaces>(iid, object) || ...)) {
            if (IsEqualGUID(iid, abi::kIid<IMarshal>) && m_marshaler) {
                // The aggregated marshaller's IMarshal, which counts on this object.
                return m_marshaler->QueryInterface(iid, object);
            }
            return QueryOtherInterface(iid, object);
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override {
        return m_references.fetch_add(1, std::memory_order_relaxed) + 1;
    }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = m_references.fetch_sub(1, std::memory_order_acq_rel) - 1;
        if (left == 0) {
            delete this;
        }
        return left;
    }

protected:
    ComObject() noexcept {
        g_liveObjects.fetch_add(1, std::memory_order_relaxed);
        if constexpr (kAgile) {
            // Without a marshaller (out of memory) the object still works in its apartment.
            ::CoCreateFreeThreadedMarshaler(static_cast<IUnknown*>(static_cast<Identity*>(this)),
                                            m_marshaler.GetAddressOf());
        }
    }
    virtual ~ComObject() { g_liveObjects.fetch_sub(1, std::memory_order_relaxed); }

    // Interfaces beyond the listed ones (an aggregated marshaller, say); on success the
    // override has set *object and added the reference itself.
    virtual HRESULT QueryOtherInterface(REFIID, void**) { return E_NOINTERFACE; }

private:
    template <class Interface>
    bool Find(REFIID iid, void** object) {
        if (IsEqualGUID(iid, abi::kIid<Interface>)) {
            *object = static_cast<Interface*>(this);
            return true;
        }
        if constexpr (std::is_base_of_v<IInspectable, Interface>) {
            if (IsEqualGUID(iid, abi::kIid<IInspectable>)) {
                *object = static_cast<IInspectable*>(static_cast<Interface*>(this));
                return true;
            }
        }
        return false;
    }

    std::atomic<ULONG> m_references{1};
    Microsoft::WRL::ComPtr<IUnknown> m_marshaler;  // agile objects: the free-threaded marshaller
};

}  // namespace Quarn::WinRT::winrt

QUARN_END_COM_CLASSES
