#pragma once
// The Windows Runtime interfaces that MinGW-w64's headers lack, declared at the ABI level: the
// wheel device's classes of Windows.UI.Input with their two interop interfaces, the typed event
// handlers and collection instances they take, weak references and restricted error
// information. Each interface has its IID through InterfaceId<I>; the IIDs of parameterised
// instances are computed from their type signatures (iid.h), the others are the published ones.
//
// They live in our own namespace rather than in ABI::Windows::..., so that they never meet the
// partial declarations of MinGW's generated headers. Method order is the vtable order: never
// reorder, and declare every method up to the last one used.
//
// Windows only; the portable code sees the wheel through bindings/wheel/wheel.h.

#include "bindings/platform/win_types.h"
#include "bindings/winrt/iid.h"

#include <activation.h>
#include <asyncinfo.h>
#include <eventtoken.h>
#include <inspectable.h>
#include <objidl.h>
#include "bindings/platform/com_classes.h"

namespace Quarn::WinRT::winrt::abi {

// The IID of an interface, as the platform's GUID.
template <class I>
struct InterfaceId;  // each specialisation: static constexpr Guid value

constexpr GUID ToGuid(const Guid& guid) {
    return GUID{guid.data1,
                guid.data2,
                guid.data3,
                {guid.data4[0], guid.data4[1], guid.data4[2], guid.data4[3], guid.data4[4],
                 guid.data4[5], guid.data4[6], guid.data4[7]}};
}
template <class I>
inline constexpr GUID kIid = ToGuid(InterfaceId<I>::value);

#define QUARN_WINRT_IID(Interface, text)               \
    template <>                                        \
    struct InterfaceId<Interface> {                    \
        static constexpr Guid value = ParseGuid(text); \
    }

// COM's own interfaces, so that every QueryInterface here names its IID the same way.
QUARN_WINRT_IID(IUnknown, "00000000-0000-0000-c000-000000000046");
QUARN_WINRT_IID(IInspectable, "af86e2e0-b12d-4c6a-9c5a-d7aa65101e90");
QUARN_WINRT_IID(IAgileObject, "94ea2b94-e9cc-49e0-c0ff-ee64ca8f5b90");
QUARN_WINRT_IID(IMarshal, "00000003-0000-0000-c000-000000000046");
QUARN_WINRT_IID(IActivationFactory, "00000035-0000-0000-c000-000000000046");

// COM interfaces are released, never deleted through an interface pointer: they have no
// virtual destructor. (A class implementing one needs the same pragma: GCC warns at every
// class derived from IUnknown, MinGW's own interfaces included.)
QUARN_BEGIN_COM_CLASSES

// ---- Weak references and error information (combase) -------------------------------------

struct IWeakReference : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Resolve(REFIID iid, IInspectable** object) = 0;
};
struct IWeakReferenceSource : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetWeakReference(IWeakReference** reference) = 0;
};
struct IRestrictedErrorInfo : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetErrorDetails(BSTR* description, HRESULT* error,
                                                      BSTR* restrictedDescription,
                                                      BSTR* capabilitySid) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetReference(BSTR* reference) = 0;
};
QUARN_WINRT_IID(IWeakReference, "00000037-0000-0000-c000-000000000046");
QUARN_WINRT_IID(IWeakReferenceSource, "00000038-0000-0000-c000-000000000046");
QUARN_WINRT_IID(IRestrictedErrorInfo, "82ba7092-4c88-427d-a7bc-16dd93feb67e");

// ---- Generic interfaces of Windows.Foundation ---------------------------------------------
// T is the ABI form of the argument: an interface pointer for a runtime class, the enum itself.

template <class T>
struct IIterator : IInspectable {
    virtual HRESULT STDMETHODCALLTYPE get_Current(T* current) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_HasCurrent(boolean* hasCurrent) = 0;
    virtual HRESULT STDMETHODCALLTYPE MoveNext(boolean* hasCurrent) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetMany(UINT32 capacity, T* items, UINT32* actual) = 0;
};

