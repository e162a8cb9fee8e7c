#pragma once
// Delegates of ours that the platform calls: a typed event handler around a function. Reference
// counted, agile and free-threaded marshalled (the platform may call them from any thread, and
// marshalling one hands out the same pointer), and no exception leaves Invoke:
// it becomes a failure result (a PlatformError's own code, E_OUTOFMEMORY, else E_FAIL).
//
// Windows only. The function runs on whichever thread the platform raises the event on.

#include <wrl/client.h>

#include <functional>
#include <utility>

#include "bindings/platform/com_classes.h"
#include "bindings/winrt/com_object.h"

QUARN_BEGIN_COM_CLASSES

namespace Quarn::WinRT::winrt {

template <class Handler>
class EventDelegate;

template <class Sender, class Args>
class EventDelegate<abi::ITypedEventHandler<Sender, Args>> final
    : public ComObject<abi::ITypedEventHandler<Sender, Args>, IAgileObject> {
public:
    using Function = std::function<HRESULT(Sender* sender, Args* args)>;

    explicit EventDelegate(Function function) : m_function(std::move(function)) {}

    HRESULT STDMETHODCALLTYPE Invoke(Sender* sender, Args* args) override {
        return NoThrow([&] { return m_function(sender, args); });
    }

private:
    const Function m_function;
};

// A new delegate with one reference, which the returned pointer owns.
template <class Handler>
Microsoft::WRL::ComPtr<Handler> MakeDelegate(typename EventDelegate<Handler>::Function function) {
    return Adopt<Handler>(new EventDelegate<Handler>(std::move(function)));
}

}  // namespace Quarn::WinRT::winrt

QUARN_END_COM_CLASSES
