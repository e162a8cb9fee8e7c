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

class ComApartment : public ::testing::Test {
protected:
    ComApartment() : m_init(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComApartment() override {
        if (SUCCEEDED(m_init)) {
            CoUninitialize();
        }
    }

private:
    HRESULT m_init;
};

class NoViewCallbacks final : public IDialCallbacks {
public:
    bool ComputeDialCentres(const Kernel::PointT<double>&, Kernel::PointT<double>&,
                            Kernel::PointT<double>&) override {
        return false;
    }
};

std::u16string ClassNameOf(IInspectable* object) {
    winrt::HString name;
    EXPECT_EQ(object->GetRuntimeClassName(name.Put()), S_OK);
    return std::u16string(name.View());
}

using WinRtWheelOnWine = ComApartment;

TEST_F(WinRtWheelOnWine, EveryWheelClassIsMissing) {
    platform::WheelPlatform& wheel = platform::WinRtWheel();
    const HostWindow window{RECT{100, 100, 500, 400}};
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

TEST_F(WinRtWheelOnWine, SetCurrentWindowRaisesTheSupportErrorAndLeavesTheDialInert) {
    // The default services of the Windows build: the Windows Runtime's wheel.
    ASSERT_EQ(platform::DefaultServices().wheel, &platform::WinRtWheel());
    sample::HostRecorder host;
    const HostWindow window{RECT{100, 100, 900, 700}};
    NoViewCallbacks callbacks;
    const auto document = Kernel::MakeCounted<DocumentController>();
    const Kernel::Counted<detail::Dial> dial = detail::Dial::Create(window.Handle(), &callbacks);

    // The supported check's own error is not the dial's to catch: it reaches the host's call.
    HRESULT code = S_OK;
    try {
        dial->SetCurrentWindow(window.Handle());
    } catch (const PlatformError& error) {
        code = error.Code();
    }
    EXPECT_EQ(code, REGDB_E_CLASSNOTREG);
    EXPECT_EQ(dial->GetWindow(), nullptr);
    EXPECT_FALSE(dial->GetController());
    EXPECT_FALSE(dial->GetConfiguration());

    // Still inert: an Update is ignored.
    auto tool = Kernel::MakeCounted<Tool>(7, "Brush", document);
    tool->AddDialReflected(Kernel::MakeCounted<Kernel::ReflectedRangeT<double>>(
        Kernel::FourCC("size"), "Size", 50.0, 0.0, 100.0));
    dial->Update(tool, false);
    EXPECT_FALSE(dial->GetSelectedItem());
    EXPECT_TRUE(host.LogLines().empty());
    EXPECT_TRUE(host.Traces().empty());
}

// As the editor meets it: the DLL's own dial, made through its exported factory, and the
// support check's error crossing from the DLL into the host's catch.
TEST_F(WinRtWheelOnWine, TheDllsDialRaisesTheSupportErrorIntoTheHost) {
    HMODULE dll = LoadLibraryW(L"Quarn.WinRT.dll");
    ASSERT_NE(dll, nullptr);
    using CreateContext = void* (*)(bool);
    using DestroyContext = void (*)(void*);
    using CreateDial = Kernel::Counted<IDial> (*)(void*, HWND, IDialCallbacks*);
    const auto createContext = reinterpret_cast<CreateContext>(
        reinterpret_cast<void*>(GetProcAddress(dll, exported::kCreateContext)));
    const auto destroyContext = reinterpret_cast<DestroyContext>(
        reinterpret_cast<void*>(GetProcAddress(dll, exported::kDestroyContext)));
    const auto createDial = reinterpret_cast<CreateDial>(
        reinterpret_cast<void*>(GetProcAddress(dll, exported::kCreateDial)));
    ASSERT_TRUE(createContext && destroyContext && createDial);

    sample::HostRecorder host;
    {
        const HostWindow window{RECT{100, 100, 900, 700}};
        NoViewCallbacks callbacks;
        void* context = createContext(false);
        ASSERT_NE(context, nullptr);
        Kernel::Counted<IDial> dial = createDial(context, window.Handle(), &callbacks);
        ASSERT_TRUE(dial);
        HRESULT code = S_OK;
        try {
            dial->SetCurrentWindow(window.Handle());
        } catch (const PlatformError& error) {
            code = error.Code();
        }
        EXPECT_EQ(code, REGDB_E_CLASSNOTREG);
        dial.Reset();
        destroyContext(context);
    }
    EXPECT_TRUE(host.LogLines().empty());
    FreeLibrary(dll);
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

TEST(EventDelegate, AnswersItsHandlerInterfaceAndIsAgile) {
    auto handler = winrt::MakeDelegate<abi::MenuItemInvokedHandler>(
        [](abi::IRadialControllerMenuItem*, IInspectable*) { return S_OK; });
    struct Case {
        const char* name;
        GUID iid;
        bool answered;
    };
    const Case cases[] = {
        {"IUnknown", abi::kIid<IUnknown>, true},
        {"TypedEventHandler<RadialControllerMenuItem, Object>",
         abi::kIid<abi::MenuItemInvokedHandler>, true},
        {"IAgileObject", abi::kIid<IAgileObject>, true},
        {"IInspectable (a delegate is none)", abi::kIid<IInspectable>, false},
        {"another handler", abi::kIid<abi::RotationChangedHandler>, false},
    };
    for (const Case& c : cases) {
        ComPtr<IUnknown> answer;
        const HRESULT result =
            handler->QueryInterface(c.iid, reinterpret_cast<void**>(answer.GetAddressOf()));
        EXPECT_EQ(SUCCEEDED(result), c.answered) << c.name;
        EXPECT_EQ(answer != nullptr, c.answered) << c.name;
    }
}

TEST(FreeThreadedMarshaller, EveryAgileObjectOfOursAnswersIMarshalWithIt) {
    using Kind = abi::RadialControllerSystemMenuItemKind;
    ComPtr<abi::IWeakReferenceSource> source;
    ComPtr<abi::IWeakReference> weak;
    const auto tag = winrt::MakeInspectable(platform::MakeRef<detail::MenuItemTag>());
    ASSERT_EQ(tag->QueryInterface(abi::kIid<abi::IWeakReferenceSource>,
                                  reinterpret_cast<void**>(source.GetAddressOf())),
              S_OK);
    ASSERT_EQ(source->GetWeakReference(weak.GetAddressOf()), S_OK);
    const std::pair<const char*, ComPtr<IUnknown>> objects[] = {
        {"a delegate", winrt::MakeDelegate<abi::MenuItemInvokedHandler>(
                           [](abi::IRadialControllerMenuItem*, IInspectable*) { return S_OK; })},
        {"an iterable", winrt::MakeIterable(std::vector<Kind>{Kind::Volume}, u"K")},
        {"a weak reference", weak},
        {"the menu tag", tag},
    };
    for (const auto& [name, object] : objects) {
        EXPECT_TRUE(MarshalsFreeThreaded(object.Get())) << name;
    }
}

TEST(VectorIterable, WalksItsValuesAsThePlatformReadsThem) {
    using Kind = abi::RadialControllerSystemMenuItemKind;
    auto iterable =
        winrt::MakeIterable(std::vector<Kind>{Kind::Volume, Kind::NextPreviousTrack}, u"K");
    ComPtr<abi::SystemMenuItemKindIterable> asked;
    ASSERT_EQ(iterable->QueryInterface(abi::kIid<abi::SystemMenuItemKindIterable>,
                                       reinterpret_cast<void**>(asked.GetAddressOf())),
              S_OK);
    EXPECT_EQ(ClassNameOf(iterable.Get()), u"Windows.Foundation.Collections.IIterable`1<K>");

    ComPtr<abi::SystemMenuItemKindIterator> iterator;
    ASSERT_EQ(iterable->First(iterator.GetAddressOf()), S_OK);
    EXPECT_EQ(ClassNameOf(iterator.Get()), u"Windows.Foundation.Collections.IIterator`1<K>");
    asked.Reset();
    iterable.Reset();  // the iterator keeps its iterable alive

    boolean has = 0;
    Kind kind{};
    ASSERT_EQ(iterator->get_HasCurrent(&has), S_OK);
    EXPECT_TRUE(has);
    ASSERT_EQ(iterator->get_Current(&kind), S_OK);
    EXPECT_EQ(kind, Kind::Volume);
    ASSERT_EQ(iterator->MoveNext(&has), S_OK);
    EXPECT_TRUE(has);
    ASSERT_EQ(iterator->get_Current(&kind), S_OK);
    EXPECT_EQ(kind, Kind::NextPreviousTrack);
    ASSERT_EQ(iterator->MoveNext(&has), S_OK);
    EXPECT_FALSE(has);
    EXPECT_EQ(iterator->get_Current(&kind), winrt::kBoundsError);
    ASSERT_EQ(iterator->MoveNext(&has), S_OK) << "moving past the end stays there";
    EXPECT_FALSE(has);
}

TEST(VectorIterable, GetManyCopiesWhatIsLeftAndAdvances) {
    using Kind = abi::RadialControllerSystemMenuItemKind;
    const auto iterable =
        winrt::MakeIterable(std::vector<Kind>{Kind::Scroll, Kind::Zoom, Kind::UndoRedo}, u"K");
    ComPtr<abi::SystemMenuItemKindIterator> iterator;
    ASSERT_EQ(iterable->First(iterator.GetAddressOf()), S_OK);
    Kind kinds[4] = {};
    UINT32 actual = 0;
    ASSERT_EQ(iterator->GetMany(2, kinds, &actual), S_OK);
    EXPECT_EQ(actual, 2u);
    EXPECT_EQ(kinds[1], Kind::Zoom);
    ASSERT_EQ(iterator->GetMany(4, kinds, &actual), S_OK);
    EXPECT_EQ(actual, 1u);
    EXPECT_EQ(kinds[0], Kind::UndoRedo);
    ASSERT_EQ(iterator->GetMany(4, kinds, &actual), S_OK);
    EXPECT_EQ(actual, 0u);

    const auto empty = winrt::MakeIterable(std::vector<Kind>{}, u"K");
    ASSERT_EQ(empty->First(iterator.ReleaseAndGetAddressOf()), S_OK);
    boolean has = 1;
    ASSERT_EQ(iterator->get_HasCurrent(&has), S_OK);
    EXPECT_FALSE(has);
}

// A controller wrapper over a fake, with what each handler saw.
class WrappedController : public ComApartment {
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

    const auto contact = Make<FakeContact>(abi::Rect{10, 20, 30, 40});
    using Started = FakeContactArgs<abi::IRadialControllerScreenContactStartedEventArgs>;
    using Continued = FakeContactArgs<abi::IRadialControllerScreenContactContinuedEventArgs>;
    using Acquired = FakeContactArgs<abi::IRadialControllerControlAcquiredEventArgs>;
    using Clicked = FakeContactArgs<abi::IRadialControllerButtonClickedEventArgs>;
    struct Case {
        const char* event;
        std::function<std::vector<HRESULT>()> raise;
        HRESULT result;
        bool hasContact;
        double delta;
    };
    const Case cases[] = {
        {"RotationChanged",
         [&] {
             return fake->rotationChanged.Raise(fake.Get(),
                                                Make<FakeRotationArgs>(-3.5, contact).Get());
         },
         S_OK, true, -3.5},
        {"RotationChanged",
         [&] {
             return fake->rotationChanged.Raise(fake.Get(),
                                                Make<FakeRotationArgs>(1.0, nullptr).Get());
         },
         S_OK, false, 1.0},
        {"ScreenContactStarted",
         [&] { return fake->contactStarted.Raise(fake.Get(), Make<Started>(contact).Get()); }, S_OK,
         true, 0},
        {"ScreenContactContinued",
         [&] { return fake->contactContinued.Raise(fake.Get(), Make<Continued>(contact).Get()); },
         S_OK, true, 0},
        {"ControlAcquired",
         [&] { return fake->controlAcquired.Raise(fake.Get(), Make<Acquired>(nullptr).Get()); },
         S_OK, false, 0},
        {"ButtonClicked",
         [&] { return fake->buttonClicked.Raise(fake.Get(), Make<Clicked>(contact).Get()); }, S_OK,
         false, 0},
        {"ControlLost",
         [&] {
             return fake->controlLost.Raise<abi::IRadialController, IInspectable>(fake.Get(),
                                                                                  nullptr);
         },
         S_OK, false, 0},
        {"ScreenContactEnded",
         [&] {
             return fake->contactEnded.Raise<abi::IRadialController, IInspectable>(fake.Get(),
                                                                                   nullptr);
         },
         S_OK, false, 0},
    };
    for (const Case& c : cases) {
        seen.clear();
        EXPECT_EQ(c.raise(), std::vector<HRESULT>{c.result}) << c.event;
        ASSERT_EQ(seen.size(), 1u) << c.event;
        EXPECT_EQ(seen[0].event, c.event);
        EXPECT_EQ(seen[0].sender, controller.Get()) << c.event << ": the sender is the wrapper";
        EXPECT_EQ(seen[0].hasContact, c.hasContact) << c.event;
        EXPECT_EQ(seen[0].delta, c.delta) << c.event;
        if (c.hasContact) {
            EXPECT_EQ(seen[0].bounds, (platform::Rect{10, 20, 30, 40})) << c.event;
        }
    }

    // Arguments that cannot be read: the handler's error becomes the event's failure result.
    seen.clear();
    EXPECT_EQ(fake->contactStarted.Raise(fake.Get(), Make<Started>(contact, E_ACCESSDENIED).Get()),
              std::vector<HRESULT>{E_ACCESSDENIED});
    EXPECT_TRUE(seen.empty());
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

TEST_F(WrappedController, TheMenuHoldsOurEntriesAndSelectsOne) {
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
}

TEST_F(WrappedController, DefaultItemsReachThePlatformAsAnIterableItCanWalk) {
    const auto fakeConfiguration = Make<FakeConfiguration>();
    const auto configuration = platform::WrapRadialControllerConfiguration(fakeConfiguration);
    const platform::SystemMenuItemKind kinds[] = {platform::SystemMenuItemKind::Volume,
                                                  platform::SystemMenuItemKind::NextPreviousTrack};
    configuration->SetDefaultMenuItems(kinds);
    EXPECT_EQ(fakeConfiguration->defaults, (std::vector<int>{3, 4}));
    configuration->ResetToDefaultMenuItems();
    EXPECT_EQ(fakeConfiguration->resetCalls, 1);
}

TEST_F(WrappedController, ATagLeadsBackToTheSameObjectAndAnythingElseToNone) {
    const auto fakeItem = Make<FakeMenuItem>(u"Size");
    const auto entry = platform::WrapRadialControllerMenuItem(fakeItem, u"Size", nullptr,
                                                              platform::KnownIcon::PenType);
    const auto tag = platform::MakeRef<detail::MenuItemTag>();
    entry->SetTag(tag);
    ASSERT_NE(fakeItem->Tag(), nullptr);
    EXPECT_EQ(ClassNameOf(fakeItem->Tag()), u"Corvanta.MenuItemTag");
    EXPECT_EQ(entry->Tag().Get(), tag.Get());

    // Another object in the tag is no tag of ours; no tag at all is none either.
    const auto foreign =
        winrt::MakeIterable(std::vector<abi::RadialControllerSystemMenuItemKind>{}, u"K");
    fakeItem->put_Tag(foreign.Get());
    EXPECT_FALSE(entry->Tag());
    entry->SetTag(nullptr);
    EXPECT_EQ(fakeItem->Tag(), nullptr);
    EXPECT_FALSE(entry->Tag());

    fakeItem->FailTagReads(E_ACCESSDENIED);
    EXPECT_THROW(entry->Tag(), PlatformError);
}

TEST_F(WrappedController, InvokedReachesItsHandlerWithTheEntryAndEndsWhenRemoved) {
    const auto fakeItem = Make<FakeMenuItem>(u"Size");
    const auto entry = platform::WrapRadialControllerMenuItem(fakeItem, u"Size", nullptr,
                                                              platform::KnownIcon::PenType);
    const auto tag = platform::MakeRef<detail::MenuItemTag>();
    entry->SetTag(tag);
    std::u16string text;
    platform::Inspectable* tagSeen = nullptr;
    const auto token = entry->AddInvoked([&](platform::RadialControllerMenuItem& sender) {
        text = std::u16string(sender.DisplayText());
        tagSeen = sender.Tag().Get();
        return E_NOINTERFACE;  // the handler's result goes back to the platform
    });
    EXPECT_EQ(fakeItem->Invoke(), std::vector<HRESULT>{E_NOINTERFACE});
    EXPECT_EQ(text, u"Size");
    EXPECT_EQ(tagSeen, tag.Get());
    entry->RemoveInvoked(token);
    EXPECT_EQ(fakeItem->invoked.Count(), 0u);
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

TEST_F(ComApartment, ADialOnTheBackendBuildsItsMenuAndFollowsTheInvokedEntry) {
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
