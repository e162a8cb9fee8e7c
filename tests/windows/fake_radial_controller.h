#pragma once
// Objects of the Windows Runtime's wheel classes, played by the tests where Wine has none: a
// controller that keeps the handlers added to it and raises its events on demand, and menu items
// that keep their tag and raise Invoked. They implement the ABI exactly as the platform's objects
// do, so the backend's wrappers and our delegates are driven through the same vtables as on
// Windows.

#include <map>
#include <string>
#include <vector>

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
    QUARN_NOT_CALLED(get_Position, abi::Point*)

private:
    abi::Rect m_bounds;
};

// The arguments of every controller event that has any: a rotation and a contact (null when off
// the screen).
class FakeArgs final : public FakeObject<abi::IRadialControllerRotationChangedEventArgs,
                                         abi::IRadialControllerScreenContactStartedEventArgs,
                                         abi::IRadialControllerScreenContactContinuedEventArgs,
                                         abi::IRadialControllerControlAcquiredEventArgs,
                                         abi::IRadialControllerButtonClickedEventArgs> {
public:
    FakeArgs(double delta, ComPtr<abi::IRadialControllerScreenContact> contact)
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
        token->value = ++m_last;
        m_handlers[token->value] = handler;
        return S_OK;
    }
    HRESULT Remove(EventRegistrationToken token) {
        m_handlers.erase(token.value);
        return S_OK;
    }
    // The last handler's answer (S_OK when there is none).
    template <class Sender, class Args>
    HRESULT Raise(Sender* sender, Args* args) {
        HRESULT result = S_OK;
        const auto handlers = m_handlers;  // a handler may remove itself
        for (const auto& [token, handler] : handlers) {
            result = handler->Invoke(sender, args);
        }
        return result;
    }
    std::size_t Count() const { return m_handlers.size(); }

private:
    std::map<INT64, ComPtr<Handler>> m_handlers;
    INT64 m_last = 0;
};

// An event's handler table, named after the event, with its add_ and remove_ methods.
#define QUARN_FAKE_EVENT(Event, Handler)                                                        \
    HandlerTable<abi::Handler> Event;                                                           \
    HRESULT STDMETHODCALLTYPE add_##Event(abi::Handler* handler, EventRegistrationToken* token) \
        override {                                                                              \
        return Event.Add(handler, token);                                                       \
    }                                                                                           \
    HRESULT STDMETHODCALLTYPE remove_##Event(EventRegistrationToken token) override {           \
        return Event.Remove(token);                                                             \
    }

class FakeMenuItem final : public FakeObject<abi::IRadialControllerMenuItem> {
public:
    explicit FakeMenuItem(std::u16string text) : m_text(std::move(text)) {}

    HRESULT STDMETHODCALLTYPE get_DisplayText(HSTRING* value) override {
        return NewHString(m_text, value);
    }
    HRESULT STDMETHODCALLTYPE get_Tag(IInspectable** value) override {
        return HandOut(tagFailure, tag, value);
    }
    HRESULT STDMETHODCALLTYPE put_Tag(IInspectable* value) override {
        tag = value;
        return S_OK;
    }
    QUARN_FAKE_EVENT(Invoked, MenuItemInvokedHandler)

    ComPtr<IInspectable> tag;
    HRESULT tagFailure = S_OK;

private:
    std::u16string m_text;
};

class FakeController final : public FakeObject<abi::IRadialController> {
public:
    QUARN_FAKE_EVENT(ScreenContactStarted, ScreenContactStartedHandler)
    QUARN_FAKE_EVENT(ScreenContactEnded, ControllerObjectHandler)
    QUARN_FAKE_EVENT(ScreenContactContinued, ScreenContactContinuedHandler)
    QUARN_FAKE_EVENT(ControlLost, ControllerObjectHandler)
    QUARN_FAKE_EVENT(RotationChanged, RotationChangedHandler)
    QUARN_FAKE_EVENT(ButtonClicked, ButtonClickedHandler)
    QUARN_FAKE_EVENT(ControlAcquired, ControlAcquiredHandler)
    QUARN_NOT_CALLED(get_RotationResolutionInDegrees, DOUBLE*)
    QUARN_NOT_CALLED(put_RotationResolutionInDegrees, DOUBLE)
    QUARN_NOT_CALLED(get_UseAutomaticHapticFeedback, boolean*)
    QUARN_NOT_CALLED(put_UseAutomaticHapticFeedback, boolean)
    QUARN_NOT_CALLED(get_Menu, abi::IRadialControllerMenu**)

    std::size_t HandlerCount() const {
        return ScreenContactStarted.Count() + ScreenContactEnded.Count() +
               ScreenContactContinued.Count() + ControlLost.Count() + RotationChanged.Count() +
               ButtonClicked.Count() + ControlAcquired.Count();
    }
};

#undef QUARN_FAKE_EVENT

}  // namespace Quarn::WinRT::testing

QUARN_END_COM_CLASSES
