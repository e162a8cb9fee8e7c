#pragma once
// Objects of the Windows Runtime's wheel classes, played by the tests where Wine has none: a
// controller that keeps the handlers added to it and raises its events on demand, its menu and
// item vector, menu items that keep their tag and raise Invoked, a configuration that walks the
// iterable it is given. Methods no test reaches answer E_NOTIMPL. They implement the ABI exactly as
// the platform's objects do, so the backend's wrappers and our delegates are driven through the
// same vtables as on Windows.

#include <map>
#include <string>
#include <vector>

#include "bindings/platform/com_classes.h"
#include "bindings/winrt/runtime_functions.h"
#include "tests/windows/fake_winrt.h"

QUARN_BEGIN_COM_CLASSES

namespace Quarn::WinRT::testing {

class FakeContact final : public FakeObject<abi::IRadialControllerScreenContact> {
public:
    explicit FakeContact(abi::Rect bounds) : m_bounds(bounds) {}
    HRESULT STDMETHODCALLTYPE get_Bounds(abi::Rect* value) override {
        *value = m_bounds;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_Position(abi::Point*) override { return E_NOTIMPL; }

private:
    abi::Rect m_bounds;
};

// Arguments carrying a contact (null when off the screen).
template <class Interface>
class FakeContactArgs final : public FakeObject<Interface> {
public:
    explicit FakeContactArgs(ComPtr<abi::IRadialControllerScreenContact> contact)
        : m_contact(std::move(contact)) {}
    HRESULT STDMETHODCALLTYPE get_Contact(abi::IRadialControllerScreenContact** value) override {
        return m_contact.CopyTo(value);
    }

private:
    ComPtr<abi::IRadialControllerScreenContact> m_contact;
};

class FakeRotationArgs final : public FakeObject<abi::IRadialControllerRotationChangedEventArgs> {
public:
    FakeRotationArgs(double delta, ComPtr<abi::IRadialControllerScreenContact> contact)
        : m_delta(delta), m_contact(std::move(contact)) {}
    HRESULT STDMETHODCALLTYPE get_RotationDeltaInDegrees(DOUBLE* value) override {
        *value = m_delta;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_Contact(abi::IRadialControllerScreenContact** value) override {
        return m_contact.CopyTo(value);
    }

private:
    double m_delta;
    ComPtr<abi::IRadialControllerScreenContact> m_contact;
};

// Handlers of one event, under the platform's tokens, which count from 1 per event.
template <class Handler>
class HandlerTable {
public:
    HRESULT Add(Handler* handler, EventRegistrationToken* token) {
        if (!handler) {
            return E_INVALIDARG;
        }
        token->value = ++m_last;
        m_handlers[token->value] = handler;
        return S_OK;
    }
    HRESULT Remove(EventRegistrationToken token) {
        m_handlers.erase(token.value);
        return S_OK;
    }
    template <class Sender, class Args>
    std::vector<HRESULT> Raise(Sender* sender, Args* args) {
        std::vector<HRESULT> results;
        const auto handlers = m_handlers;  // a handler may remove itself
        for (const auto& [token, handler] : handlers) {
            results.push_back(handler->Invoke(sender, args));
        }
        return results;
    }
    std::size_t Count() const { return m_handlers.size(); }

private:
    std::map<INT64, ComPtr<Handler>> m_handlers;
    INT64 m_last = 0;
};

// An event's add_ and remove_ methods over the HandlerTable `table`.
#define QUARN_FAKE_EVENT(Event, Handler, table)                                                 \
    HRESULT STDMETHODCALLTYPE add_##Event(abi::Handler* handler, EventRegistrationToken* token) \
        override {                                                                              \
        return table.Add(handler, token);                                                       \
    }                                                                                           \
    HRESULT STDMETHODCALLTYPE remove_##Event(EventRegistrationToken token) override {           \
        return table.Remove(token);                                                             \
    }

class FakeMenuItem final : public FakeObject<abi::IRadialControllerMenuItem> {
public:
    explicit FakeMenuItem(std::u16string text) : m_text(std::move(text)) {}

    HRESULT STDMETHODCALLTYPE get_DisplayText(HSTRING* value) override {
        return winrt::Runtime().windowsCreateString(reinterpret_cast<LPCWSTR>(m_text.data()),
                                                    static_cast<UINT32>(m_text.size()), value);
    }
    HRESULT STDMETHODCALLTYPE get_Tag(IInspectable** value) override {
        *value = ComPtr<IInspectable>(m_tag).Detach();
        return m_tagFailure;
    }
    HRESULT STDMETHODCALLTYPE put_Tag(IInspectable* value) override {
        m_tag = value;
        return S_OK;
    }
    QUARN_FAKE_EVENT(Invoked, MenuItemInvokedHandler, invoked)

    std::vector<HRESULT> Invoke() {
        return invoked.Raise<abi::IRadialControllerMenuItem, IInspectable>(this, nullptr);
    }
    IInspectable* Tag() const { return m_tag.Get(); }
    void FailTagReads(HRESULT code) { m_tagFailure = code; }

