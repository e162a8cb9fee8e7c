#include "tests/windows/fake_winrt.h"

#include "tests/windows/win32_host.h"

namespace Quarn::WinRT::testing {

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

}  // namespace Quarn::WinRT::testing
