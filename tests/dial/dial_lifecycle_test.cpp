// Creating a dial, attaching it to a window, handing it tools, and tearing it down.
#include <quarn/winrt/dial.h>

#include "bindings/wheel/sim_wheel.h"
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

TEST_F(DialTest, SameWindowAgainChangesNothing) {
    Use({DoubleItem("size", "Size", 10, 1, 100)});
    auto* const controller = &Controller();
    const platform::RadialControllerMenuItem* const entry = Menu().Entries().at(0).Get();
    platform.Windows().SetTimer(window, Dial::kCommitTimerId, 250, &Dial::OnTimer);
    host.Clear();
    dial->SetCurrentWindow(window);
    EXPECT_EQ(&Controller(), controller);
    EXPECT_EQ(platform.Wheel().LiveControllerCount(), 1u);
    EXPECT_EQ(controller->HandlerCount(), 7u);
    EXPECT_NE(platform.Windows().FindTimer(window, Dial::kCommitTimerId), nullptr);
    // No menu rebuild: the same entry object, and no icon looked up again.
    ASSERT_EQ(Menu().Entries().size(), 1u);
    EXPECT_EQ(Menu().Entries()[0].Get(), entry);
    EXPECT_TRUE(host.Traces().empty());
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

}  // namespace
}  // namespace Quarn::WinRT::testing
