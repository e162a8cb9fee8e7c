// The Windows Runtime backends under Wine. Wine registers none of the classes they need, so
// asking for one fails; the wheel's wrappers, our delegates and our iterable are driven through
// objects of the tests' own that implement the platform's ABI. What a dial does with them is the
// simulated tests'.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <new>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "bindings/platform/services.h"
#include "bindings/platform/win_backends.h"
#include "bindings/wheel/winrt_wheel.h"
#include "bindings/winrt/delegate.h"
#include "bindings/winrt/vector_iterable.h"
#include "dial/menu_item_tag.h"
#include "tests/windows/fake_radial_controller.h"
#include "tests/windows/win32_host.h"

namespace Quarn::WinRT::testing {
namespace {

using platform::PlatformError;
using platform::Ref;

class WinRtWheelTest : public ::testing::Test {
    ComApartment m_apartment;
};

// Wine registers no wheel, storage or application data class: every backend call that needs one
// raises the platform's error with its text (what the core does then is the fault sweep's).
TEST_F(WinRtWheelTest, OnWineEveryWindowsRuntimeClassIsMissing) {
    platform::WheelPlatform& wheel = platform::WinRtWheel();
    ASSERT_EQ(platform::DefaultServices().wheel, &wheel);
    ASSERT_EQ(platform::DefaultServices().graphics, &platform::Direct3DGraphics());
    const HostWindow window{RECT{100, 100, 900, 700}};
    const std::pair<const char*, std::function<void()>> calls[] = {
        {"IsSupported", [&] { wheel.IsSupported(); }},
        {"CreateForWindow", [&] { wheel.CreateForWindow(window.Handle()); }},
        {"GetConfigurationForWindow", [&] { wheel.GetConfigurationForWindow(window.Handle()); }},
        {"CreateMenuItemFromKnownIcon",
         [&] { wheel.CreateMenuItemFromKnownIcon(u"Size", platform::KnownIcon::PenType); }},
        {"LoadIconStream", [] { platform::Win32Files().LoadIconStream(u"C:\\size.png"); }},
        {"CurrentApplicationData", [] { platform::Win32Package().CurrentApplicationData(); }},
    };
    for (const auto& [name, call] : calls) {
        HRESULT code = S_OK;
        try {
            call();
        } catch (const PlatformError& error) {
            code = error.Code();
            EXPECT_FALSE(error.Message().empty()) << name;
        }
        EXPECT_EQ(code, REGDB_E_CLASSNOTREG) << name;
    }
}

TEST(EventDelegate, RunsItsFunctionAndTurnsEscapingErrorsIntoFailureResults) {
    const std::pair<std::function<HRESULT()>, HRESULT> cases[] = {
        {[] { return S_FALSE; }, S_FALSE},
        {[]() -> HRESULT { throw PlatformError(E_ACCESSDENIED, "no"); }, E_ACCESSDENIED},
        {[]() -> HRESULT { throw PlatformError(S_FALSE, ""); }, E_FAIL},
        {[]() -> HRESULT { throw std::runtime_error("broken"); }, E_FAIL},
        {[]() -> HRESULT { throw std::bad_alloc(); }, E_OUTOFMEMORY},
        {[]() -> HRESULT { throw 42; }, E_FAIL},
    };
    const long before = winrt::g_liveObjects.load();
    for (const auto& [body, expected] : cases) {
        auto handler = winrt::MakeDelegate<abi::RotationChangedHandler>(
            [&](abi::IRadialController*, abi::IRadialControllerRotationChangedEventArgs*) {
                return body();
            });
        EXPECT_EQ(handler->Invoke(nullptr, nullptr), expected);
    }
    EXPECT_EQ(winrt::g_liveObjects.load(), before) << "every delegate was freed";

    // A delegate is agile with the free-threaded marshaller, answers its handler's interface,
    // and is no Windows Runtime object.
    const auto handler = winrt::MakeDelegate<abi::MenuItemInvokedHandler>(
        [](abi::IRadialControllerMenuItem*, IInspectable*) { return S_OK; });
    EXPECT_TRUE(MarshalsFreeThreaded(handler.Get()));
    for (const auto& [iid, answered] : {std::pair{abi::kIid<abi::MenuItemInvokedHandler>, true},
                                        std::pair{abi::kIid<IInspectable>, false},
                                        std::pair{abi::kIid<abi::RotationChangedHandler>, false}}) {
        ComPtr<IUnknown> answer;
        EXPECT_EQ(SUCCEEDED(handler->QueryInterface(iid, &answer)), answered);
    }
}

TEST(VectorIterable, WalksItsValuesAsThePlatformReadsThem) {
    using Kind = abi::RadialControllerSystemMenuItemKind;
    auto iterable = winrt::MakeIterable(
        std::vector<Kind>{Kind::Volume, Kind::NextPreviousTrack, Kind::Zoom}, u"K");
    ComPtr<abi::SystemMenuItemKindIterator> iterator;
    ASSERT_EQ(iterable->First(iterator.GetAddressOf()), S_OK);
    EXPECT_EQ(ClassNameOf(iterator.Get()), u"Windows.Foundation.Collections.IIterator`1<K>");
    iterable.Reset();  // the iterator keeps its iterable alive

    boolean has = 0;
    Kind kinds[4] = {};
    ASSERT_TRUE(SUCCEEDED(iterator->get_HasCurrent(&has)) && has);
    ASSERT_EQ(iterator->get_Current(&kinds[0]), S_OK);
    EXPECT_EQ(kinds[0], Kind::Volume);
    ASSERT_EQ(iterator->MoveNext(&has), S_OK);
    UINT32 actual = 0;
    ASSERT_EQ(iterator->GetMany(4, kinds, &actual), S_OK);  // copies what is left, and advances
    EXPECT_EQ(actual, 2u);
    EXPECT_EQ(kinds[1], Kind::Zoom);
    EXPECT_EQ(iterator->get_Current(&kinds[0]), winrt::kBoundsError);
    ASSERT_EQ(iterator->MoveNext(&has), S_OK) << "moving past the end stays there";
    EXPECT_FALSE(has);
    ASSERT_EQ(iterator->GetMany(4, kinds, &actual), S_OK);
    EXPECT_EQ(actual, 0u);
}

// A controller wrapper over a fake, with what each handler saw as text.
class WrappedController : public WinRtWheelTest {
protected:
    template <class Args>
    platform::ControllerHandler<Args> Record(const char* event) {
        return [this, event](platform::RadialController& sender, const Args& args) {
            EXPECT_EQ(&sender, controller.Get()) << event << ": the wrapper is the sender";
            double delta = 0;
            Ref<platform::ScreenContact> contact;
            if constexpr (std::is_base_of_v<platform::RotationChangedArgs, Args>) {
                delta = args.RotationDeltaInDegrees();
                contact = args.Contact();
            } else if constexpr (std::is_base_of_v<platform::ContactEventArgs, Args>) {
                contact = args.Contact();
            }
            const platform::Rect bounds = contact ? contact->Bounds() : platform::Rect{};
            char text[96];
            std::snprintf(text, sizeof text, "%s %g %s%g %g %g %g", event, delta,
                          contact ? "at " : "", bounds.x, bounds.y, bounds.width, bounds.height);
            seen.emplace_back(text);
            return S_OK;
        };
    }

