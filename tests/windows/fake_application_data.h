#pragma once
// Windows.Storage.ApplicationData of our own, for the sandboxed folders where Wine runs every
// process unpackaged: statics whose Current is an application data object with the three
// folders the package code asks for, each folder a storage item with a path. Any step can be
// told to fail with an HRESULT.
//
// Thread rule: the test's thread.

#include "bindings/platform/com_classes.h"
#include "tests/windows/fake_winrt.h"

// COM objects are released, never deleted through an interface pointer.
QUARN_BEGIN_COM_CLASSES

namespace Quarn::WinRT::testing {

// Hands out `object` through `out`, or answers `failure`.
template <class Interface, class Object>
HRESULT HandOut(HRESULT failure, const ComPtr<Object>& object, Interface** out) {
    *out = FAILED(failure) ? nullptr : object.Get();
    if (*out) {
        (*out)->AddRef();
    }
    return failure;
}

// A folder and its storage item; only Path answers, or `pathFailure`.
class FakeStorageFolder final : public FakeObject<abi::IStorageFolder, abi::IStorageItem> {
public:
    explicit FakeStorageFolder(std::u16string path) : m_path(std::move(path)) {}

    HRESULT pathFailure = S_OK;
    bool isStorageItem = true;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (!isStorageItem && IsEqualGUID(iid, abi::kIid<abi::IStorageItem>)) {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        return FakeObject::QueryInterface(iid, object);
    }
    HRESULT STDMETHODCALLTYPE RenameAsyncOverloadDefaultOptions(HSTRING, IInspectable**) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE RenameAsync(HSTRING, INT32, IInspectable**) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE DeleteAsyncOverloadDefaultOptions(IInspectable**) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE DeleteAsync(INT32, IInspectable**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetBasicPropertiesAsync(IInspectable**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_Name(HSTRING*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_Path(HSTRING* value) override {
        *value = nullptr;
        return FAILED(pathFailure) ? pathFailure : NewHString(m_path, value);
    }

private:
    std::u16string m_path;
};

// ApplicationData with its second and third interfaces; each folder getter hands out its folder
// or answers its failure.
class FakeApplicationData final
    : public FakeObject<abi::IApplicationData, abi::IApplicationData2, abi::IApplicationData3> {
public:
    ComPtr<FakeStorageFolder> localCache = Make<FakeStorageFolder>(u"C:\\Pkg\\LocalCache");
    ComPtr<FakeStorageFolder> publisherCache =
        Make<FakeStorageFolder>(u"C:\\Pkg\\Publisher\\Corvanta");
    ComPtr<FakeStorageFolder> temporary = Make<FakeStorageFolder>(u"C:\\Pkg\\Temp");
    HRESULT localCacheFailure = S_OK;
    HRESULT publisherCacheFailure = S_OK;
    HRESULT temporaryFailure = S_OK;
    bool hasPublisherCache = true;  // IApplicationData3 answers QueryInterface
    std::u16string publisherFolderAskedFor;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (!hasPublisherCache && IsEqualGUID(iid, abi::kIid<abi::IApplicationData3>)) {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        return FakeObject::QueryInterface(iid, object);
    }
    HRESULT STDMETHODCALLTYPE get_Version(UINT32*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetVersionAsync(UINT32, IUnknown*, IInspectable**) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE ClearAllAsync(IInspectable**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ClearAsync(INT32, IInspectable**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_LocalSettings(IInspectable**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_RoamingSettings(IInspectable**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_LocalFolder(abi::IStorageFolder**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_RoamingFolder(abi::IStorageFolder**) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE get_TemporaryFolder(abi::IStorageFolder** value) override {
        return HandOut(temporaryFailure, temporary, value);
    }
    HRESULT STDMETHODCALLTYPE get_LocalCacheFolder(abi::IStorageFolder** value) override {
        return HandOut(localCacheFailure, localCache, value);
    }
    HRESULT STDMETHODCALLTYPE GetPublisherCacheFolder(HSTRING folderName,
                                                      abi::IStorageFolder** value) override {
        publisherFolderAskedFor = TextOf(folderName);
        return HandOut(publisherCacheFailure, publisherCache, value);
    }
};

// The factory of "Windows.Storage.ApplicationData": Current hands out `current`, or answers
// `failure`.
class FakeApplicationDataStatics final : public FakeObject<abi::IApplicationDataStatics> {
public:
    HRESULT STDMETHODCALLTYPE get_Current(abi::IApplicationData** data) override {
        return HandOut(failure, current, data);
    }

    ComPtr<FakeApplicationData> current = Make<FakeApplicationData>();
    HRESULT failure = S_OK;
};

}  // namespace Quarn::WinRT::testing

QUARN_END_COM_CLASSES
