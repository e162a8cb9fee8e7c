// Creating a dial, attaching it to a window, the radial menu it builds there, and tearing it
// down.
#include <quarn/winrt/dial.h>

#include "bindings/files/sim_files.h"
#include "bindings/wheel/sim_wheel.h"
#include "dial/menu_icon.h"
#include "dial/menu_item_tag.h"
#include "tests/dial/dial_fixture.h"

namespace Quarn::WinRT::testing {
namespace {

TEST_F(DialTest, FactoryRefusesNullContextOrWindow) {
    int context = 0;
    EXPECT_FALSE(Factory::CreateDial(nullptr, window, &callbacks));
    EXPECT_FALSE(Factory::CreateDial(&context, nullptr, &callbacks));
    Counted<IDial> made = Factory::CreateDial(&context, window, &callbacks);
    ASSERT_TRUE(made);
    // The factory's reference is the only one: no count is left behind.
    EXPECT_EQ(made->GetControlBlock().StrongCount(), 1);
    EXPECT_EQ(Dial::CurrentDial(), made.Get());
    made.Reset();
    EXPECT_EQ(Dial::CurrentDial(), nullptr);
}

TEST_F(DialTest, NewDialIsInertUntilAttached) {
    EXPECT_EQ(platform.Wheel().LiveControllerCount(), 0u);
    dial->Update(MakeTool({DoubleItem("size", "Size", 10, 1, 100)}), false);
    EXPECT_FALSE(dial->GetTool());  // not even remembered for later
    EXPECT_TRUE(dial->GetReflectables().empty());
    EXPECT_TRUE(dial->IsScaleByResolution());
    EXPECT_EQ(dial->GetDialContact(), Dial::NoContact);
}

TEST_F(DialTest, AttachFailuresLeaveThePreviousAttachmentSilently) {
    Attach();
    auto* const first = &Controller();
    // A fault to arm, or none for a device that is not supported.
    for (const char* operation :
         {"RadialController.CreateForWindow", "RadialControllerConfiguration.GetForWindow", ""}) {
        SCOPED_TRACE(operation);
        if (*operation) {
            platform.Faults().Fail(operation, REGDB_E_CLASSNOTREG, "Class not registered");
        } else {
            platform.Wheel().SetSupported(false);
        }
        dial->SetCurrentWindow(platform.Windows().CreateHostWindow(RECT{0, 0, 640, 480}));
        EXPECT_EQ(dial->GetWindow(), window);
        EXPECT_EQ(dial->GetController().Get(), first);
        EXPECT_EQ(first->HandlerCount(), 7u);
        EXPECT_TRUE(host.LogLines().empty());
    }
}

TEST_F(DialTest, MovingToAnotherWindowReplacesControllerAndRebuildsTheMenu) {
    Use({DoubleItem("size", "Size", 10, 1, 100), DoubleItem("flow", "Flow", 5, 0, 10)}, "Flow");
    const HWND other = platform.Windows().CreateHostWindow(RECT{0, 0, 640, 480});
    dial->SetCurrentWindow(other);
    EXPECT_EQ(platform.Wheel().LiveControllerCount(), 1u);
    EXPECT_EQ(Controller().Window(), other);
    EXPECT_EQ(Controller().HandlerCount(), 7u);
    EXPECT_EQ(MenuTexts(), (std::vector<std::string>{"Size", "Flow"}));
    EXPECT_EQ(SelectedText(), "Flow");  // the selected item is chosen again on the new menu
    // The dial's subscriptions end with it: none is left on a controller someone else keeps.
    const platform::Ref<platform::RadialController> kept = dial->GetController();
    auto* controller = &Controller();
    dial.Reset();
    EXPECT_EQ(controller->HandlerCount(), 0u);
}

// A controller that refuses to revoke and a menu that refuses to clear: each refusal is one log
// line, and the handlers and timers the platform still holds find no dial once it has gone.
TEST_F(DialTest, TeardownRefusalsAreLoggedAndNoHandlerReachesAGoneDial) {
    Use({DoubleItem("size", "Size", 10, 1, 100)}, "Size");
    const platform::Ref<platform::RadialController> first = dial->GetController();

    // On a window change: the old controller's subscriptions and menu stay, logged.
    platform.Faults().Fail("RadialController.RemoveHandler", E_FAIL, "Revoke refused.",
                           sim::FaultMode::Always);
    platform.Faults().Fail("RadialControllerMenu.Items.Clear", E_FAIL, "Clear refused.");
    host.Clear();
    dial->SetCurrentWindow(platform.Windows().CreateHostWindow(RECT{0, 0, 640, 480}));
    EXPECT_EQ(host.LogLines(),
              (std::vector<std::string>{"Dial error: Failed to revoke events. Revoke refused.",
                                        "Dial error: Failed to clear menu items. Clear refused."}));

    // On destruction the same; then every event of both controllers and the old menu's
    // entry reaches nothing.
    const platform::Ref<platform::RadialController> kept = dial->GetController();
    auto* second = &Controller();
    Choose("Size");
    platform.Wheel().Rotate(5);  // arms both timers
    platform.Faults().Fail("RadialControllerMenu.Items.Clear", E_FAIL, "Clear refused.");
    host.Clear();
    dial.Reset();
    EXPECT_EQ(host.LogLines(),
              (std::vector<std::string>{"Dial error: Failed to revoke events. Revoke refused.",
                                        "Dial error: Failed to clear menu items. Clear refused."}));
    EXPECT_EQ(second->HandlerCount(), 7u);
    ASSERT_FALSE(second->GetSimMenu().Entries().empty());
    platform.Faults().ClearAll();
    host.Clear();
    EXPECT_EQ(platform.Wheel().Rotate(5), std::vector<std::int32_t>(1, 0));
    platform.Wheel().Click();
    platform.Wheel().ContactStart(platform::Rect{10, 10, 60, 60});
    std::int32_t status = E_FAIL;
    platform.Wheel().InvokeMenuItem(0, &status);
    EXPECT_EQ(status, S_OK);
    platform.Advance(3000);  // both timers fire into no dial
    EXPECT_TRUE(host.Events().empty());
    EXPECT_EQ(callbacks.calls, 0);
}

const std::vector<unsigned char> kPng = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13};

std::string Utf8(std::u16string_view text) {
    std::string out;
    Kernel::AppendUtf8(out, text);
    return out;
}

TEST(MenuIconPath, AddsPngOnlyToANameWithoutExtension) {
    const std::pair<const char*, const char*> cases[] = {
        {"brush_size", "C:\\App\\Resources\\Dial\\brush_size.png"},
        {"brush_size.png", "C:\\App\\Resources\\Dial\\brush_size.png"},
        {"brush_size.svg", "C:\\App\\Resources\\Dial\\brush_size.svg"},
        {"sub.dir\\icon", "C:\\App\\Resources\\Dial\\sub.dir\\icon.png"},
        {"..\\icon", "C:\\App\\Resources\\Dial\\..\\icon.png"},
    };
    for (auto [name, path] : cases) {
        EXPECT_EQ(detail::MenuIconPath("C:\\App\\Resources", name), path) << name;
    }
    EXPECT_EQ(detail::MenuIconPath("", "x"), "Dial\\x.png");
}

class MenuTest : public DialTest {
protected:
    void SetUp() override {
        platform.Files().SetUseDisk(false);
        platform.Files().AddFile("C:\\Res\\Dial\\size.png", kPng);
        dial->SetResourcesDirectory("C:\\Res");
        Attach();
    }
    static Counted<Reflected> Icon(Counted<Reflected> item, const char* name) {
        item->AppendAttribute(MakeCounted<ImageAttribute>(Kernel::String8(name)));
        return item;
    }
};

TEST_F(MenuTest, EntriesCarryTextIconAndATagLeadingBackToTheItem) {
    auto size = Icon(DoubleItem("size", "Größe", 10, 1, 100), "size");
    auto flow = Icon(DoubleItem("flow", "Flow", 1, 0, 1), "missing");
    auto plain = DoubleItem("hard", "Hardness", 1, 0, 1);
    dial->Update(MakeTool({size, flow, plain}), false);

    ASSERT_EQ(MenuTexts(), (std::vector<std::string>{"Größe", "Flow", "Hardness"}));
    const auto& entries = Menu().Entries();
    ASSERT_TRUE(entries[0]->Icon());
    EXPECT_EQ(Utf8(entries[0]->Icon()->Source()), "C:\\Res\\Dial\\size.png");
    EXPECT_FALSE(entries[1]->Icon());
    EXPECT_EQ(entries[1]->GetKnownIcon(), platform::KnownIcon::PenType);
    EXPECT_EQ(host.Traces(), (std::vector<std::string>{"Missing dial icon for Flow!\n",
                                                       "Missing dial icon for Hardness!\n"}));
    EXPECT_TRUE(host.LogLines().empty());

    auto* tag = dynamic_cast<detail::MenuItemTag*>(entries[2]->Tag().Get());
    ASSERT_NE(tag, nullptr);
    EXPECT_EQ(tag->item, plain);
    EXPECT_EQ(tag->GetRuntimeClassName(), u"Corvanta.MenuItemTag");
    EXPECT_EQ(SelectedText(), "Größe");  // the tool's first item is the default
    ASSERT_TRUE(platform.Wheel().ConfigurationFor(window)->DefaultItems().has_value());
    EXPECT_EQ(*platform.Wheel().ConfigurationFor(window)->DefaultItems(),
              (std::vector<platform::SystemMenuItemKind>{
                  platform::SystemMenuItemKind::Volume,
                  platform::SystemMenuItemKind::NextPreviousTrack}));
}

TEST_F(MenuTest, UnreadableIconsFallBackToTheStockIcon) {
    platform.Files().AddFile("C:\\Res\\Dial\\empty.png", {});
    platform.Files().AddFile("C:\\Res\\Dial\\text.png", {'h', 'i'});
    dial->Update(MakeTool({Icon(DoubleItem("a   ", "A", 0, 0, 1), "empty"),
                           Icon(DoubleItem("b   ", "B", 0, 0, 1), "text"),
                           Icon(DoubleItem("c   ", "C", 0, 0, 1), "size")}),
                 false);
    EXPECT_EQ(host.LogLines(),
              std::vector<std::string>(2, "Dial error: Failed to create load menu item icon."));
    EXPECT_FALSE(Menu().Entries()[0]->Icon());
    EXPECT_FALSE(Menu().Entries()[1]->Icon());
    EXPECT_TRUE(Menu().Entries()[2]->Icon());
}

TEST_F(MenuTest, SelectionPrefersTheLastDefaultOrRequestedItem) {
    auto a = DoubleItem("a   ", "A", 0, 0, 1);
    auto b = DoubleItem("b   ", "B", 0, 0, 1);
    auto c = With<Corvanta::DefaultItemAttribute>(DoubleItem("c   ", "C", 0, 0, 1));
    dial->Update(MakeTool({a, b, c}), true);  // from selection: the tool marks nothing itself
    EXPECT_EQ(SelectedText(), "C");
    Choose("A");
    dial->SetCurrentWindow(platform.Windows().CreateHostWindow(RECT{0, 0, 10, 10}));
    EXPECT_EQ(SelectedText(), "C");  // A was asked for, but the default marker comes later
}

TEST_F(MenuTest, NoToolRestoresDefaultsEvenWithItems) {
    auto a = DoubleItem("a   ", "A", 0, 0, 1);
    dial->Update(MakeTool({a}), false);
    ASSERT_EQ(Menu().Entries().size(), 1u);
    const std::vector<Counted<Reflected>> items{a, DoubleItem("b   ", "B", 0, 0, 1)};
    EXPECT_FALSE(Dial::UpdateRadialControllerMenu(dial.Get(), dial->GetController(),
                                                  dial->GetConfiguration(), true, items, a));
    EXPECT_TRUE(Menu().Entries().empty());
    EXPECT_FALSE(Menu().GetSelectedMenuItem());
    EXPECT_FALSE(platform.Wheel().ConfigurationFor(window)->DefaultItems().has_value());
    // The same list with a tool builds both entries.
    EXPECT_TRUE(Dial::UpdateRadialControllerMenu(dial.Get(), dial->GetController(),
                                                 dial->GetConfiguration(), false, items, {}));
    EXPECT_EQ(MenuTexts(), (std::vector<std::string>{"A", "B"}));
}

TEST_F(MenuTest, AnEntryWithoutItsTagEndsTheHistoryItemsFreeze) {
    auto history = HistoryItem();
    dial->Update(MakeTool({history, DoubleItem("a   ", "A", 0, 0, 1)}), false);
    Choose("History");
    ASSERT_TRUE(dial->IsMenuFrozen());
    platform.Faults().Fail("RadialControllerMenuItem.Tag.get", E_FAIL, "Gone.");
    platform.Wheel().InvokeMenuItem(1);
    EXPECT_FALSE(dial->GetCurrentItem());
    EXPECT_FALSE(dial->IsMenuFrozen());
    EXPECT_FALSE(dial->IsStepRotation());
    // The next tool reaches the menu again.
    dial->Update(MakeTool({DoubleItem("b   ", "B", 0, 0, 1)}, 8, "Pen"), false);
    EXPECT_EQ(MenuTexts(), std::vector<std::string>{"B"});
}

}  // namespace
}  // namespace Quarn::WinRT::testing