template <class T>
struct IIterable : IInspectable {
    virtual HRESULT STDMETHODCALLTYPE First(IIterator<T>** first) = 0;
};

template <class T>
struct IVector : IInspectable {
    virtual HRESULT STDMETHODCALLTYPE GetAt(UINT32 index, T* item) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Size(UINT32* size) = 0;
    // An IVectorView<T>, which nothing here reads.
    virtual HRESULT STDMETHODCALLTYPE GetView(IInspectable** view) = 0;
    virtual HRESULT STDMETHODCALLTYPE IndexOf(T item, UINT32* index, boolean* found) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetAt(UINT32 index, T item) = 0;
    virtual HRESULT STDMETHODCALLTYPE InsertAt(UINT32 index, T item) = 0;
    virtual HRESULT STDMETHODCALLTYPE RemoveAt(UINT32 index) = 0;
    virtual HRESULT STDMETHODCALLTYPE Append(T item) = 0;
    virtual HRESULT STDMETHODCALLTYPE RemoveAtEnd() = 0;
    virtual HRESULT STDMETHODCALLTYPE Clear() = 0;
    virtual HRESULT STDMETHODCALLTYPE GetMany(UINT32 start, UINT32 capacity, T* items,
                                              UINT32* actual) = 0;
    virtual HRESULT STDMETHODCALLTYPE ReplaceAll(UINT32 count, T* items) = 0;
};

// TypedEventHandler<Sender, Args>, a delegate: IUnknown and Invoke.
template <class Sender, class Args>
struct ITypedEventHandler : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Invoke(Sender* sender, Args* args) = 0;
};

// ---- Windows.Foundation structures ---------------------------------------------------------

struct Point {
    FLOAT X;
    FLOAT Y;
};
struct Rect {
    FLOAT X;
    FLOAT Y;
    FLOAT Width;
    FLOAT Height;
};

// ---- Windows.UI.Input: the wheel device ---------------------------------------------------

enum class RadialControllerMenuKnownIcon : INT32 {
    Scroll = 0,
    Zoom = 1,
    UndoRedo = 2,
    Volume = 3,
    NextPreviousTrack = 4,
    Ruler = 5,
    InkColor = 6,
    InkThickness = 7,
    PenType = 8,
};

enum class RadialControllerSystemMenuItemKind : INT32 {
    Scroll = 0,
    Zoom = 1,
    UndoRedo = 2,
    Volume = 3,
    NextPreviousTrack = 4,
};

// Windows.Storage.Streams.IRandomAccessStreamReference, passed through to CreateFromIcon; the
// storage declarations at the end complete it (its IID is given here).
struct IRandomAccessStreamReference;
QUARN_WINRT_IID(IRandomAccessStreamReference, "33ee3134-1dd6-4e3a-8067-d1c162e8642b");

