// The IInspectable that carries a menu entry's tag: its identity as a Windows Runtime object,
// its weak reference, and the class's activation through the DLL's own export, loaded as the
// platform would load an in-process server.
#include <gtest/gtest.h>

#include <objbase.h>

#include <string>
#include <utility>

#include "bindings/winrt/runtime_functions.h"
#include "bindings/winrt/runtime_tag_object.h"
#include "tests/windows/fake_winrt.h"
#include "tests/windows/win32_host.h"

namespace Quarn::WinRT::testing {
namespace {

// A carried object of the tag's class that notes its own end.
class Carried final : public platform::Inspectable {
public:
    explicit Carried(bool& gone) : m_gone(gone) {}
    ~Carried() override { m_gone = true; }
    std::u16string_view GetRuntimeClassName() const override { return u"Corvanta.MenuItemTag"; }

private:
    bool& m_gone;
};

// What every tag answers, however it was made.
void ExpectTagIdentity(IInspectable* tag) {
    ULONG count = 0;
    IID* iids = nullptr;
    ASSERT_EQ(tag->GetIids(&count, &iids), S_OK);
    ASSERT_EQ(count, 2u);
    EXPECT_TRUE(IsEqualGUID(iids[0], abi::kIid<IInspectable>));
    EXPECT_TRUE(IsEqualGUID(iids[1], abi::kIid<abi::IWeakReferenceSource>));
    CoTaskMemFree(iids);
    TrustLevel level = FullTrust;
    EXPECT_TRUE(SUCCEEDED(tag->GetTrustLevel(&level)) && level == BaseTrust);
    EXPECT_EQ(ClassNameOf(tag), u"Corvanta.MenuItemTag");
    EXPECT_TRUE(MarshalsFreeThreaded(tag)) << "agile, with the free-threaded marshaller";

    ComPtr<IUnknown> identity;
    ASSERT_EQ(tag->QueryInterface(abi::kIid<IUnknown>, &identity), S_OK);
    for (const auto& [iid, answered] :
         {std::pair{abi::kIid<IInspectable>, true},
          std::pair{abi::kIid<abi::IWeakReferenceSource>, true},
          std::pair{abi::kIid<IAgileObject>, true}, std::pair{abi::kIid<IActivationFactory>, false},
          std::pair{abi::kIid<abi::IRadialControllerMenuItem>, false}}) {
        ComPtr<IUnknown> answer;
        EXPECT_EQ(SUCCEEDED(tag->QueryInterface(iid, &answer)), answered);
        ComPtr<IUnknown> back;
        EXPECT_TRUE(!answer || (answer.As(&back) == S_OK && back == identity)) << "one identity";
    }
}

TEST(MenuItemTagObject, IsAWindowsRuntimeObjectWithAWeakReferenceThatDoesNotKeepIt) {
    bool gone = false;
    auto tag = winrt::MakeInspectable(platform::MakeRef<Carried>(gone));
    ExpectTagIdentity(tag.Get());
    ComPtr<abi::IWeakReferenceSource> source;
    ASSERT_EQ(tag->QueryInterface(abi::kIid<abi::IWeakReferenceSource>, &source), S_OK);
    ComPtr<abi::IWeakReference> weak;
    ASSERT_EQ(source->GetWeakReference(weak.GetAddressOf()), S_OK);
    EXPECT_TRUE(MarshalsFreeThreaded(weak.Get()));
    source.Reset();

    ComPtr<IInspectable> resolved;
    ASSERT_EQ(weak->Resolve(abi::kIid<IInspectable>, resolved.GetAddressOf()), S_OK);
    EXPECT_EQ(resolved.Get(), tag.Get());
    resolved.Reset();
    EXPECT_FALSE(gone) << "the weak reference does not keep the tag";
    tag.Reset();
    EXPECT_TRUE(gone) << "the last strong reference ends the carried object";
    EXPECT_EQ(weak->Resolve(abi::kIid<IInspectable>, resolved.GetAddressOf()), S_OK);
    EXPECT_EQ(resolved.Get(), nullptr);
}

// Quarn.WinRT.dll, loaded by name from beside the test executable, as the platform loads an
// in-process server: the tag's class activates, every other class or a missing argument is
// refused, and the DLL can unload once nothing of its own is alive.
TEST(DllExports, TheTagsClassActivatesToATagWithNoItemAndOtherClassesAreRefused) {
    const HMODULE dll = LoadLibraryW(L"Quarn.WinRT.dll");
    ASSERT_NE(dll, nullptr);
    const auto getFactory = reinterpret_cast<HRESULT(WINAPI*)(HSTRING, IActivationFactory**)>(
        reinterpret_cast<void*>(GetProcAddress(dll, "DllGetActivationFactory")));
    const auto canUnload = reinterpret_cast<HRESULT(WINAPI*)()>(
        reinterpret_cast<void*>(GetProcAddress(dll, "DllCanUnloadNow")));
    ASSERT_TRUE(getFactory && canUnload);
    EXPECT_EQ(canUnload(), S_OK) << "nothing of the DLL's is alive yet";
    {
        ComPtr<IActivationFactory> factory;
        ASSERT_EQ(getFactory(winrt::HString(u"Corvanta.MenuItemTag").Get(), &factory), S_OK);
        ComPtr<IInspectable> tag;
        ASSERT_EQ(factory->ActivateInstance(&tag), S_OK);
        ExpectTagIdentity(tag.Get());
        EXPECT_EQ(canUnload(), S_FALSE) << "its factory and tag are alive";
    }
    EXPECT_EQ(canUnload(), S_OK);

    // Class names are exact.
    int notAFactory = 0;
    for (const char16_t* name : {u"Corvanta.MenuItemTag2", u"corvanta.menuitemtag",
                                 u"Windows.UI.Input.RadialController", u""}) {
        IActivationFactory* factory = reinterpret_cast<IActivationFactory*>(&notAFactory);
        EXPECT_EQ(getFactory(winrt::HString(name).Get(), &factory), CLASS_E_CLASSNOTAVAILABLE);
        EXPECT_EQ(factory, nullptr);
    }
    EXPECT_EQ(getFactory(winrt::HString(u"Corvanta.MenuItemTag").Get(), nullptr), E_POINTER);
    EXPECT_TRUE(FreeLibrary(dll));
}

}  // namespace
}  // namespace Quarn::WinRT::testing
