// The Windows Runtime wheel backend under Wine. Wine registers no wheel class, so asking for
// one fails and SetCurrentWindow leaves the dial inert; the wrappers, our delegates and our
// iterable are driven through objects of the tests' own that implement the platform's ABI, up
// to a dial that builds its menu on them and hears its entries invoked.
#include <gtest/gtest.h>

#include <objbase.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <new>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <vector>

#include "bindings/kernel/string.h"
#include "bindings/platform/services.h"
#include "bindings/platform/win_backends.h"
#include "bindings/sample_host/recorder.h"
#include "bindings/vorta/document.h"
#include "bindings/vorta/tool.h"
#include "bindings/wheel/winrt_wheel.h"
#include "bindings/winrt/delegate.h"
#include "bindings/winrt/runtime_tag_object.h"
#include "bindings/winrt/vector_iterable.h"
#include "dial/dial.h"
#include "dial/menu_item_tag.h"
#include "quarn/winrt/dial.h"
#include "tests/windows/fake_radial_controller.h"
#include "tests/windows/win32_host.h"

namespace Quarn::WinRT::testing {
namespace {

using platform::PlatformError;
using platform::Ref;

class WinRtWheelTest : public ::testing::Test {
    ComApartment m_apartment;
};

// Wine registers no wheel class: every call of the backend raises the platform's error, and a
// dial's SetCurrentWindow raises the support check's error into the host's call (the dial does
// not catch it) and leaves the dial inert.
TEST_F(WinRtWheelTest, OnWineEveryWheelClassIsMissingAndTheDialStaysInert) {
    platform::WheelPlatform& wheel = platform::WinRtWheel();
    ASSERT_EQ(platform::DefaultServices().wheel, &wheel);
    const HostWindow window{RECT{100, 100, 900, 700}};
    NoViewCallbacks callbacks;
    const auto document = Kernel::MakeCounted<DocumentController>();
    const Kernel::Counted<detail::Dial> dial = detail::Dial::Create(window.Handle(), &callbacks);
    sample::HostRecorder host;
    const std::pair<const char*, std::function<void()>> calls[] = {
        {"IsSupported", [&] { wheel.IsSupported(); }},
        {"CreateForWindow", [&] { wheel.CreateForWindow(window.Handle()); }},
        {"GetConfigurationForWindow", [&] { wheel.GetConfigurationForWindow(window.Handle()); }},
        {"CreateMenuItemFromKnownIcon",
         [&] { wheel.CreateMenuItemFromKnownIcon(u"Size", platform::KnownIcon::PenType); }},
        {"a dial's SetCurrentWindow", [&] { dial->SetCurrentWindow(window.Handle()); }},
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
    EXPECT_EQ(dial->GetWindow(), nullptr);
    EXPECT_FALSE(dial->GetController());
    auto tool = Kernel::MakeCounted<Tool>(7, "Brush", document);
    tool->AddDialReflected(Kernel::MakeCounted<Kernel::ReflectedRangeT<double>>(
        Kernel::FourCC("size"), "Size", 50.0, 0.0, 100.0));
    dial->Update(tool, false);
    EXPECT_FALSE(dial->GetSelectedItem()) << "an Update is ignored";
    EXPECT_TRUE(host.LogLines().empty());
    EXPECT_TRUE(host.Traces().empty());
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
        abi::IRadialController* seenSender = nullptr;
        double seenDelta = 0;
        auto handler = winrt::MakeDelegate<abi::RotationChangedHandler>(
            [&](abi::IRadialController* sender,
                abi::IRadialControllerRotationChangedEventArgs* args) {
                seenSender = sender;
                args->get_RotationDeltaInDegrees(&seenDelta);
                return c.body();
            });
        const auto controller = Make<FakeController>();
        const auto args = Make<FakeRotationArgs>(7.5, nullptr);
        EXPECT_EQ(handler->Invoke(controller.Get(), args.Get()), c.expected) << c.what;
        EXPECT_EQ(seenSender, controller.Get()) << c.what;
        EXPECT_EQ(seenDelta, 7.5) << c.what;
    }
    EXPECT_EQ(winrt::g_liveObjects.load(), before) << "every delegate was freed";
}

TEST(FreeThreadedMarshaller, EveryAgileObjectOfOursAnswersIMarshalWithIt) {
    // The menu tag and its weak reference: the tag's own test.
    using Kind = abi::RadialControllerSystemMenuItemKind;
    const std::pair<const char*, ComPtr<IUnknown>> objects[] = {
        {"a delegate", winrt::MakeDelegate<abi::MenuItemInvokedHandler>(
                           [](abi::IRadialControllerMenuItem*, IInspectable*) { return S_OK; })},
        {"an iterable", winrt::MakeIterable(std::vector<Kind>{Kind::Volume}, u"K")},
    };
    for (const auto& [name, object] : objects) {
        EXPECT_TRUE(MarshalsFreeThreaded(object.Get())) << name;
    }

    // A delegate answers its handler's interface, and is no Windows Runtime object.
    struct Case {
        GUID iid;
        bool answered;
    };
    const Case cases[] = {
        {abi::kIid<abi::MenuItemInvokedHandler>, true},
        {abi::kIid<IAgileObject>, true},
        {abi::kIid<IInspectable>, false},
        {abi::kIid<abi::RotationChangedHandler>, false},
    };
    for (const Case& c : cases) {
        ComPtr<IUnknown> answer;
        EXPECT_EQ(SUCCEEDED(objects[0].second->QueryInterface(
                      c.iid, reinterpret_cast<void**>(answer.GetAddressOf()))),
                  c.answered);
        EXPECT_EQ(answer != nullptr, c.answered);
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

// A controller wrapper over a fake, with what each handler saw.
class WrappedController : public WinRtWheelTest {
protected:
    struct Seen {
        std::string event;
        platform::RadialController* sender = nullptr;
        double delta = 0;
        bool hasContact = false;
        platform::Rect bounds;
    };

    template <class Args>
    platform::ControllerHandler<Args> Record(const char* event) {
        return [this, event](platform::RadialController& sender, const Args& args) {
            Seen record;
            record.event = event;
            record.sender = &sender;
            Ref<platform::ScreenContact> contact;
            if constexpr (std::is_base_of_v<platform::RotationChangedArgs, Args>) {
                record.delta = args.RotationDeltaInDegrees();
                contact = args.Contact();
            } else if constexpr (std::is_base_of_v<platform::ContactEventArgs, Args>) {
                contact = args.Contact();  // may raise: the delegate makes it a failure
            }
            record.hasContact = static_cast<bool>(contact);
            if (contact) {
                record.bounds = contact->Bounds();
            }
            seen.push_back(record);
            return S_OK;
        };
    }

    ComPtr<FakeController> fake = Make<FakeController>();
    Ref<platform::RadialController> controller = platform::WrapRadialController(fake);
    std::vector<Seen> seen;
};

TEST_F(WrappedController, EachEventReachesItsHandlerWithTheArgumentsRead) {
    std::vector<platform::EventToken> tokens{
        controller->AddButtonClicked(Record<platform::ControllerEventArgs>("ButtonClicked")),
        controller->AddControlAcquired(Record<platform::ContactEventArgs>("ControlAcquired")),
        controller->AddControlLost(Record<platform::ControllerEventArgs>("ControlLost")),
        controller->AddRotationChanged(Record<platform::RotationChangedArgs>("RotationChanged")),
        controller->AddScreenContactContinued(
            Record<platform::ContactEventArgs>("ScreenContactContinued")),
        controller->AddScreenContactEnded(
            Record<platform::ControllerEventArgs>("ScreenContactEnded")),
        controller->AddScreenContactStarted(
            Record<platform::ContactEventArgs>("ScreenContactStarted")),
    };
    EXPECT_EQ(fake->HandlerCount(), 7u);
    // The platform numbers each event's subscriptions from 1; ours are unique in the controller.
    std::sort(tokens.begin(), tokens.end());
    EXPECT_EQ(std::unique(tokens.begin(), tokens.end()), tokens.end());

    // Each raise reaches its own handler once, the wrapper as the sender, the arguments read.
    std::size_t raised = 0;
    const auto expectSeen = [&](const std::vector<HRESULT>& results, const char* event,
                                bool hasContact, double delta) {
        EXPECT_EQ(results, std::vector<HRESULT>{S_OK}) << event;
        ASSERT_EQ(seen.size(), ++raised) << event;
        EXPECT_EQ(seen.back().event, event);
        EXPECT_EQ(seen.back().sender, controller.Get()) << event;
        EXPECT_EQ(seen.back().hasContact, hasContact) << event;
        EXPECT_EQ(seen.back().delta, delta) << event;
        const platform::Rect bounds =
            hasContact ? platform::Rect{10, 20, 30, 40} : platform::Rect{};
        EXPECT_EQ(seen.back().bounds, bounds) << event;
    };
    const auto contact = Make<FakeContact>(abi::Rect{10, 20, 30, 40});
    using Started = FakeContactArgs<abi::IRadialControllerScreenContactStartedEventArgs>;
    using Continued = FakeContactArgs<abi::IRadialControllerScreenContactContinuedEventArgs>;
    using Acquired = FakeContactArgs<abi::IRadialControllerControlAcquiredEventArgs>;
    using Clicked = FakeContactArgs<abi::IRadialControllerButtonClickedEventArgs>;
    IInspectable* const none = nullptr;
    expectSeen(fake->rotationChanged.Raise(fake.Get(), Make<FakeRotationArgs>(-3.5, contact).Get()),
               "RotationChanged", true, -3.5);
    expectSeen(fake->rotationChanged.Raise(fake.Get(), Make<FakeRotationArgs>(1.0, nullptr).Get()),
               "RotationChanged", false, 1.0);
    expectSeen(fake->contactStarted.Raise(fake.Get(), Make<Started>(contact).Get()),
               "ScreenContactStarted", true, 0);
    expectSeen(fake->contactContinued.Raise(fake.Get(), Make<Continued>(contact).Get()),
               "ScreenContactContinued", true, 0);
    expectSeen(fake->controlAcquired.Raise(fake.Get(), Make<Acquired>(nullptr).Get()),
               "ControlAcquired", false, 0);
    expectSeen(fake->buttonClicked.Raise(fake.Get(), Make<Clicked>(contact).Get()), "ButtonClicked",
               false, 0);
    expectSeen(fake->controlLost.Raise(fake.Get(), none), "ControlLost", false, 0);
    expectSeen(fake->contactEnded.Raise(fake.Get(), none), "ScreenContactEnded", false, 0);

    // Arguments that cannot be read: the handler's error becomes the event's failure result.
    EXPECT_EQ(fake->contactStarted.Raise(fake.Get(), Make<Started>(contact, E_ACCESSDENIED).Get()),
              std::vector<HRESULT>{E_ACCESSDENIED});
    EXPECT_EQ(seen.size(), raised);
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

    // A reset of the default items reaches the platform (the dial's test sets them).
    const auto fakeConfiguration = Make<FakeConfiguration>();
    platform::WrapRadialControllerConfiguration(fakeConfiguration)->ResetToDefaultMenuItems();
    EXPECT_EQ(fakeConfiguration->resetCalls, 1);
}

// The wheel classes played by the fakes, so that a real dial attaches, builds its menu and hears
// its entries invoked through the backend's wrappers.
class FakeWheel final : public platform::WheelPlatform {
public:
    bool IsSupported() override { return true; }
    Ref<platform::RadialController> CreateForWindow(HWND) override {
        return platform::WrapRadialController(controller);
    }
    Ref<platform::RadialControllerConfiguration> GetConfigurationForWindow(HWND) override {
        return platform::WrapRadialControllerConfiguration(configuration);
    }
    Ref<platform::RadialControllerMenuItem> CreateMenuItemFromIcon(
        std::u16string_view text, Ref<platform::IconStream> icon) override {
        return Made(text, std::move(icon), platform::KnownIcon::PenType);
    }
    Ref<platform::RadialControllerMenuItem> CreateMenuItemFromKnownIcon(
        std::u16string_view text, platform::KnownIcon icon) override {
        return Made(text, nullptr, icon);
    }

    ComPtr<FakeController> controller = Make<FakeController>();
    ComPtr<FakeConfiguration> configuration = Make<FakeConfiguration>();
    std::vector<ComPtr<FakeMenuItem>> made;

private:
    Ref<platform::RadialControllerMenuItem> Made(std::u16string_view text,
                                                 Ref<platform::IconStream> icon,
                                                 platform::KnownIcon known) {
        made.push_back(Make<FakeMenuItem>(std::u16string(text)));
        return platform::WrapRadialControllerMenuItem(made.back(), std::u16string(text),
                                                      std::move(icon), known);
    }
};

TEST_F(WinRtWheelTest, ADialOnTheBackendBuildsItsMenuAndFollowsTheInvokedEntry) {
    FakeWheel wheel;
    platform::ServiceSet services = platform::DefaultServices();
    services.wheel = &wheel;
    const platform::ScopedServices scoped(services);
    sample::HostRecorder host;
    const HostWindow window{RECT{100, 100, 900, 700}};
    NoViewCallbacks callbacks;
    const auto document = Kernel::MakeCounted<DocumentController>();
    auto dial = detail::Dial::Create(window.Handle(), &callbacks);

    dial->SetCurrentWindow(window.Handle());
    EXPECT_EQ(wheel.controller->HandlerCount(), 7u);

    auto tool = Kernel::MakeCounted<Tool>(7, "Brush", document);
    tool->AddDialReflected(Kernel::MakeCounted<Kernel::ReflectedRangeT<double>>(
        Kernel::FourCC("size"), "Size", 50.0, 0.0, 100.0));
    tool->AddDialReflected(Kernel::MakeCounted<Kernel::ReflectedRangeT<double>>(
        Kernel::FourCC("opac"), "Opacity", 100.0, 0.0, 100.0));
    document->AddTool(tool);
    dial->Update(tool, false);

    FakeItemVector& entries = *wheel.controller->menu->vector.Get();
    ASSERT_EQ(entries.items.size(), 2u);
    EXPECT_EQ(wheel.configuration->defaults, (std::vector<int>{3, 4}));
    for (const auto& made : wheel.made) {
        ASSERT_NE(made->Tag(), nullptr);
        EXPECT_EQ(ClassNameOf(made->Tag()), u"Corvanta.MenuItemTag");
    }

    // Choosing the second entry makes its item the dial's.
    EXPECT_EQ(wheel.made[1]->Invoke(), std::vector<HRESULT>{S_OK});
    ASSERT_TRUE(dial->GetSelectedItem());
    EXPECT_EQ(dial->GetSelectedItem()->GetIdentifier(), Kernel::FourCC("opac"));

    // An entry that lost its tag: the one line for a missing tag (reading it succeeded), no
    // item, and E_NOINTERFACE back to the platform.
    host.Clear();
    wheel.made[0]->put_Tag(nullptr);
    EXPECT_EQ(wheel.made[0]->Invoke(), std::vector<HRESULT>{E_NOINTERFACE});
    EXPECT_EQ(host.LogLines(), std::vector<std::string>{"Error: Failed to retrieve MenuItemTag!"});
    EXPECT_FALSE(dial->GetSelectedItem());

    // The dial's end revokes every subscription it made.
    dial.Reset();
    EXPECT_EQ(wheel.controller->HandlerCount(), 0u);
}

}  // namespace
}  // namespace Quarn::WinRT::testing
