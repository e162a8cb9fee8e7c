// The IIDs of our own Windows Runtime declarations against the published ones, parsed by the
// platform's own IIDFromString; and the entry points looked up at run time, under Wine, where
// combase answers but knows no wheel class.
#include <gtest/gtest.h>

#include <objbase.h>
#include <oleauto.h>

#include <string>

#include "bindings/platform/com_classes.h"
#include "bindings/winrt/abi.h"
#include "bindings/winrt/com_object.h"
#include "bindings/winrt/runtime_functions.h"

namespace Quarn::WinRT::winrt {
namespace {

TEST(WinRtAbi, IidsMatchThePublishedOnes) {
    using namespace abi;
    const std::pair<GUID, const wchar_t*> cases[] = {
        {kIid<IInspectable>, L"{af86e2e0-b12d-4c6a-9c5a-d7aa65101e90}"},
        {kIid<IWeakReferenceSource>, L"{00000038-0000-0000-c000-000000000046}"},
        {kIid<IRadialController>, L"{3055d1c8-df51-43d4-b23b-0e1037467a09}"},
        {kIid<IRadialControllerInterop>, L"{1b0535c9-57ad-45c1-9d79-ad5c34360513}"},
        {kIid<IRadialControllerConfigurationInterop>, L"{787cdaac-3186-476d-87e4-b9374a7b9970}"},
        {kIid<ButtonClickedHandler>, L"{d09d9fcc-edb8-56c0-856d-70e477a9ddf3}"},
        {kIid<ControlAcquiredHandler>, L"{4ec5f3fd-b217-5452-a2bd-9725ce9f6675}"},
        {kIid<RotationChangedHandler>, L"{8fe73ac9-8a36-5152-815d-03310ee8bf85}"},
        {kIid<ScreenContactContinuedHandler>, L"{30579e67-fb4f-5d38-83b4-9cb610090def}"},
        {kIid<ScreenContactStartedHandler>, L"{1f2d584e-3ad8-5049-b451-3a44a102fa82}"},
        {kIid<ControllerObjectHandler>, L"{5e0f93b1-c2f2-5351-82aa-6cf5f4c2d068}"},
        {kIid<MenuItemInvokedHandler>, L"{5c90d6fb-e4f8-5be2-8544-9de33f82c41a}"},
        {kIid<MenuItemVector>, L"{bfde94e7-70f8-5cc0-98e2-8c0f8ce524ab}"},
        {kIid<SystemMenuItemKindIterable>, L"{4516010f-fd98-5e1d-bf3f-aeaf79f1f3da}"},
        {kIid<SystemMenuItemKindIterator>, L"{3fbc1858-a43e-54dc-b0e2-8b098bddacf6}"},
        {kIid<StorageFileOperation>, L"{5e52f8ce-aced-5a42-95b4-f674dd84885e}"},
        {kIid<StorageFileCompletedHandler>, L"{e521c894-2c26-5946-9e61-2b5e188d01ed}"},
        {kIid<IAsyncInfo>, L"{00000036-0000-0000-c000-000000000046}"},
        {kIid<IStorageFile>, L"{fa3f6186-4214-428c-a64c-14c9ac7315ea}"},
        {kIid<IStorageFileStatics>, L"{5984c710-daf2-43c8-8bb4-a4d3eacfd03f}"},
        {kIid<IRandomAccessStreamReferenceStatics>, L"{857309dc-3fbf-4e7d-986f-ef3b1a07a964}"},
        {kIid<IStorageItem>, L"{4207a996-ca2f-42f7-bde8-8b10457a7f30}"},
        {kIid<IStorageFolder>, L"{72d1cb78-b3ef-4f75-a80b-6fd9dae2944b}"},
        {kIid<IApplicationData>, L"{c3da6fb7-b744-4b45-b0b8-223a0938d0dc}"},
        {kIid<IApplicationData2>, L"{9e65cd69-0ba3-4e32-be29-b02de6607638}"},
        {kIid<IApplicationData3>, L"{dc222cf4-2772-4c1d-aa2c-c9f743ade8d1}"},
        {kIid<IApplicationDataStatics>, L"{5612147b-e843-45e3-94d8-06169e3c8e17}"},
    };
    for (const auto& [ours, published] : cases) {
        GUID parsed{};
        EXPECT_EQ(IIDFromString(published, &parsed), S_OK) << published;
        EXPECT_TRUE(IsEqualGUID(ours, parsed)) << published;
    }
    // The platform's own declarations agree where MinGW has them.
    EXPECT_TRUE(IsEqualGUID(kIid<IAgileObject>, IID_IAgileObject));
    EXPECT_TRUE(IsEqualGUID(kIid<IActivationFactory>, __uuidof(IActivationFactory)));
    EXPECT_TRUE(IsEqualGUID(kIid<IMarshal>, IID_IMarshal));
}

TEST(RuntimeFunctionsTest, WithoutTheRuntimeEveryEntryPointRaises) {
    const RuntimeFunctions absent;
    void* factory = this;
    EXPECT_THROW(GetActivationFactory(u"Windows.UI.Input.RadialController",
                                      abi::kIid<abi::IRadialControllerInterop>, &factory, absent),
                 platform::PlatformError);
    EXPECT_EQ(factory, nullptr);
    EXPECT_THROW(HString(u"text", absent), platform::PlatformError);
}

TEST(RuntimeFunctionsTest, StringsRoundTrip) {
    ASSERT_TRUE(Runtime().Available()) << "Wine's combase has the entry points";
    const std::u16string texts[] = {
        u"", u"Windows.UI.Input.RadialController",
        std::u16string(u"before\0after", 12),  // an embedded null belongs to the string
        u"\U0001F3A8 Farbe",                   // a surrogate pair
    };
    for (const std::u16string& text : texts) {
        const HString string(text);
        EXPECT_EQ(string.View(), text);
        EXPECT_EQ(string.Get() == nullptr, text.empty()) << "the empty string is the null HSTRING";
    }
    HString first(u"moved");
    HString second(std::move(first));
    EXPECT_EQ(first.Get(), nullptr);
    first = std::move(second);
    EXPECT_EQ(second.Get(), nullptr);
    EXPECT_EQ(first.View(), u"moved");
}

// Restricted error information as a failing call leaves it on the thread.
class FakeErrorInfo final : public ComObject<abi::IRestrictedErrorInfo> {
public:
    FakeErrorInfo(HRESULT code, const wchar_t* restricted)
        : m_code(code), m_restricted(restricted) {}
    HRESULT STDMETHODCALLTYPE GetErrorDetails(BSTR* description, HRESULT* error, BSTR* restricted,
                                              BSTR* capability) override {
        *description = SysAllocString(L"general");
        *error = m_code;
        *restricted = SysAllocString(m_restricted);
        *capability = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetReference(BSTR*) override { return E_NOTIMPL; }

private:
    HRESULT m_code;
    const wchar_t* m_restricted;
};

Microsoft::WRL::ComPtr<abi::IRestrictedErrorInfo> g_threadError;  // test thread only

HRESULT WINAPI TakeThreadError(abi::IRestrictedErrorInfo** info) {
    *info = g_threadError.Detach();
    return *info ? S_OK : S_FALSE;
}

// The restricted text about the same code, else the description, else the system's text for the
// code, else the code; success codes pass.
TEST(RuntimeFunctionsTest, MessagesPreferTheRestrictedTextAboutTheSameCode) {
    RuntimeFunctions runtime = Runtime();
    runtime.getRestrictedErrorInfo = &TakeThreadError;
    const std::u16string systemText = ErrorMessage(E_ACCESSDENIED, RuntimeFunctions{});
    ASSERT_FALSE(systemText.empty());
    const struct {
        HRESULT infoCode;  // none: S_OK
        const wchar_t* restricted;
        std::u16string expected;
    } cases[] = {
        {E_ACCESSDENIED, L"The folder is locked.", u"The folder is locked."},
        {E_ACCESSDENIED, L"", u"general"},
        {E_FAIL, L"another code's", systemText},
        {S_OK, nullptr, systemText},
    };
    for (const auto& c : cases) {
        if (c.restricted) {
            g_threadError =
                Adopt<abi::IRestrictedErrorInfo>(new FakeErrorInfo(c.infoCode, c.restricted));
        }
        EXPECT_EQ(ErrorMessage(E_ACCESSDENIED, runtime), c.expected);
    }
    EXPECT_EQ(ErrorMessage(static_cast<HRESULT>(0x8FFF1234)), u"Error 0x8FFF1234");
    EXPECT_NO_THROW(ThrowIfFailed(S_FALSE));
}

}  // namespace
}  // namespace Quarn::WinRT::winrt
