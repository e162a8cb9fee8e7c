// The Windows Runtime wheel backend under Wine. Wine registers no wheel class, so asking for
// one fails; the wrappers, our delegates and our iterable are driven through objects of the
// tests' own that implement the platform's ABI. What a dial does with them is the simulated
// tests'.
#include <gtest/gtest.h>

#include <objbase.h>

#include <cstdio>
#include <functional>
#include <new>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <vector>

#include "bindings/platform/services.h"
#include "bindings/platform/win_backends.h"
#include "bindings/wheel/winrt_wheel.h"
#include "bindings/winrt/delegate.h"
#include "bindings/winrt/runtime_tag_object.h"
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

// Wine registers no wheel class: every call of the backend raises the platform's error (what
// an inert dial does then is the fault sweep's).
TEST_F(WinRtWheelTest, OnWineEveryWheelClassIsMissing) {
    platform::WheelPlatform& wheel = platform::WinRtWheel();
    ASSERT_EQ(platform::DefaultServices().wheel, &wheel);
    const HostWindow window{RECT{100, 100, 900, 700}};
    const std::pair<const char*, std::function<void()>> calls[] = {
        {"IsSupported", [&] { wheel.IsSupported(); }},
        {"CreateForWindow", [&] { wheel.CreateForWindow(window.Handle()); }},
        {"GetConfigurationForWindow", [&] { wheel.GetConfigurationForWindow(window.Handle()); }},
        {"CreateMenuItemFromKnownIcon",
         [&] { wheel.CreateMenuItemFromKnownIcon(u"Size", platform::KnownIcon::PenType); }},
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
    struct Case {
        const char* what;
        std::function<HRESULT()> body;
        HRESULT expected;
    };
    const Case cases[] = {
        {"its own result", [] { return S_FALSE; }, S_FALSE},
        {"a platform error's code", []() -> HRESULT { throw PlatformError(E_ACCESSDENIED, "no"); },
         E_ACCESSDENIED},
        {"a platform error with a success code",
         []() -> HRESULT { throw PlatformError(S_FALSE, ""); }, E_FAIL},
        {"a standard exception", []() -> HRESULT { throw std::runtime_error("broken"); }, E_FAIL},
        {"memory running out", []() -> HRESULT { throw std::bad_alloc(); }, E_OUTOFMEMORY},
        {"anything else", []() -> HRESULT { throw 42; }, E_FAIL},
    };
    const long before = winrt::g_liveObjects.load();
    for (const Case& c : cases) {
        auto handler = winrt::MakeDelegate<abi::RotationChangedHandler>(
            [&](abi::IRadialController*, abi::IRadialControllerRotationChangedEventArgs*) {
                return c.body();
            });
        EXPECT_EQ(handler->Invoke(nullptr, nullptr), c.expected) << c.what;
    }
    EXPECT_EQ(winrt::g_liveObjects.load(), before) << "every delegate was freed";

    // A delegate is agile with the free-threaded marshaller, answers its handler's interface,
    // and is no Windows Runtime object.
    const auto handler = winrt::MakeDelegate<abi::MenuItemInvokedHandler>(
        [](abi::IRadialControllerMenuItem*, IInspectable*) { return S_OK; });
    EXPECT_TRUE(MarshalsFreeThreaded(handler.Get()));
    for (const auto& [iid, answered] :
         {std::pair{abi::kIid<abi::MenuItemInvokedHandler>, true},
          std::pair{abi::kIid<IAgileObject>, true}, std::pair{abi::kIid<IInspectable>, false},
          std::pair{abi::kIid<abi::RotationChangedHandler>, false}}) {
        ComPtr<IUnknown> answer;
        EXPECT_EQ(SUCCEEDED(handler->QueryInterface(iid, &answer)), answered);
    }
}

TEST(VectorIterable, WalksItsValuesAsThePlatformReadsThem) {
    using Kind = abi::RadialControllerSystemMenuItemKind;
    auto iterable = winrt::MakeIterable(
        std::vector<Kind>{Kind::Volume, Kind::NextPreviousTrack, Kind::Zoom}, u"K");
    EXPECT_EQ(ClassNameOf(iterable.Get()), u"Windows.Foundation.Collections.IIterable`1<K>");
    ComPtr<abi::SystemMenuItemKindIterator> iterator;
    ASSERT_EQ(iterable->First(iterator.GetAddressOf()), S_OK);
    EXPECT_EQ(ClassNameOf(iterator.Get()), u"Windows.Foundation.Collections.IIterator`1<K>");
    EXPECT_TRUE(MarshalsFreeThreaded(iterable.Get()));
    iterable.Reset();  // the iterator keeps its iterable alive

    boolean has = 0;
    Kind kinds[4] = {};
    ASSERT_EQ(iterator->get_Current(&kinds[0]), S_OK);
    EXPECT_EQ(kinds[0], Kind::Volume);
    ASSERT_EQ(iterator->MoveNext(&has), S_OK);
    EXPECT_TRUE(has);
    UINT32 actual = 0;
    ASSERT_EQ(iterator->GetMany(4, kinds, &actual), S_OK);  // copies what is left, and advances
    EXPECT_EQ(actual, 2u);
    EXPECT_EQ(kinds[1], Kind::Zoom);
    ASSERT_EQ(iterator->get_HasCurrent(&has), S_OK);
    EXPECT_FALSE(has);
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
    controller->AddButtonClicked(Record<platform::ControllerEventArgs>("ButtonClicked"));
    controller->AddControlAcquired(Record<platform::ContactEventArgs>("ControlAcquired"));
    controller->AddControlLost(Record<platform::ControllerEventArgs>("ControlLost"));
    controller->AddRotationChanged(Record<platform::RotationChangedArgs>("RotationChanged"));
    controller->AddScreenContactContinued(
        Record<platform::ContactEventArgs>("ScreenContactContinued"));
    controller->AddScreenContactEnded(Record<platform::ControllerEventArgs>("ScreenContactEnded"));
    controller->AddScreenContactStarted(Record<platform::ContactEventArgs>("ScreenContactStarted"));
    EXPECT_EQ(fake->HandlerCount(), 7u);

    // Each raise reaches its own handler once, the arguments read.
    const auto contact = Make<FakeContact>(abi::Rect{10, 20, 30, 40});
    using Started = FakeContactArgs<abi::IRadialControllerScreenContactStartedEventArgs>;
    using Continued = FakeContactArgs<abi::IRadialControllerScreenContactContinuedEventArgs>;
    using Acquired = FakeContactArgs<abi::IRadialControllerControlAcquiredEventArgs>;
    using Clicked = FakeContactArgs<abi::IRadialControllerButtonClickedEventArgs>;
    IInspectable* const none = nullptr;
    const std::vector<std::vector<HRESULT>> results = {
        fake->rotationChanged.Raise(fake.Get(), Make<FakeRotationArgs>(-3.5, contact).Get()),
        fake->rotationChanged.Raise(fake.Get(), Make<FakeRotationArgs>(1.0, nullptr).Get()),
        fake->contactStarted.Raise(fake.Get(), Make<Started>(contact).Get()),
        fake->contactContinued.Raise(fake.Get(), Make<Continued>(contact).Get()),
        fake->controlAcquired.Raise(fake.Get(), Make<Acquired>(nullptr).Get()),
        fake->buttonClicked.Raise(fake.Get(), Make<Clicked>(contact).Get()),
        fake->controlLost.Raise(fake.Get(), none),
        fake->contactEnded.Raise(fake.Get(), none),
    };
    EXPECT_EQ(results, std::vector<std::vector<HRESULT>>(8, {S_OK}));
    EXPECT_EQ(seen, (std::vector<std::string>{
                        "RotationChanged -3.5 at 10 20 30 40", "RotationChanged 1 0 0 0 0",
                        "ScreenContactStarted 0 at 10 20 30 40",
                        "ScreenContactContinued 0 at 10 20 30 40", "ControlAcquired 0 0 0 0 0",
                        "ButtonClicked 0 0 0 0 0", "ControlLost 0 0 0 0 0",
                        "ScreenContactEnded 0 0 0 0 0"}));
}

TEST_F(WrappedController, RemovingATokenEndsThatSubscriptionOnlyAndTheWrapperEndsTheRest) {
    // ControlLost and ScreenContactEnded share the handler type and the platform's first token.
    const auto lost =
        controller->AddControlLost(Record<platform::ControllerEventArgs>("ControlLost"));
    controller->AddScreenContactEnded(Record<platform::ControllerEventArgs>("ScreenContactEnded"));
    controller->AddRotationChanged(Record<platform::RotationChangedArgs>("RotationChanged"));
    ASSERT_EQ(fake->HandlerCount(), 3u);

    controller->RemoveHandler(lost);
    EXPECT_EQ(fake->controlLost.Count(), 0u);
    EXPECT_EQ(fake->contactEnded.Count(), 1u);
    controller->RemoveHandler(lost);    // already gone: ignored
    controller->RemoveHandler(999999);  // never given: ignored
    EXPECT_EQ(fake->HandlerCount(), 2u);

    controller.Reset();
    EXPECT_EQ(fake->HandlerCount(), 0u) << "no delegate outlives the wrapper it calls";
}

TEST_F(WrappedController, TheMenuItsEntriesAndTheirTags) {
    const auto first = Make<FakeMenuItem>(u"Size");
    const auto second = Make<FakeMenuItem>(u"Opacity");
    const Ref<platform::RadialControllerMenu> menu = controller->Menu();
    platform::MenuItemList& items = menu->Items();
    const auto entry1 = platform::WrapRadialControllerMenuItem(first, u"Size", nullptr,
                                                               platform::KnownIcon::PenType);
    const auto entry2 = platform::WrapRadialControllerMenuItem(second, u"Opacity", nullptr,
                                                               platform::KnownIcon::Ruler);
    items.Append(entry1);
    items.Append(entry2);
    ASSERT_EQ(items.Size(), 2u);
    EXPECT_EQ(fake->menu->vector->items[1].Get(), second.Get());
    EXPECT_EQ(items.GetAt(1)->DisplayText(), u"Opacity") << "read back from the platform";
    EXPECT_EQ(entry2->GetKnownIcon(), platform::KnownIcon::Ruler);
    menu->SelectMenuItem(entry2);
    EXPECT_EQ(fake->menu->selected.Get(), second.Get());
    EXPECT_EQ(menu->GetSelectedMenuItem()->DisplayText(), u"Opacity");
    items.Clear();
    EXPECT_EQ(items.Size(), 0u);
    fake->menu->vector->appendFailure = E_ACCESSDENIED;
    EXPECT_THROW(items.Append(entry1), PlatformError);

    // A tag leads back to the same object; another object in the tag, or none, is no tag.
    const auto tag = platform::MakeRef<detail::MenuItemTag>();
    entry1->SetTag(tag);
    EXPECT_EQ(ClassNameOf(first->Tag()), u"Corvanta.MenuItemTag");
    EXPECT_EQ(entry1->Tag().Get(), tag.Get());
    const auto foreign =
        winrt::MakeIterable(std::vector<abi::RadialControllerSystemMenuItemKind>{}, u"K");
    first->put_Tag(foreign.Get());
    EXPECT_FALSE(entry1->Tag());
    entry1->SetTag(nullptr);
    EXPECT_EQ(first->Tag(), nullptr);
    EXPECT_FALSE(entry1->Tag());
    first->FailTagReads(E_ACCESSDENIED);
    EXPECT_THROW(entry1->Tag(), PlatformError);

    // Invoked reaches its handler until removed.
    const auto token =
        entry2->AddInvoked([](platform::RadialControllerMenuItem&) { return E_NOINTERFACE; });
    EXPECT_EQ(second->Invoke(), std::vector<HRESULT>{E_NOINTERFACE});
    entry2->RemoveInvoked(token);
    EXPECT_EQ(second->invoked.Count(), 0u);

    // The default items reach the platform as an iterable it can walk, and so does a reset.
    const auto fakeConfiguration = Make<FakeConfiguration>();
    const auto configuration = platform::WrapRadialControllerConfiguration(fakeConfiguration);
    const platform::SystemMenuItemKind kinds[] = {platform::SystemMenuItemKind::Volume,
                                                  platform::SystemMenuItemKind::NextPreviousTrack};
    configuration->SetDefaultMenuItems(kinds);
    EXPECT_EQ(fakeConfiguration->defaults, (std::vector<int>{3, 4}));
    configuration->ResetToDefaultMenuItems();
    EXPECT_EQ(fakeConfiguration->resetCalls, 1);
}

}  // namespace
}  // namespace Quarn::WinRT::testing
