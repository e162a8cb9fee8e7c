// Creating a dial, attaching it to a window, the radial menu it builds there, and tearing it
// down.
#include <quarn/winrt/dial.h>

#include "bindings/wheel/sim_wheel.h"
#include "dial/menu_icon.h"
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
    void SetUp() override { Attach(); }
};

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
