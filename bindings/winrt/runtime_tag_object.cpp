#include "bindings/winrt/runtime_tag_object.h"

#include <objbase.h>

#include <atomic>
#include <new>

#include "bindings/platform/com_classes.h"
#include "bindings/winrt/com_object.h"

// COM objects are released, never deleted through an interface pointer.
QUARN_BEGIN_COM_CLASSES

namespace Quarn::WinRT::winrt {

namespace {

class InspectableObject;

// The object's strong count and its weak reference in one block, which lives while either the
// object or a weak reference holder does. Resolve never brings back an object whose strong
// count reached zero: it adds a strong reference only from a count above zero.
class WeakReference final : public ComObject<abi::IWeakReference, IAgileObject> {
public:
    explicit WeakReference(InspectableObject* object) : m_object(object) {}

    ULONG AddStrong() noexcept { return m_strong.fetch_add(1, std::memory_order_relaxed) + 1; }
    ULONG ReleaseStrong() noexcept { return m_strong.fetch_sub(1, std::memory_order_acq_rel) - 1; }

    HRESULT STDMETHODCALLTYPE Resolve(REFIID iid, IInspectable** object) override;

private:
    bool TryAddStrong() noexcept {
        ULONG count = m_strong.load(std::memory_order_relaxed);
        while (count != 0) {
            if (m_strong.compare_exchange_weak(count, count + 1, std::memory_order_acquire,
                                               std::memory_order_relaxed)) {
                return true;
            }
        }
        return false;
    }

    std::atomic<ULONG> m_strong{1};
    InspectableObject* const m_object;  // valid while m_strong is above zero
};

class InspectableObject final : public IInspectable,
                                public abi::IWeakReferenceSource,
                                public abi::IPlatformInspectable,
                                public IAgileObject {
public:
    explicit InspectableObject(platform::Ref<platform::Inspectable> carried)
        : m_carried(std::move(carried)) {
        m_weak = Adopt(new WeakReference(this));
        // The marshaller aggregates this object, so marshalling it hands out the same pointer
        // in every apartment; without one the object is still usable in this process.
        ::CoCreateFreeThreadedMarshaler(static_cast<IInspectable*>(this),
                                        m_marshaler.GetAddressOf());
        g_liveObjects.fetch_add(1, std::memory_order_relaxed);
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (!object) {
            return E_POINTER;
        }
        *object = nullptr;
        if (IsEqualGUID(iid, abi::kIid<IUnknown>) || IsEqualGUID(iid, abi::kIid<IInspectable>)) {
            *object = static_cast<IInspectable*>(this);
        } else if (IsEqualGUID(iid, abi::kIid<abi::IWeakReferenceSource>)) {
            *object = static_cast<abi::IWeakReferenceSource*>(this);
        } else if (IsEqualGUID(iid, abi::kIid<abi::IPlatformInspectable>)) {
            *object = static_cast<abi::IPlatformInspectable*>(this);
        } else if (IsEqualGUID(iid, abi::kIid<IAgileObject>)) {
            *object = static_cast<IAgileObject*>(this);
        } else if (IsEqualGUID(iid, abi::kIid<IMarshal>) && m_marshaler) {
            return m_marshaler->QueryInterface(iid, object);
        } else {
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return m_weak->AddStrong(); }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = m_weak->ReleaseStrong();
        if (left == 0) {
            delete this;
        }
        return left;
    }

    HRESULT STDMETHODCALLTYPE GetIids(ULONG* count, IID** iids) override {
        return ReturnIids({abi::kIid<IInspectable>, abi::kIid<abi::IWeakReferenceSource>}, count,
                          iids);
    }
    HRESULT STDMETHODCALLTYPE GetRuntimeClassName(HSTRING* className) override {
        return ReturnClassName(m_carried ? m_carried->GetRuntimeClassName() : std::u16string_view(),
                               className);
    }
    HRESULT STDMETHODCALLTYPE GetTrustLevel(TrustLevel* trustLevel) override {
        if (!trustLevel) {
            return E_POINTER;
        }
        *trustLevel = BaseTrust;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE GetWeakReference(abi::IWeakReference** reference) override {
        if (!reference) {
            return E_POINTER;
        }
        m_weak->AddRef();
        *reference = m_weak.Get();
        return S_OK;
    }

    platform::Inspectable* STDMETHODCALLTYPE Carried() override { return m_carried.Get(); }

private:
    ~InspectableObject() { g_liveObjects.fetch_sub(1, std::memory_order_relaxed); }

    platform::Ref<platform::Inspectable> m_carried;
    Microsoft::WRL::ComPtr<WeakReference> m_weak;
    Microsoft::WRL::ComPtr<IUnknown> m_marshaler;
};

HRESULT WeakReference::Resolve(REFIID iid, IInspectable** object) {
    if (!object) {
        return E_POINTER;
    }
    *object = nullptr;
    if (!TryAddStrong()) {
        return S_OK;  // the object is gone: resolving gives null, which is no failure
    }
    const HRESULT result = m_object->QueryInterface(iid, reinterpret_cast<void**>(object));
    m_object->Release();
    return result;
}

}  // namespace

Microsoft::WRL::ComPtr<IInspectable> MakeInspectable(platform::Ref<platform::Inspectable> carried) {
    return Adopt(static_cast<IInspectable*>(new InspectableObject(std::move(carried))));
}

platform::Ref<platform::Inspectable> CarriedBy(IInspectable* inspectable) {
    if (!inspectable) {
        return nullptr;
    }
    Microsoft::WRL::ComPtr<abi::IPlatformInspectable> ours;
    if (FAILED(inspectable->QueryInterface(abi::kIid<abi::IPlatformInspectable>,
                                           reinterpret_cast<void**>(ours.GetAddressOf())))) {
        return nullptr;
    }
    return platform::Ref<platform::Inspectable>(ours->Carried());
}

}  // namespace Quarn::WinRT::winrt
