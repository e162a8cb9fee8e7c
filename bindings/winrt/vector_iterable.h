#pragma once
// An IIterable<T> of ours over a fixed list of values (the platform's default menu items for
// SetDefaultMenuItems), with its iterators. T is a value type of the ABI (an enumeration):
// copied out, never reference counted.
//
// Windows only. The iterable is immutable, agile and free-threaded marshalled; each iterator
// keeps its iterable alive and belongs to the one thread that walks it. Each names its own
// runtime class: IIterable`1<T> and IIterator`1<T> of the element type's name.

#include <wrl/client.h>

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "bindings/platform/com_classes.h"
#include "bindings/winrt/com_object.h"

QUARN_BEGIN_COM_CLASSES

namespace Quarn::WinRT::winrt {

// E_BOUNDS, which MinGW's headers lack.
inline constexpr HRESULT kBoundsError = static_cast<HRESULT>(0x8000000B);

template <class T>
class VectorIterable final : public ComObject<abi::IIterable<T>, IAgileObject> {
    static_assert(std::is_trivially_copyable_v<T>, "values of the ABI only");

public:
    // `elementType` names T as the Windows Runtime does, e.g.
    // "Windows.UI.Input.RadialControllerSystemMenuItemKind".
    VectorIterable(std::vector<T> values, std::u16string_view elementType)
        : m_values(std::move(values)),
          m_className(CollectionClassName(u"IIterable", elementType)),
          m_iteratorClassName(CollectionClassName(u"IIterator", elementType)) {}

    HRESULT STDMETHODCALLTYPE GetIids(ULONG* count, IID** iids) override {
        return ReturnIids({abi::kIid<abi::IIterable<T>>}, count, iids);
    }
    HRESULT STDMETHODCALLTYPE GetRuntimeClassName(HSTRING* className) override {
        return ReturnClassName(m_className, className);
    }
    HRESULT STDMETHODCALLTYPE GetTrustLevel(TrustLevel* trustLevel) override {
        if (!trustLevel) {
            return E_POINTER;
        }
        *trustLevel = BaseTrust;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE First(abi::IIterator<T>** first) override;

    const std::vector<T>& Values() const { return m_values; }
    std::u16string_view IteratorClassName() const { return m_iteratorClassName; }

private:
    static std::u16string CollectionClassName(std::u16string_view collection,
                                              std::u16string_view elementType) {
        std::u16string name(u"Windows.Foundation.Collections.");
        name.append(collection).append(u"`1<").append(elementType).append(u">");
        return name;
    }

    const std::vector<T> m_values;
    const std::u16string m_className;
    const std::u16string m_iteratorClassName;
};

template <class T>
class VectorIterator final : public ComObject<abi::IIterator<T>, IAgileObject> {
public:
    explicit VectorIterator(Microsoft::WRL::ComPtr<VectorIterable<T>> iterable)
        : m_iterable(std::move(iterable)) {}

    HRESULT STDMETHODCALLTYPE GetIids(ULONG* count, IID** iids) override {
        return ReturnIids({abi::kIid<abi::IIterator<T>>}, count, iids);
    }
    HRESULT STDMETHODCALLTYPE GetRuntimeClassName(HSTRING* className) override {
        return ReturnClassName(m_iterable->IteratorClassName(), className);
    }
    HRESULT STDMETHODCALLTYPE GetTrustLevel(TrustLevel* trustLevel) override {
        if (!trustLevel) {
            return E_POINTER;
        }
        *trustLevel = BaseTrust;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE get_Current(T* current) override {
        if (!current) {
            return E_POINTER;
        }
        if (m_index >= Values().size()) {
            return kBoundsError;
        }
        *current = Values()[m_index];
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_HasCurrent(boolean* hasCurrent) override {
        if (!hasCurrent) {
            return E_POINTER;
        }
        *hasCurrent = m_index < Values().size();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE MoveNext(boolean* hasCurrent) override {
        if (!hasCurrent) {
            return E_POINTER;
        }
        if (m_index < Values().size()) {
            ++m_index;
        }
        *hasCurrent = m_index < Values().size();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetMany(UINT32 capacity, T* items, UINT32* actual) override {
        if (!actual || (capacity > 0 && !items)) {
            return E_POINTER;
        }
        const std::size_t count = std::min<std::size_t>(capacity, Values().size() - m_index);
        std::copy_n(Values().begin() + static_cast<std::ptrdiff_t>(m_index), count, items);
        m_index += count;
        *actual = static_cast<UINT32>(count);
        return S_OK;
    }

private:
    const std::vector<T>& Values() const { return m_iterable->Values(); }

    Microsoft::WRL::ComPtr<VectorIterable<T>> m_iterable;
    std::size_t m_index = 0;
};

template <class T>
HRESULT STDMETHODCALLTYPE VectorIterable<T>::First(abi::IIterator<T>** first) {
    if (!first) {
        return E_POINTER;
    }
    *first = nullptr;
    return NoThrow([&] {
        Microsoft::WRL::ComPtr<VectorIterable<T>> self(this);
        *first = new VectorIterator<T>(std::move(self));
        return S_OK;
    });
}

// A new iterable with one reference, which the returned pointer owns.
template <class T>
Microsoft::WRL::ComPtr<abi::IIterable<T>> MakeIterable(std::vector<T> values,
                                                       std::u16string_view elementType) {
    return Adopt<abi::IIterable<T>>(new VectorIterable<T>(std::move(values), elementType));
}

}  // namespace Quarn::WinRT::winrt

QUARN_END_COM_CLASSES
