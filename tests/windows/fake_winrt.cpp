#include "tests/windows/fake_winrt.h"

#include "tests/windows/win32_host.h"

namespace Quarn::WinRT::testing {

std::u16string TextOf(HSTRING text) {
    const winrt::RuntimeFunctions& runtime = winrt::Runtime();
    UINT32 length = 0;
    const PCWSTR characters = text ? runtime.windowsGetStringRawBuffer(text, &length) : nullptr;
    return characters ? std::u16string(reinterpret_cast<const char16_t*>(characters), length)
                      : std::u16string();
}

std::u16string ClassNameOf(IInspectable* object) {
    winrt::HString name;
    object->GetRuntimeClassName(name.Put());
    return std::u16string(name.View());
}

HRESULT NewHString(std::u16string_view text, HSTRING* string) {
    return winrt::Runtime().windowsCreateString(reinterpret_cast<LPCWSTR>(text.data()),
                                                static_cast<UINT32>(text.size()), string);
}

HRESULT FakeFileOperation::put_Completed(abi::StorageFileCompletedHandler* handler) {
    ComPtr<abi::StorageFileCompletedHandler> callNow;
    AsyncStatus status = AsyncStatus::Started;
    {
        std::lock_guard lock(m_mutex);
        if (FAILED(m_refuseHandlers)) {
            return m_refuseHandlers;
        }
        ++m_handlers.installed;
        ComPtr<IAgileObject> agile;
        m_handlers.agile = SUCCEEDED(handler->QueryInterface(abi::kIid<IAgileObject>, &agile)) &&
                           MarshalsFreeThreaded(handler);
        if (m_status == AsyncStatus::Started) {
            m_handler = handler;
            return S_OK;
        }
        callNow = handler;
        status = m_status;
        ++m_handlers.calls;
    }
    callNow->Invoke(this, status);
    return S_OK;
}

HRESULT FakeFileOperation::GetResults(abi::IStorageFile** file) {
    std::lock_guard lock(m_mutex);  // null unless completed
    return m_file.CopyTo(file);
}

HRESULT FakeFileOperation::get_Status(AsyncStatus* status) {
    std::lock_guard lock(m_mutex);
    *status = m_status;
    return S_OK;
}

HRESULT FakeFileOperation::get_ErrorCode(HRESULT* code) {
    std::lock_guard lock(m_mutex);
    *code = m_error;
    return S_OK;
}

void FakeFileOperation::Finish(AsyncStatus status, HRESULT error, abi::IStorageFile* file) {
    ComPtr<abi::StorageFileCompletedHandler> handler;
    {
        std::lock_guard lock(m_mutex);
        if (m_status != AsyncStatus::Started) {
            return;
        }
        m_status = status;
        m_error = error;
        m_file = file;
        handler.Swap(m_handler);
        if (handler) {
            ++m_handlers.calls;
        }
    }
    if (handler) {
        handler->Invoke(this, status);
    }
}

HRESULT FakeStorageFileStatics::GetFileFromPathAsync(HSTRING path,
                                                     abi::StorageFileOperation** result) {
    lastPath = TextOf(path);
    if (FAILED(failure)) {
        return failure;
    }
    *result = operation.Get();
    if (*result) {
        (*result)->AddRef();
    }
    return S_OK;
}

HRESULT FakeStreamReferenceStatics::CreateFromFile(abi::IStorageFile* file,
                                                   abi::IRandomAccessStreamReference** reference) {
    lastFile = file;
    if (FAILED(failure)) {
        return failure;
    }
    lastReference = Make<FakeStreamReference>();
    return lastReference.CopyTo(reference);
}

void FakeActivation::Register(std::u16string_view className, ComPtr<IInspectable> factory) {
    m_factories[std::u16string(className)] = std::move(factory);
}

winrt::ActivationSource FakeActivation::Source() {
    return [this](std::u16string_view className, REFIID iid, void** factory) -> HRESULT {
        const auto found = m_factories.find(className);
        if (found == m_factories.end() || !found->second) {
            *factory = nullptr;
            return REGDB_E_CLASSNOTREG;
        }
        return found->second->QueryInterface(iid, factory);
    };
}

}  // namespace Quarn::WinRT::testing
