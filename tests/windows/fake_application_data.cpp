#include "tests/windows/fake_application_data.h"

namespace Quarn::WinRT::testing {

namespace {

HRESULT HandOut(HRESULT failure, const ComPtr<FakeStorageFolder>& folder,
                abi::IStorageFolder** value) {
    if (FAILED(failure)) {
        *value = nullptr;
        return failure;
    }
    *value = folder.Get();
    folder->AddRef();
    return S_OK;
}

}  // namespace

HRESULT FakeStorageFolder::QueryInterface(const IID& iid, void** object) {
    if (IsEqualIID(iid, abi::kIid<IUnknown>) || IsEqualIID(iid, abi::kIid<IInspectable>) ||
        IsEqualIID(iid, abi::kIid<abi::IStorageFolder>)) {
        *object = static_cast<abi::IStorageFolder*>(this);
    } else if (isStorageItem && IsEqualIID(iid, abi::kIid<abi::IStorageItem>)) {
        *object = static_cast<abi::IStorageItem*>(this);
    } else {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

ULONG FakeStorageFolder::Release() {
    const ULONG left = --m_refs;
    if (left == 0) {
        delete this;
    }
    return left;
}

HRESULT FakeStorageFolder::get_Path(HSTRING* value) {
    *value = nullptr;
    if (FAILED(pathFailure)) {
        return pathFailure;
    }
    // Handed over to the caller, who deletes it.
    return NewHString(m_path, value);
}

HRESULT FakeApplicationData::QueryInterface(const IID& iid, void** object) {
    if (IsEqualIID(iid, abi::kIid<IUnknown>) || IsEqualIID(iid, abi::kIid<IInspectable>) ||
        IsEqualIID(iid, abi::kIid<abi::IApplicationData>)) {
        *object = static_cast<abi::IApplicationData*>(this);
    } else if (IsEqualIID(iid, abi::kIid<abi::IApplicationData2>)) {
        *object = static_cast<abi::IApplicationData2*>(this);
    } else if (hasPublisherCache && IsEqualIID(iid, abi::kIid<abi::IApplicationData3>)) {
        *object = static_cast<abi::IApplicationData3*>(this);
    } else {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

ULONG FakeApplicationData::Release() {
    const ULONG left = --m_refs;
    if (left == 0) {
        delete this;
    }
    return left;
}

HRESULT FakeApplicationData::get_TemporaryFolder(abi::IStorageFolder** value) {
    return HandOut(temporaryFailure, temporary, value);
}

HRESULT FakeApplicationData::get_LocalCacheFolder(abi::IStorageFolder** value) {
    return HandOut(localCacheFailure, localCache, value);
}

HRESULT FakeApplicationData::GetPublisherCacheFolder(HSTRING folderName,
                                                     abi::IStorageFolder** value) {
    publisherFolderAskedFor = TextOf(folderName);
    return HandOut(publisherCacheFailure, publisherCache, value);
}

HRESULT FakeApplicationDataStatics::get_Current(abi::IApplicationData** data) {
    if (FAILED(failure)) {
        *data = nullptr;
        return failure;
    }
    *data = current.Get();
    current->AddRef();
    return S_OK;
}

}  // namespace Quarn::WinRT::testing
