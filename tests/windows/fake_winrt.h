#pragma once
// Windows Runtime objects of our own for the storage tests, where Wine has no such classes: a
// StorageFile operation that completes when and how a test says, the file and stream reference
// it yields, the two storage factories, and an activation source that hands them out. Their COM
// plumbing is the library's own (winrt::ComObject).
//
// Thread rule: the operation may be completed from any thread (its state is under a lock); the
// other fakes are used on the test's thread.

#include <wrl/client.h>
#include "bindings/winrt/abi.h"

#include <map>
#include <mutex>
#include <string>

#include "bindings/platform/com_classes.h"
#include "bindings/winrt/activation_source.h"
#include "bindings/winrt/com_object.h"

// COM objects are released, never deleted through an interface pointer.
QUARN_BEGIN_COM_CLASSES

namespace Quarn::WinRT::testing {

using Microsoft::WRL::ComPtr;
namespace abi = winrt::abi;

// The characters of an HSTRING the caller keeps (null reads empty).
std::u16string TextOf(HSTRING text);
// The runtime class name `object` answers.
std::u16string ClassNameOf(IInspectable* object);
// A new HSTRING with `text`, for an out parameter whose receiver deletes it.
HRESULT NewHString(std::u16string_view text, HSTRING* string);

// The library's COM object with IInspectable's questions answered as a plain object answers.
template <class... Interfaces>
class FakeObject : public winrt::ComObject<Interfaces...> {
public:
    HRESULT STDMETHODCALLTYPE GetIids(ULONG*, IID**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetRuntimeClassName(HSTRING*) override { return E_NOTIMPL; }
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

class FakeStorageFile final : public FakeObject<abi::IStorageFile> {};
class FakeStreamReference final : public FakeObject<abi::IRandomAccessStreamReference> {};

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
    HRESULT STDMETHODCALLTYPE GetResults(abi::IStorageFile** file) override;
    HRESULT STDMETHODCALLTYPE get_Status(AsyncStatus* status) override;
    HRESULT STDMETHODCALLTYPE get_ErrorCode(HRESULT* code) override;
    // What the wait does not call.
    HRESULT STDMETHODCALLTYPE get_Completed(abi::StorageFileCompletedHandler**) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE get_Id(UINT32*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Cancel() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Close() override { return E_NOTIMPL; }

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

// The factory of "Windows.Storage.StorageFile": each GetFileFromPathAsync notes the path and
// hands out `operation`, or answers `failure`.
class FakeStorageFileStatics final : public FakeObject<abi::IStorageFileStatics> {
public:
    HRESULT STDMETHODCALLTYPE GetFileFromPathAsync(HSTRING path,
                                                   abi::StorageFileOperation** operation) override;

    ComPtr<FakeFileOperation> operation;
    HRESULT failure = S_OK;
    std::u16string lastPath;
};

// The factory of "Windows.Storage.Streams.RandomAccessStreamReference": CreateFromFile notes
// the file and hands out a new reference, or answers `failure`.
class FakeStreamReferenceStatics final
    : public FakeObject<abi::IRandomAccessStreamReferenceStatics> {
public:
    HRESULT STDMETHODCALLTYPE
    CreateFromFile(abi::IStorageFile* file, abi::IRandomAccessStreamReference** reference) override;

    HRESULT failure = S_OK;
    abi::IStorageFile* lastFile = nullptr;
    ComPtr<abi::IRandomAccessStreamReference> lastReference;
};

// Hands out the factories registered by class name (QueryInterface'd for the IID asked for);
// REGDB_E_CLASSNOTREG for any other class, or one registered as null, as the system answers
// for a class it lacks.
class FakeActivation {
public:
    void Register(std::u16string_view className, ComPtr<IInspectable> factory);
    winrt::ActivationSource Source();

private:
    std::map<std::u16string, ComPtr<IInspectable>, std::less<>> m_factories;
};

}  // namespace Quarn::WinRT::testing

QUARN_END_COM_CLASSES