    HandlerTable<abi::MenuItemInvokedHandler> invoked;

private:
    std::u16string m_text;
    ComPtr<IInspectable> m_tag;
    HRESULT m_tagFailure = S_OK;
};

class FakeItemVector final : public FakeObject<abi::MenuItemVector> {
public:
    using Item = abi::IRadialControllerMenuItem*;
    HRESULT STDMETHODCALLTYPE GetAt(UINT32 index, Item* item) override {
        if (index >= items.size()) {
            return winrt::kBoundsError;
        }
        *item = ComPtr<abi::IRadialControllerMenuItem>(items[index]).Detach();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_Size(UINT32* size) override {
        *size = static_cast<UINT32>(items.size());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetView(IInspectable**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE IndexOf(Item, UINT32*, boolean*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetAt(UINT32, Item) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE InsertAt(UINT32, Item) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE RemoveAt(UINT32) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Append(Item item) override {
        if (FAILED(appendFailure)) {
            return appendFailure;
        }
        items.emplace_back(item);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE RemoveAtEnd() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Clear() override {
        items.clear();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetMany(UINT32, UINT32, Item*, UINT32*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ReplaceAll(UINT32, Item*) override { return E_NOTIMPL; }

    std::vector<ComPtr<abi::IRadialControllerMenuItem>> items;
    HRESULT appendFailure = S_OK;
};

class FakeMenu final : public FakeObject<abi::IRadialControllerMenu> {
public:
    HRESULT STDMETHODCALLTYPE get_Items(abi::MenuItemVector** value) override {
        *value = ComPtr<abi::MenuItemVector>(vector).Detach();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_IsEnabled(boolean*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_IsEnabled(boolean) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE
    GetSelectedMenuItem(abi::IRadialControllerMenuItem** result) override {
        *result = ComPtr<abi::IRadialControllerMenuItem>(selected).Detach();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SelectMenuItem(abi::IRadialControllerMenuItem* item) override {
        selected = item;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE TrySelectPreviouslySelectedMenuItem(boolean*) override {
        return E_NOTIMPL;
    }

    ComPtr<FakeItemVector> vector = Make<FakeItemVector>();
    ComPtr<abi::IRadialControllerMenuItem> selected;
};

class FakeConfiguration final : public FakeObject<abi::IRadialControllerConfiguration> {
public:
    HRESULT STDMETHODCALLTYPE SetDefaultMenuItems(abi::SystemMenuItemKindIterable* kinds) override {
        // Walk it as the platform does: First, then Current and MoveNext while HasCurrent.
        defaults.clear();
        ComPtr<abi::SystemMenuItemKindIterator> iterator;
        HRESULT result = kinds->First(iterator.GetAddressOf());
        boolean hasCurrent = 0;
        for (result = SUCCEEDED(result) ? iterator->get_HasCurrent(&hasCurrent) : result;
             SUCCEEDED(result) && hasCurrent; result = iterator->MoveNext(&hasCurrent)) {
            abi::RadialControllerSystemMenuItemKind kind{};
            result = iterator->get_Current(&kind);
            if (FAILED(result)) {
                break;
            }
            defaults.push_back(static_cast<int>(kind));
        }
        return result;
    }
    HRESULT STDMETHODCALLTYPE ResetToDefaultMenuItems() override {
        ++resetCalls;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE TrySelectDefaultMenuItem(abi::RadialControllerSystemMenuItemKind,
                                                       boolean*) override {
        return E_NOTIMPL;
    }

    std::vector<int> defaults;
    int resetCalls = 0;
};

class FakeController final : public FakeObject<abi::IRadialController> {
public:
    HRESULT STDMETHODCALLTYPE get_Menu(abi::IRadialControllerMenu** value) override {
        *value = ComPtr<abi::IRadialControllerMenu>(menu).Detach();
        return S_OK;
    }
    // No test reaches these.
    HRESULT STDMETHODCALLTYPE get_RotationResolutionInDegrees(DOUBLE*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE put_RotationResolutionInDegrees(DOUBLE) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_UseAutomaticHapticFeedback(boolean*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE put_UseAutomaticHapticFeedback(boolean) override { return E_NOTIMPL; }
    QUARN_FAKE_EVENT(ScreenContactStarted, ScreenContactStartedHandler, contactStarted)
    QUARN_FAKE_EVENT(ScreenContactEnded, ControllerObjectHandler, contactEnded)
    QUARN_FAKE_EVENT(ScreenContactContinued, ScreenContactContinuedHandler, contactContinued)
    QUARN_FAKE_EVENT(ControlLost, ControllerObjectHandler, controlLost)
    QUARN_FAKE_EVENT(RotationChanged, RotationChangedHandler, rotationChanged)
    QUARN_FAKE_EVENT(ButtonClicked, ButtonClickedHandler, buttonClicked)
    QUARN_FAKE_EVENT(ControlAcquired, ControlAcquiredHandler, controlAcquired)

    std::size_t HandlerCount() const {
        return contactStarted.Count() + contactEnded.Count() + contactContinued.Count() +
               controlLost.Count() + rotationChanged.Count() + buttonClicked.Count() +
               controlAcquired.Count();
    }

    HandlerTable<abi::ScreenContactStartedHandler> contactStarted;
    HandlerTable<abi::ControllerObjectHandler> contactEnded;
    HandlerTable<abi::ScreenContactContinuedHandler> contactContinued;
    HandlerTable<abi::ControllerObjectHandler> controlLost;
    HandlerTable<abi::RotationChangedHandler> rotationChanged;
    HandlerTable<abi::ButtonClickedHandler> buttonClicked;
    HandlerTable<abi::ControlAcquiredHandler> controlAcquired;
    ComPtr<FakeMenu> menu = Make<FakeMenu>();
};

#undef QUARN_FAKE_EVENT

}  // namespace Quarn::WinRT::testing

QUARN_END_COM_CLASSES
