// The radial menu as the device shows it.
#include "bindings/files/sim_files.h"
#include "dial/menu_icon.h"
#include "dial/menu_item_tag.h"
#include "tests/dial/dial_fixture.h"

namespace Quarn::WinRT::testing {
namespace {

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