    ComPtr<FakeController> fake = Make<FakeController>();
    Ref<platform::RadialController> controller = platform::WrapRadialController(fake);
    std::vector<std::string> seen;
};

TEST_F(WrappedController, EachEventReachesItsHandlerWithTheArgumentsRead) {
    using platform::ContactEventArgs;
    using platform::ControllerEventArgs;
    controller->AddButtonClicked(Record<ControllerEventArgs>("ButtonClicked"));
    controller->AddControlAcquired(Record<ContactEventArgs>("ControlAcquired"));
    const auto lost = controller->AddControlLost(Record<ControllerEventArgs>("ControlLost"));
    controller->AddRotationChanged(Record<platform::RotationChangedArgs>("RotationChanged"));
    controller->AddScreenContactContinued(Record<ContactEventArgs>("ScreenContactContinued"));
    controller->AddScreenContactEnded(Record<ControllerEventArgs>("ScreenContactEnded"));
    controller->AddScreenContactStarted(Record<ContactEventArgs>("ScreenContactStarted"));

    // Each raise reaches its own handler once, the arguments read.
    const auto on = Make<FakeArgs>(-3.5, Make<FakeContact>(abi::Rect{10, 20, 30, 40}));
    const auto off = Make<FakeArgs>(1.0, nullptr);
    IInspectable* const none = nullptr;
    FakeController& f = *fake.Get();
    for (const HRESULT result :
         {f.RotationChanged.Raise(&f, on.Get()), f.RotationChanged.Raise(&f, off.Get()),
          f.ScreenContactStarted.Raise(&f, on.Get()), f.ScreenContactContinued.Raise(&f, on.Get()),
          f.ControlAcquired.Raise(&f, off.Get()), f.ButtonClicked.Raise(&f, on.Get()),
          f.ControlLost.Raise(&f, none), f.ScreenContactEnded.Raise(&f, none)}) {
        EXPECT_EQ(result, S_OK);
    }
    EXPECT_EQ(seen, (std::vector<std::string>{
                        "RotationChanged -3.5 at 10 20 30 40", "RotationChanged 1 0 0 0 0",
                        "ScreenContactStarted 0 at 10 20 30 40",
                        "ScreenContactContinued 0 at 10 20 30 40", "ControlAcquired 0 0 0 0 0",
                        "ButtonClicked 0 0 0 0 0", "ControlLost 0 0 0 0 0",
                        "ScreenContactEnded 0 0 0 0 0"}));

    // A token ends its own subscription only (ControlLost and ScreenContactEnded share the
    // handler type and the platform's first token); the wrapper ends the rest.
    controller->RemoveHandler(lost);
    EXPECT_EQ(fake->ControlLost.Count(), 0u);
    EXPECT_EQ(fake->ScreenContactEnded.Count(), 1u);
    controller->RemoveHandler(lost);    // already gone: ignored
    controller->RemoveHandler(999999);  // never given: ignored
    EXPECT_EQ(fake->HandlerCount(), 6u);
    controller.Reset();
    EXPECT_EQ(fake->HandlerCount(), 0u) << "no delegate outlives the wrapper it calls";
}

// A menu entry's tag leads back to the same object; another object in the tag, or none, is no
// tag. Invoked reaches its handler, with the entry read back, until removed.
TEST(WrappedMenuItem, TagsAndInvoked) {
    const auto fake = Make<FakeMenuItem>(u"Opacity");
    const auto entry = platform::WrapRadialControllerMenuItem(fake, u"Opacity", nullptr,
                                                              platform::KnownIcon::Ruler);
    const auto tag = platform::MakeRef<detail::MenuItemTag>();
    entry->SetTag(tag);
    EXPECT_EQ(entry->Tag().Get(), tag.Get());
    fake->tag = winrt::MakeIterable(std::vector<abi::RadialControllerSystemMenuItemKind>{}, u"K");
    EXPECT_FALSE(entry->Tag());
    entry->SetTag(nullptr);
    EXPECT_EQ(fake->tag, nullptr);
    fake->tagFailure = E_ACCESSDENIED;
    EXPECT_THROW(entry->Tag(), PlatformError);

    const auto token = entry->AddInvoked([](platform::RadialControllerMenuItem& sender) {
        return sender.DisplayText() == u"Opacity" ? E_NOINTERFACE : E_FAIL;
    });
    IInspectable* const none = nullptr;
    EXPECT_EQ(fake->Invoked.Raise(static_cast<abi::IRadialControllerMenuItem*>(fake.Get()), none),
              E_NOINTERFACE);
    entry->RemoveInvoked(token);
    EXPECT_EQ(fake->Invoked.Count(), 0u);
}

}  // namespace
}  // namespace Quarn::WinRT::testing
