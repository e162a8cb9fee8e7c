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

// A folder and its storage item; only Path answers, or `pathFailure`.
class FakeStorageFolder final : public abi::IStorageFolder, public abi::IStorageItem {
public:
    explicit FakeStorageFolder(std::u16string path) : m_path(std::move(path)) {}

    HRESULT pathFailure = S_OK;
    bool isStorageItem = true;

    HRESULT STDMETHODCALLTYPE QueryInterface(const IID& iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refs; }
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetIids(ULONG*, IID**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetRuntimeClassName(HSTRING*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTrustLevel(TrustLevel*) override { return E_NOTIMPL; }

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
    HRESULT STDMETHODCALLTYPE get_Path(HSTRING* value) override;

private:
    ~FakeStorageFolder() = default;

    std::atomic<ULONG> m_refs{1};
    std::u16string m_path;
};

// ApplicationData with its second and third interfaces; each folder getter hands out its folder
// or answers its failure.
class FakeApplicationData final : public abi::IApplicationData,
                                  public abi::IApplicationData2,
                                  public abi::IApplicationData3 {
public:
    ComPtr<FakeStorageFolder> localCache = MakeFake<FakeStorageFolder>(u"C:\\Pkg\\LocalCache");
    ComPtr<FakeStorageFolder> publisherCache =
        MakeFake<FakeStorageFolder>(u"C:\\Pkg\\Publisher\\Corvanta");
    ComPtr<FakeStorageFolder> temporary = MakeFake<FakeStorageFolder>(u"C:\\Pkg\\Temp");
    HRESULT localCacheFailure = S_OK;
    HRESULT publisherCacheFailure = S_OK;
    HRESULT temporaryFailure = S_OK;
    bool hasPublisherCache = true;  // IApplicationData3 answers QueryInterface
    std::u16string publisherFolderAskedFor;

    HRESULT STDMETHODCALLTYPE QueryInterface(const IID& iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refs; }
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetIids(ULONG*, IID**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetRuntimeClassName(HSTRING*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTrustLevel(TrustLevel*) override { return E_NOTIMPL; }

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
    HRESULT STDMETHODCALLTYPE get_TemporaryFolder(abi::IStorageFolder** value) override;

    HRESULT STDMETHODCALLTYPE get_LocalCacheFolder(abi::IStorageFolder** value) override;

    HRESULT STDMETHODCALLTYPE GetPublisherCacheFolder(HSTRING folderName,
                                                      abi::IStorageFolder** value) override;

private:
    ~FakeApplicationData() = default;

    std::atomic<ULONG> m_refs{1};
};

// The factory of "Windows.Storage.ApplicationData": Current hands out `current`, or answers
// `failure`.
class FakeApplicationDataStatics final : public FakeObject<abi::IApplicationDataStatics> {
public:
    FakeApplicationDataStatics() : FakeObject(abi::kIid<abi::IApplicationDataStatics>) {}
    HRESULT STDMETHODCALLTYPE get_Current(abi::IApplicationData** data) override;

    ComPtr<FakeApplicationData> current = MakeFake<FakeApplicationData>();
    HRESULT failure = S_OK;
};

}  // namespace Quarn::WinRT::testing

QUARN_END_COM_CLASSES