struct IRadialControllerScreenContact : IInspectable {
    virtual HRESULT STDMETHODCALLTYPE get_Bounds(Rect* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Position(Point* value) = 0;
};

// The arguments of ScreenContactStarted, ScreenContactContinued, ControlAcquired and
// ButtonClicked carry the contact alone.
struct IRadialControllerScreenContactStartedEventArgs : IInspectable {
    virtual HRESULT STDMETHODCALLTYPE get_Contact(IRadialControllerScreenContact** value) = 0;
};
struct IRadialControllerScreenContactContinuedEventArgs : IInspectable {
    virtual HRESULT STDMETHODCALLTYPE get_Contact(IRadialControllerScreenContact** value) = 0;
};
struct IRadialControllerControlAcquiredEventArgs : IInspectable {
    virtual HRESULT STDMETHODCALLTYPE get_Contact(IRadialControllerScreenContact** value) = 0;
};
struct IRadialControllerButtonClickedEventArgs : IInspectable {
    virtual HRESULT STDMETHODCALLTYPE get_Contact(IRadialControllerScreenContact** value) = 0;
};
struct IRadialControllerRotationChangedEventArgs : IInspectable {
    virtual HRESULT STDMETHODCALLTYPE get_RotationDeltaInDegrees(DOUBLE* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Contact(IRadialControllerScreenContact** value) = 0;
};

struct IRadialControllerMenuItem;
struct IRadialController;

// The handlers of the seven controller events and of a menu item's Invoked. ControlLost and
// ScreenContactEnded pass an object that carries nothing (TypedEventHandler<..., Object>).
using ButtonClickedHandler =
    ITypedEventHandler<IRadialController, IRadialControllerButtonClickedEventArgs>;
using ControlAcquiredHandler =
    ITypedEventHandler<IRadialController, IRadialControllerControlAcquiredEventArgs>;
using RotationChangedHandler =
    ITypedEventHandler<IRadialController, IRadialControllerRotationChangedEventArgs>;
using ScreenContactContinuedHandler =
    ITypedEventHandler<IRadialController, IRadialControllerScreenContactContinuedEventArgs>;
using ScreenContactStartedHandler =
    ITypedEventHandler<IRadialController, IRadialControllerScreenContactStartedEventArgs>;
using ControllerObjectHandler = ITypedEventHandler<IRadialController, IInspectable>;
using MenuItemInvokedHandler = ITypedEventHandler<IRadialControllerMenuItem, IInspectable>;

struct IRadialControllerMenuItem : IInspectable {
    virtual HRESULT STDMETHODCALLTYPE get_DisplayText(HSTRING* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Tag(IInspectable** value) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Tag(IInspectable* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE add_Invoked(MenuItemInvokedHandler* handler,
                                                  EventRegistrationToken* token) = 0;
    virtual HRESULT STDMETHODCALLTYPE remove_Invoked(EventRegistrationToken token) = 0;
};

struct IRadialControllerMenuItemStatics : IInspectable {
    virtual HRESULT STDMETHODCALLTYPE CreateFromIcon(HSTRING displayText,
                                                     IRandomAccessStreamReference* icon,
                                                     IRadialControllerMenuItem** result) = 0;
    virtual HRESULT STDMETHODCALLTYPE CreateFromKnownIcon(HSTRING displayText,
                                                          RadialControllerMenuKnownIcon value,
                                                          IRadialControllerMenuItem** result) = 0;
};

using MenuItemVector = IVector<IRadialControllerMenuItem*>;
using SystemMenuItemKindIterable = IIterable<RadialControllerSystemMenuItemKind>;
using SystemMenuItemKindIterator = IIterator<RadialControllerSystemMenuItemKind>;

struct IRadialControllerMenu : IInspectable {
    virtual HRESULT STDMETHODCALLTYPE get_Items(MenuItemVector** value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_IsEnabled(boolean* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_IsEnabled(boolean value) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetSelectedMenuItem(IRadialControllerMenuItem** result) = 0;
    virtual HRESULT STDMETHODCALLTYPE SelectMenuItem(IRadialControllerMenuItem* menuItem) = 0;
    virtual HRESULT STDMETHODCALLTYPE TrySelectPreviouslySelectedMenuItem(boolean* result) = 0;
};

struct IRadialControllerConfiguration : IInspectable {
    virtual HRESULT STDMETHODCALLTYPE SetDefaultMenuItems(SystemMenuItemKindIterable* buttons) = 0;
    virtual HRESULT STDMETHODCALLTYPE ResetToDefaultMenuItems() = 0;
    virtual HRESULT STDMETHODCALLTYPE
    TrySelectDefaultMenuItem(RadialControllerSystemMenuItemKind type, boolean* result) = 0;
};

struct IRadialController : IInspectable {
    virtual HRESULT STDMETHODCALLTYPE get_Menu(IRadialControllerMenu** value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_RotationResolutionInDegrees(DOUBLE* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_RotationResolutionInDegrees(DOUBLE value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_UseAutomaticHapticFeedback(boolean* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_UseAutomaticHapticFeedback(boolean value) = 0;
    virtual HRESULT STDMETHODCALLTYPE add_ScreenContactStarted(ScreenContactStartedHandler* handler,
                                                               EventRegistrationToken* token) = 0;
    virtual HRESULT STDMETHODCALLTYPE remove_ScreenContactStarted(EventRegistrationToken token) = 0;
    virtual HRESULT STDMETHODCALLTYPE add_ScreenContactEnded(ControllerObjectHandler* handler,
                                                             EventRegistrationToken* token) = 0;
    virtual HRESULT STDMETHODCALLTYPE remove_ScreenContactEnded(EventRegistrationToken token) = 0;
    virtual HRESULT STDMETHODCALLTYPE add_ScreenContactContinued(
        ScreenContactContinuedHandler* handler, EventRegistrationToken* token) = 0;
    virtual HRESULT STDMETHODCALLTYPE
    remove_ScreenContactContinued(EventRegistrationToken token) = 0;
    virtual HRESULT STDMETHODCALLTYPE add_ControlLost(ControllerObjectHandler* handler,
                                                      EventRegistrationToken* token) = 0;
    virtual HRESULT STDMETHODCALLTYPE remove_ControlLost(EventRegistrationToken token) = 0;
    virtual HRESULT STDMETHODCALLTYPE add_RotationChanged(RotationChangedHandler* handler,
                                                          EventRegistrationToken* token) = 0;
    virtual HRESULT STDMETHODCALLTYPE remove_RotationChanged(EventRegistrationToken token) = 0;
    virtual HRESULT STDMETHODCALLTYPE add_ButtonClicked(ButtonClickedHandler* handler,
                                                        EventRegistrationToken* token) = 0;
    virtual HRESULT STDMETHODCALLTYPE remove_ButtonClicked(EventRegistrationToken token) = 0;
    virtual HRESULT STDMETHODCALLTYPE add_ControlAcquired(ControlAcquiredHandler* handler,
                                                          EventRegistrationToken* token) = 0;
    virtual HRESULT STDMETHODCALLTYPE remove_ControlAcquired(EventRegistrationToken token) = 0;
};

struct IRadialControllerStatics : IInspectable {
    virtual HRESULT STDMETHODCALLTYPE IsSupported(boolean* result) = 0;
    virtual HRESULT STDMETHODCALLTYPE CreateForCurrentView(IRadialController** result) = 0;
};

// The desktop entry points: the activation factories of RadialController and
// RadialControllerConfiguration answer these for a window of a desktop application.
struct IRadialControllerInterop : IInspectable {
    virtual HRESULT STDMETHODCALLTYPE CreateForWindow(HWND window, REFIID iid, void** object) = 0;
};
struct IRadialControllerConfigurationInterop : IInspectable {
    virtual HRESULT STDMETHODCALLTYPE GetForWindow(HWND window, REFIID iid, void** object) = 0;
};

QUARN_END_COM_CLASSES

QUARN_WINRT_IID(IRadialControllerScreenContact, "206aa434-e651-11e5-bf62-2c27d7404e85");
QUARN_WINRT_IID(IRadialControllerRotationChangedEventArgs, "206aa435-e651-11e5-bf62-2c27d7404e85");
QUARN_WINRT_IID(IRadialControllerScreenContactStartedEventArgs,
                "206aa436-e651-11e5-bf62-2c27d7404e85");
QUARN_WINRT_IID(IRadialControllerScreenContactContinuedEventArgs,
                "206aa437-e651-11e5-bf62-2c27d7404e85");
QUARN_WINRT_IID(IRadialControllerButtonClickedEventArgs, "206aa438-e651-11e5-bf62-2c27d7404e85");
QUARN_WINRT_IID(IRadialControllerControlAcquiredEventArgs, "206aa439-e651-11e5-bf62-2c27d7404e85");
QUARN_WINRT_IID(IRadialControllerMenuItem, "c80fc98d-ad0b-4c9c-8f2f-136a2373a6ba");
QUARN_WINRT_IID(IRadialControllerMenuItemStatics, "249e0887-d842-4524-9df8-e0d647edc887");
QUARN_WINRT_IID(IRadialControllerMenu, "8506b35d-f640-4412-aba0-bad077e5ea8a");
QUARN_WINRT_IID(IRadialControllerConfiguration, "a6b79ecb-6a52-4430-910c-56370a9d6b42");
QUARN_WINRT_IID(IRadialController, "3055d1c8-df51-43d4-b23b-0e1037467a09");
QUARN_WINRT_IID(IRadialControllerStatics, "faded0b7-b84c-4894-87aa-8f25aa5f288b");
QUARN_WINRT_IID(IRadialControllerInterop, "1b0535c9-57ad-45c1-9d79-ad5c34360513");
QUARN_WINRT_IID(IRadialControllerConfigurationInterop, "787cdaac-3186-476d-87e4-b9374a7b9970");

// The runtime classes of the wheel device, as signatures name them.
namespace signature {
inline constexpr auto kRadialController =
    RuntimeClass("Windows.UI.Input.RadialController", InterfaceId<IRadialController>::value);
inline constexpr auto kRadialControllerMenuItem = RuntimeClass(
    "Windows.UI.Input.RadialControllerMenuItem", InterfaceId<IRadialControllerMenuItem>::value);
inline constexpr auto kSystemMenuItemKind =
    Enum("Windows.UI.Input.RadialControllerSystemMenuItemKind");

template <std::size_t N>
constexpr Guid ControllerHandler(const FixedString<N>& arguments) {
    return ParameterizedIid(PInterface(kTypedEventHandler, kRadialController, arguments));
}
}  // namespace signature

template <>
struct InterfaceId<ButtonClickedHandler> {
    static constexpr Guid value = signature::ControllerHandler(
        RuntimeClass("Windows.UI.Input.RadialControllerButtonClickedEventArgs",
                     InterfaceId<IRadialControllerButtonClickedEventArgs>::value));
};
template <>
struct InterfaceId<ControlAcquiredHandler> {
    static constexpr Guid value = signature::ControllerHandler(
        RuntimeClass("Windows.UI.Input.RadialControllerControlAcquiredEventArgs",
                     InterfaceId<IRadialControllerControlAcquiredEventArgs>::value));
};
template <>
struct InterfaceId<RotationChangedHandler> {
    static constexpr Guid value = signature::ControllerHandler(
        RuntimeClass("Windows.UI.Input.RadialControllerRotationChangedEventArgs",
                     InterfaceId<IRadialControllerRotationChangedEventArgs>::value));
};
template <>
struct InterfaceId<ScreenContactContinuedHandler> {
    static constexpr Guid value = signature::ControllerHandler(
        RuntimeClass("Windows.UI.Input.RadialControllerScreenContactContinuedEventArgs",
                     InterfaceId<IRadialControllerScreenContactContinuedEventArgs>::value));
};
template <>
struct InterfaceId<ScreenContactStartedHandler> {
    static constexpr Guid value = signature::ControllerHandler(
        RuntimeClass("Windows.UI.Input.RadialControllerScreenContactStartedEventArgs",
                     InterfaceId<IRadialControllerScreenContactStartedEventArgs>::value));
};
template <>
struct InterfaceId<ControllerObjectHandler> {
    static constexpr Guid value = signature::ControllerHandler(kObject);
};
template <>
struct InterfaceId<MenuItemInvokedHandler> {
    static constexpr Guid value = ParameterizedIid(
        PInterface(kTypedEventHandler, signature::kRadialControllerMenuItem, kObject));
};
template <>
struct InterfaceId<MenuItemVector> {
    static constexpr Guid value =
        ParameterizedIid(PInterface(kIVector, signature::kRadialControllerMenuItem));
};
template <>
struct InterfaceId<SystemMenuItemKindIterable> {
    static constexpr Guid value =
        ParameterizedIid(PInterface(kIIterable, signature::kSystemMenuItemKind));
};
template <>
struct InterfaceId<SystemMenuItemKindIterator> {
    static constexpr Guid value =
        ParameterizedIid(PInterface(kIIterator, signature::kSystemMenuItemKind));
};

// ==== Storage ===============================================================================
// Windows.Storage and Windows.Storage.Streams as the menu icons and a packaged process's folders
// reach them. MinGW lacks StorageFile, RandomAccessStreamReference, IApplicationData3 and the
// asynchronous operation; its windows.storage.h, which has the others, does not compile as C++
// with GCC (it declares enums before defining them, an MSVC extension), so they are declared
// here too. Slots before the last method used carry their real parameter kinds (enums as INT32,
// interfaces never called as IInspectable or IUnknown) so that the vtable lines up. New objects
// of ours are adopted with winrt::Adopt (com_object.h), never ComPtr::Attach, which adds a
// reference in MinGW.

QUARN_BEGIN_COM_CLASSES

// Windows.Storage.IStorageFile, the default interface of StorageFile: only handed on to
// RandomAccessStreamReference, never called.
struct IStorageFile : IInspectable {};

// Completes the declaration above: nothing here calls it either, CreateFromIcon takes it.
struct IRandomAccessStreamReference : IInspectable {};

// Windows.Storage.IStorageItem: the path of a folder.
struct IStorageItem : IInspectable {
    virtual HRESULT STDMETHODCALLTYPE RenameAsyncOverloadDefaultOptions(HSTRING desiredName,
                                                                        IInspectable** action) = 0;
    virtual HRESULT STDMETHODCALLTYPE RenameAsync(HSTRING desiredName, INT32 option,
                                                  IInspectable** action) = 0;
    virtual HRESULT STDMETHODCALLTYPE DeleteAsyncOverloadDefaultOptions(IInspectable** action) = 0;
    virtual HRESULT STDMETHODCALLTYPE DeleteAsync(INT32 option, IInspectable** action) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetBasicPropertiesAsync(IInspectable** operation) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Name(HSTRING* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Path(HSTRING* value) = 0;
};

// Windows.Storage.IStorageFolder, the default interface of StorageFolder; read through its
// IStorageItem.
struct IStorageFolder : IInspectable {};

// Windows.Storage.IApplicationData: the temporary folder.
struct IApplicationData : IInspectable {
    virtual HRESULT STDMETHODCALLTYPE get_Version(UINT32* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetVersionAsync(UINT32 desiredVersion, IUnknown* handler,
                                                      IInspectable** action) = 0;
    virtual HRESULT STDMETHODCALLTYPE ClearAllAsync(IInspectable** action) = 0;
    virtual HRESULT STDMETHODCALLTYPE ClearAsync(INT32 locality, IInspectable** action) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_LocalSettings(IInspectable** value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_RoamingSettings(IInspectable** value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_LocalFolder(IStorageFolder** value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_RoamingFolder(IStorageFolder** value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_TemporaryFolder(IStorageFolder** value) = 0;
};

// Windows.Storage.IApplicationData2: the local cache folder.
struct IApplicationData2 : IInspectable {
    virtual HRESULT STDMETHODCALLTYPE get_LocalCacheFolder(IStorageFolder** value) = 0;
};

// Windows.Storage.IApplicationData3: the publisher's cache folder (Windows 10 on).
struct IApplicationData3 : IInspectable {
    virtual HRESULT STDMETHODCALLTYPE GetPublisherCacheFolder(HSTRING folderName,
                                                              IStorageFolder** folder) = 0;
};

// Windows.Storage.IApplicationDataStatics, the factory of "Windows.Storage.ApplicationData".
struct IApplicationDataStatics : IInspectable {
    virtual HRESULT STDMETHODCALLTYPE get_Current(IApplicationData** data) = 0;
};

template <class Result>
struct IAsyncOperationCompletedHandler;

// Windows.Foundation.IAsyncOperation<T> for a result whose ABI interface is `Result`. Its status
// and error come from IAsyncInfo, which every operation also implements.
template <class Result>
struct IAsyncOperation : IInspectable {
    virtual HRESULT STDMETHODCALLTYPE
    put_Completed(IAsyncOperationCompletedHandler<Result>* handler) = 0;
    virtual HRESULT STDMETHODCALLTYPE
    get_Completed(IAsyncOperationCompletedHandler<Result>** handler) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetResults(Result** results) = 0;
};

// Windows.Foundation.AsyncOperationCompletedHandler<T>: called once, with the final status, on
// whichever thread completes the operation.
template <class Result>
struct IAsyncOperationCompletedHandler : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Invoke(IAsyncOperation<Result>* operation,
                                             AsyncStatus status) = 0;
};

using StorageFileOperation = IAsyncOperation<IStorageFile>;
using StorageFileCompletedHandler = IAsyncOperationCompletedHandler<IStorageFile>;

// Windows.Storage.IStorageFileStatics, the factory of "Windows.Storage.StorageFile".
struct IStorageFileStatics : IInspectable {
    virtual HRESULT STDMETHODCALLTYPE GetFileFromPathAsync(HSTRING path,
                                                           StorageFileOperation** operation) = 0;
};

// Windows.Storage.Streams.IRandomAccessStreamReferenceStatics, the factory of
// "Windows.Storage.Streams.RandomAccessStreamReference".
struct IRandomAccessStreamReferenceStatics : IInspectable {
    virtual HRESULT STDMETHODCALLTYPE CreateFromFile(IStorageFile* file,
                                                     IRandomAccessStreamReference** reference) = 0;
};

QUARN_END_COM_CLASSES

QUARN_WINRT_IID(IAsyncInfo, "00000036-0000-0000-c000-000000000046");
QUARN_WINRT_IID(IStorageFile, "fa3f6186-4214-428c-a64c-14c9ac7315ea");
QUARN_WINRT_IID(IStorageItem, "4207a996-ca2f-42f7-bde8-8b10457a7f30");
QUARN_WINRT_IID(IStorageFolder, "72d1cb78-b3ef-4f75-a80b-6fd9dae2944b");
QUARN_WINRT_IID(IApplicationData, "c3da6fb7-b744-4b45-b0b8-223a0938d0dc");
QUARN_WINRT_IID(IApplicationData2, "9e65cd69-0ba3-4e32-be29-b02de6607638");
QUARN_WINRT_IID(IApplicationData3, "dc222cf4-2772-4c1d-aa2c-c9f743ade8d1");
QUARN_WINRT_IID(IApplicationDataStatics, "5612147b-e843-45e3-94d8-06169e3c8e17");
QUARN_WINRT_IID(IStorageFileStatics, "5984c710-daf2-43c8-8bb4-a4d3eacfd03f");
QUARN_WINRT_IID(IRandomAccessStreamReferenceStatics, "857309dc-3fbf-4e7d-986f-ef3b1a07a964");

namespace signature {
inline constexpr auto kStorageFile =
    RuntimeClass("Windows.Storage.StorageFile", InterfaceId<IStorageFile>::value);
}  // namespace signature

template <>
struct InterfaceId<StorageFileOperation> {
    static constexpr Guid value =
        ParameterizedIid(PInterface(kIAsyncOperation, signature::kStorageFile));
};
template <>
struct InterfaceId<StorageFileCompletedHandler> {
    static constexpr Guid value =
        ParameterizedIid(PInterface(kAsyncOperationCompletedHandler, signature::kStorageFile));
};

// What blocking_suspend needs to know of an operation type: its result and its handler.
template <class Operation>
struct AsyncOperationTraits;
template <class Result>
struct AsyncOperationTraits<IAsyncOperation<Result>> {
    using ResultType = Result;
    using Handler = IAsyncOperationCompletedHandler<Result>;
};

// The runtime classes the storage code activates.
inline constexpr std::u16string_view kStorageFileClass = u"Windows.Storage.StorageFile";
inline constexpr std::u16string_view kRandomAccessStreamReferenceClass =
    u"Windows.Storage.Streams.RandomAccessStreamReference";
inline constexpr std::u16string_view kApplicationDataClass = u"Windows.Storage.ApplicationData";

// ==== End of storage ========================================================================

}  // namespace Quarn::WinRT::winrt::abi
