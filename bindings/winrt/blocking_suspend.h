#pragma once
// Waiting on the calling thread for a Windows Runtime asynchronous operation.
//
//   ComPtr<abi::IStorageFile> file = blocking_suspend(operation.Get());  // raises its error
//
// An operation not yet complete gets a completion handler of ours that sets a flag and wakes a
// condition variable under an SRW lock; the caller sleeps on it with no time-out, so a load
// that never completes blocks the thread for good, as a synchronous read would. The handler is
// agile and marshals free-threaded: the platform calls it on whichever thread finishes the
// operation, never marshalled back to this one, which is what lets a single-threaded apartment
// block here.
//
// Windows only.

#include <wrl/client.h>

#include <atomic>

#include "bindings/platform/error.h"
#include "bindings/winrt/abi.h"
#include "bindings/winrt/com_object.h"
#include "bindings/winrt/runtime_functions.h"

namespace Quarn::WinRT::winrt {

// HRESULT_FROM_WIN32(ERROR_CANCELLED): what taking the result of a cancelled operation raises.
inline constexpr HRESULT kOperationCancelled = static_cast<HRESULT>(0x800704C7);

namespace detail {

// Thread rule: Invoke runs on the completing thread, Wait on the waiting one; the flag is read
// and written only under the lock. Agile and free-threaded marshalled (ComObject), so that
// whoever completes the operation calls it directly, whatever apartment it would marshal to; a
// live one keeps the module loaded (DllCanUnloadNow).
template <class Operation>
class CompletionSignal final
    : public ComObject<typename abi::AsyncOperationTraits<Operation>::Handler, IAgileObject> {
public:
    HRESULT STDMETHODCALLTYPE Invoke(Operation*, AsyncStatus) override {
        AcquireSRWLockExclusive(&m_lock);
        m_done = true;
        ReleaseSRWLockExclusive(&m_lock);
        WakeAllConditionVariable(&m_changed);
        return S_OK;
    }

    void Wait() {
        AcquireSRWLockExclusive(&m_lock);
        while (!m_done) {
            SleepConditionVariableSRW(&m_changed, &m_lock, INFINITE, 0);
        }
        ReleaseSRWLockExclusive(&m_lock);
    }

private:
    SRWLOCK m_lock = SRWLOCK_INIT;
    CONDITION_VARIABLE m_changed = CONDITION_VARIABLE_INIT;
    bool m_done = false;
};

inline AsyncStatus StatusOf(IAsyncInfo* info) {
    AsyncStatus status = AsyncStatus::Started;
    ThrowIfFailed(info->get_Status(&status));
    return status;
}

}  // namespace detail

// Blocks until `operation` has completed, then takes its result: the operation's own error
// when it failed, kOperationCancelled when it was cancelled, are raised as PlatformError.
template <class Operation>
Microsoft::WRL::ComPtr<typename abi::AsyncOperationTraits<Operation>::ResultType> blocking_suspend(
    Operation* operation) {
    if (!operation) {
        throw platform::PlatformError(E_POINTER, "No asynchronous operation to wait for.");
    }
    Microsoft::WRL::ComPtr<IAsyncInfo> info;
    ThrowIfFailed(operation->QueryInterface(abi::kIid<IAsyncInfo>,
                                            reinterpret_cast<void**>(info.GetAddressOf())));
    AsyncStatus status = detail::StatusOf(info.Get());
    if (status != AsyncStatus::Completed) {
        // One reference is ours, one the operation takes; a handler that runs at once (the
        // operation finished meanwhile) leaves the flag set and Wait returns straight away.
        auto* signal = new detail::CompletionSignal<Operation>();
        const HRESULT installed = operation->put_Completed(signal);
        if (SUCCEEDED(installed)) {
            signal->Wait();
        }
        signal->Release();
        ThrowIfFailed(installed);
        status = detail::StatusOf(info.Get());
    }
    if (status == AsyncStatus::Error) {
        HRESULT error = E_FAIL;
        info->get_ErrorCode(&error);
        ThrowIfFailed(FAILED(error) ? error : E_FAIL);
    }
    if (status == AsyncStatus::Canceled) {
        ThrowIfFailed(kOperationCancelled);
    }
    Microsoft::WRL::ComPtr<typename abi::AsyncOperationTraits<Operation>::ResultType> result;
    ThrowIfFailed(operation->GetResults(result.GetAddressOf()));
    return result;
}

}  // namespace Quarn::WinRT::winrt
