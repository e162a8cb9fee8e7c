#pragma once
// Windows Runtime objects of our own where Wine has no such classes, with the library's own COM
// plumbing (winrt::ComObject): the base of every fake, and a StorageFile operation that
// completes when and how a test says, with the file it yields.
//
// Thread rule: the operation may be completed from any thread (its state is under a lock); the
// other fakes are used on the test's thread.

#include <wrl/client.h>
#include "bindings/winrt/abi.h"

#include <mutex>
#include <string>

#include "bindings/platform/com_classes.h"
#include "bindings/winrt/com_object.h"

// A method of a fake that no test reaches.
#define QUARN_NOT_CALLED(Method, ...)                        \
    HRESULT STDMETHODCALLTYPE Method(__VA_ARGS__) override { \
        return E_NOTIMPL;                                    \
    }

// COM objects are released, never deleted through an interface pointer.
QUARN_BEGIN_COM_CLASSES

namespace Quarn::WinRT::testing {

using Microsoft::WRL::ComPtr;
namespace abi = winrt::abi;

// The runtime class name `object` answers.
std::u16string ClassNameOf(IInspectable* object);
// A new HSTRING with `text`, for an out parameter whose receiver deletes it.
HRESULT NewHString(std::u16string_view text, HSTRING* string);

// The library's COM object with IInspectable's questions answered as a plain object answers.
template <class... Interfaces>
class FakeObject : public winrt::ComObject<Interfaces...> {
public:
    QUARN_NOT_CALLED(GetIids, ULONG*, IID**)
    QUARN_NOT_CALLED(GetRuntimeClassName, HSTRING*)
    HRESULT STDMETHODCALLTYPE GetTrustLevel(TrustLevel* level) override {
        *level = BaseTrust;
        return S_OK;
    }
};

// Made with a count of one, which the ComPtr takes over.
template <class T, class... Args>
ComPtr<T> Make(Args&&... args) {
    return winrt::Adopt(new T(std::forward<Args>(args)...));
}

// Hands out `object` through `out`, or answers `failure`.
template <class Interface, class Object>
HRESULT HandOut(HRESULT failure, const ComPtr<Object>& object, Interface** out) {
    *out = FAILED(failure) ? nullptr : object.Get();
    if (*out) {
        (*out)->AddRef();
    }
    return failure;
}

class FakeStorageFile final : public FakeObject<abi::IStorageFile> {};

// IAsyncOperation<StorageFile> with its IAsyncInfo. It starts Started; Complete, Fail and
// CancelNow finish it once and call the installed handler, outside the lock, on the calling
// thread. A handler installed after the end is called at once, as the platform does.
class FakeFileOperation final : public FakeObject<abi::StorageFileOperation, IAsyncInfo> {
public:
    void Complete(abi::IStorageFile* file) { Finish(AsyncStatus::Completed, S_OK, file); }
    void Fail(HRESULT error) { Finish(AsyncStatus::Error, error, nullptr); }
    void CancelNow() { Finish(AsyncStatus::Canceled, S_OK, nullptr); }
    // put_Completed answers this instead of installing the handler.
    void RefuseHandlers(HRESULT result) { m_refuseHandlers = result; }

    // Handlers installed and called, and whether the last one installed answered for
    // IAgileObject and marshals free-threaded.
    struct Handlers {
        int installed = 0;
        int calls = 0;
        bool agile = false;
    };
    Handlers HandlersSeen() const {
        std::lock_guard lock(m_mutex);
        return m_handlers;
    }

    HRESULT STDMETHODCALLTYPE put_Completed(abi::StorageFileCompletedHandler* handler) override;
    HRESULT STDMETHODCALLTYPE GetResults(abi::IStorageFile** file) override {
        std::lock_guard lock(m_mutex);  // null unless completed
        return m_file.CopyTo(file);
    }
    HRESULT STDMETHODCALLTYPE get_Status(AsyncStatus* status) override {
        std::lock_guard lock(m_mutex);
        *status = m_status;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_ErrorCode(HRESULT* code) override {
        std::lock_guard lock(m_mutex);
        *code = m_error;
        return S_OK;
    }
    QUARN_NOT_CALLED(get_Completed, abi::StorageFileCompletedHandler**)
    QUARN_NOT_CALLED(get_Id, UINT32*)
    QUARN_NOT_CALLED(Cancel)
    QUARN_NOT_CALLED(Close)

private:
    void Finish(AsyncStatus status, HRESULT error, abi::IStorageFile* file);

    mutable std::mutex m_mutex;
    AsyncStatus m_status = AsyncStatus::Started;
    HRESULT m_error = S_OK;
    HRESULT m_refuseHandlers = S_OK;
    ComPtr<abi::IStorageFile> m_file;
    ComPtr<abi::StorageFileCompletedHandler> m_handler;
    Handlers m_handlers;
};

}  // namespace Quarn::WinRT::testing

QUARN_END_COM_CLASSES
