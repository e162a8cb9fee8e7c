#pragma once
// The Windows Runtime storage interfaces this library calls, each with its IID: StorageFile and
// its statics, RandomAccessStreamReference's statics, ApplicationData with its statics and its
// second and third interfaces, storage folders and items, and the asynchronous operation that
// yields a StorageFile with its completion handler. MinGW-w64 lacks most of them, and its
// windows.storage.h, which has the rest, does not compile as C++ with GCC (it declares enums
// before their definition, an MSVC extension), so all are declared here.
//
// Only the methods up to the last one this library calls are declared: slots before it are
// declared with their real parameter kinds so the vtable lines up (enums as INT32, interfaces
// we never call as IInspectable), and later slots are left out, since nothing here calls them
// and the only implementations of our own are test doubles.
//
// The asynchronous operation and its handler are our own templates over the ABI result
// interface, laid out as the platform's IAsyncOperation<T> and AsyncOperationCompletedHandler<T>.
//
// Windows only: the interfaces are COM's.

#include "bindings/platform/win_types.h"
// <windows.h> (through win_types.h) first: the COM headers build on it.
#include <asyncinfo.h>
#include <hstring.h>
#include <inspectable.h>

// COM interfaces are released, never deleted through: they have no virtual destructor.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"

namespace Quarn::WinRT::winrt::abi {

// Windows.Storage.IStorageFile, the default interface of StorageFile. Nothing here calls its
// methods: a file is only handed on to RandomAccessStreamReference.
MIDL_INTERFACE("fa3f6186-4214-428c-a64c-14c9ac7315ea")
IStorageFile : public IInspectable{};

// Windows.Storage.Streams.IRandomAccessStreamReference, the icon a menu item is made from.
MIDL_INTERFACE("33ee3134-1dd6-4e3a-8067-d1c162e8642b")
IRandomAccessStreamReference : public IInspectable{};

// Windows.Storage.IStorageItem: the path of a folder.
MIDL_INTERFACE("4207a996-ca2f-42f7-bde8-8b10457a7f30")
IStorageItem : public IInspectable {
    virtual HRESULT STDMETHODCALLTYPE RenameAsyncOverloadDefaultOptions(HSTRING desiredName,
                                                                        IInspectable * *action) = 0;
    virtual HRESULT STDMETHODCALLTYPE RenameAsync(HSTRING desiredName, INT32 option,
                                                  IInspectable * *action) = 0;
    virtual HRESULT STDMETHODCALLTYPE DeleteAsyncOverloadDefaultOptions(IInspectable * *action) = 0;
    virtual HRESULT STDMETHODCALLTYPE DeleteAsync(INT32 option, IInspectable * *action) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetBasicPropertiesAsync(IInspectable * *operation) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Name(HSTRING * value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Path(HSTRING * value) = 0;
};

// Windows.Storage.IStorageFolder, the default interface of StorageFolder; read through its
// IStorageItem.
MIDL_INTERFACE("72d1cb78-b3ef-4f75-a80b-6fd9dae2944b")
IStorageFolder : public IInspectable{};

// Windows.Storage.IApplicationData: the temporary folder.
MIDL_INTERFACE("c3da6fb7-b744-4b45-b0b8-223a0938d0dc")
IApplicationData : public IInspectable {
    virtual HRESULT STDMETHODCALLTYPE get_Version(UINT32 * value) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetVersionAsync(UINT32 desiredVersion, IUnknown * handler,
                                                      IInspectable * *action) = 0;
    virtual HRESULT STDMETHODCALLTYPE ClearAllAsync(IInspectable * *action) = 0;
    virtual HRESULT STDMETHODCALLTYPE ClearAsync(INT32 locality, IInspectable * *action) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_LocalSettings(IInspectable * *value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_RoamingSettings(IInspectable * *value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_LocalFolder(IStorageFolder * *value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_RoamingFolder(IStorageFolder * *value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_TemporaryFolder(IStorageFolder * *value) = 0;
};

// Windows.Storage.IApplicationData2: the local cache folder.
MIDL_INTERFACE("9e65cd69-0ba3-4e32-be29-b02de6607638")
IApplicationData2 : public IInspectable {
    virtual HRESULT STDMETHODCALLTYPE get_LocalCacheFolder(IStorageFolder * *value) = 0;
};

// Windows.Storage.IApplicationDataStatics, the activation factory of
// "Windows.Storage.ApplicationData".
MIDL_INTERFACE("5612147b-e843-45e3-94d8-06169e3c8e17")
IApplicationDataStatics : public IInspectable {
    virtual HRESULT STDMETHODCALLTYPE get_Current(IApplicationData * *data) = 0;
};

template <class Result>
struct IAsyncOperationCompletedHandler;

// Windows.Foundation.IAsyncOperation<T> for a result whose ABI interface is `Result`. Its status
// and error come from IAsyncInfo, which every operation also implements.
template <class Result>
struct IAsyncOperation : public IInspectable {
    virtual HRESULT STDMETHODCALLTYPE
    put_Completed(IAsyncOperationCompletedHandler<Result>* handler) = 0;
    virtual HRESULT STDMETHODCALLTYPE
    get_Completed(IAsyncOperationCompletedHandler<Result>** handler) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetResults(Result** results) = 0;
};

// Windows.Foundation.AsyncOperationCompletedHandler<T>: called once, with the final status, on
// whichever thread completes the operation.
template <class Result>
struct IAsyncOperationCompletedHandler : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Invoke(IAsyncOperation<Result>* operation,
                                             AsyncStatus status) = 0;
};

using IStorageFileOperation = IAsyncOperation<IStorageFile>;
using IStorageFileCompletedHandler = IAsyncOperationCompletedHandler<IStorageFile>;

// Windows.Storage.IStorageFileStatics, the activation factory of "Windows.Storage.StorageFile".
MIDL_INTERFACE("5984c710-daf2-43c8-8bb4-a4d3eacfd03f")
IStorageFileStatics : public IInspectable {
    virtual HRESULT STDMETHODCALLTYPE GetFileFromPathAsync(HSTRING path,
                                                           IStorageFileOperation * *operation) = 0;
};

// Windows.Storage.Streams.IRandomAccessStreamReferenceStatics, the activation factory of
// "Windows.Storage.Streams.RandomAccessStreamReference".
MIDL_INTERFACE("857309dc-3fbf-4e7d-986f-ef3b1a07a964")
IRandomAccessStreamReferenceStatics : public IInspectable {
    virtual HRESULT STDMETHODCALLTYPE CreateFromFile(IStorageFile * file,
                                                     IRandomAccessStreamReference * *reference) = 0;
};

// Windows.Storage.IApplicationData3: the publisher's cache folder (Windows 10 on).
MIDL_INTERFACE("dc222cf4-2772-4c1d-aa2c-c9f743ade8d1")
IApplicationData3 : public IInspectable {
    virtual HRESULT STDMETHODCALLTYPE GetPublisherCacheFolder(HSTRING folderName,
                                                              IStorageFolder * *folder) = 0;
};

#pragma GCC diagnostic pop

// The IIDs, for QueryInterface and for the interfaces we implement.
inline constexpr IID kIidStorageFile = {
    0xfa3f6186, 0x4214, 0x428c, {0xa6, 0x4c, 0x14, 0xc9, 0xac, 0x73, 0x15, 0xea}};
inline constexpr IID kIidRandomAccessStreamReference = {
    0x33ee3134, 0x1dd6, 0x4e3a, {0x80, 0x67, 0xd1, 0xc1, 0x62, 0xe8, 0x64, 0x2b}};
inline constexpr IID kIidStorageFileStatics = {
    0x5984c710, 0xdaf2, 0x43c8, {0x8b, 0xb4, 0xa4, 0xd3, 0xea, 0xcf, 0xd0, 0x3f}};
inline constexpr IID kIidRandomAccessStreamReferenceStatics = {
    0x857309dc, 0x3fbf, 0x4e7d, {0x98, 0x6f, 0xef, 0x3b, 0x1a, 0x07, 0xa9, 0x64}};
inline constexpr IID kIidStorageItem = {
    0x4207a996, 0xca2f, 0x42f7, {0xbd, 0xe8, 0x8b, 0x10, 0x45, 0x7a, 0x7f, 0x30}};
inline constexpr IID kIidStorageFolder = {
    0x72d1cb78, 0xb3ef, 0x4f75, {0xa8, 0x0b, 0x6f, 0xd9, 0xda, 0xe2, 0x94, 0x4b}};
inline constexpr IID kIidApplicationData = {
    0xc3da6fb7, 0xb744, 0x4b45, {0xb0, 0xb8, 0x22, 0x3a, 0x09, 0x38, 0xd0, 0xdc}};
inline constexpr IID kIidApplicationData2 = {
    0x9e65cd69, 0x0ba3, 0x4e32, {0xbe, 0x29, 0xb0, 0x2d, 0xe6, 0x60, 0x76, 0x38}};
inline constexpr IID kIidApplicationDataStatics = {
    0x5612147b, 0xe843, 0x45e3, {0x94, 0xd8, 0x06, 0x16, 0x9e, 0x3c, 0x8e, 0x17}};
inline constexpr IID kIidApplicationData3 = {
    0xdc222cf4, 0x2772, 0x4c1d, {0xaa, 0x2c, 0xc9, 0xf7, 0x43, 0xad, 0xe8, 0xd1}};
// IAsyncOperation<StorageFile> and AsyncOperationCompletedHandler<StorageFile>.
inline constexpr IID kIidStorageFileOperation = {
    0x5e52f8ce, 0xaced, 0x5a42, {0x95, 0xb4, 0xf6, 0x74, 0xdd, 0x84, 0x88, 0x5e}};
inline constexpr IID kIidStorageFileCompletedHandler = {
    0xe521c894, 0x2c26, 0x5946, {0x9e, 0x61, 0x2b, 0x5e, 0x18, 0x8d, 0x01, 0xed}};

// What blocking_suspend needs to know of an operation type: its result, its handler and the
// handler's IID.
template <class Operation>
struct AsyncOperationTraits;

template <>
struct AsyncOperationTraits<IStorageFileOperation> {
    using Result = IStorageFile;
    using Handler = IStorageFileCompletedHandler;
    static constexpr const IID& kHandlerIid = kIidStorageFileCompletedHandler;
};

// Runtime class names.
inline constexpr wchar_t kStorageFileClass[] = L"Windows.Storage.StorageFile";
inline constexpr wchar_t kRandomAccessStreamReferenceClass[] =
    L"Windows.Storage.Streams.RandomAccessStreamReference";
inline constexpr wchar_t kApplicationDataClass[] = L"Windows.Storage.ApplicationData";

}  // namespace Quarn::WinRT::winrt::abi
