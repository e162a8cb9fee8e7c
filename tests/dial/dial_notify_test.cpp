// What the host's notifications refresh.
#include "bindings/vorta/notifications.h"
#include "dial/history_cache.h"
#include "items/item_lookup.h"
#include "overlay/dial_overlay_window.h"
#include "overlay/group_dial_overlay.h"
#include "tests/dial/dial_fixture.h"

namespace Quarn::WinRT::testing {
namespace {

class NotifyTest : public DialTest {
protected:
    void SetUp() override { Attach(); }

    // Counts menu rebuilds: each rebuild traces once per entry without an icon file.
    std::size_t Rebuilds() { return host.Traces().size(); }
};

TEST_F(NotifyTest, NothingHappensWithoutATool) {
    dial->OnNotify(MakeCounted<Kernel::InvalidateReflectedsNotification>(nullptr));
    dial->OnNotify(MakeCounted<DocumentHistoryChangedNotification>(document, false));
    EXPECT_TRUE(host.Events().empty());
    EXPECT_TRUE(Menu().Entries().empty());
}

TEST_F(NotifyTest, InvalidatedItemsReenumerateWithTheRightFlag) {
    struct Case {
        const char* name;
        bool updateFlag;
        bool namesOwnTool;
        bool expectedFlag;
    };
    const Case cases[] = {
        {"own tool, flag false", false, true, false},
        {"other reflectable", false, false, true},
        {"flag already true", true, true, true},
    };
    auto tool = MakeTool({DoubleItem("size", "Size", 10, 1, 100)});
    auto other = MakeCounted<Kernel::Reflectable>();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        dial->Update(tool, c.updateFlag);
        const std::size_t before = Rebuilds();
        dial->OnNotify(MakeCounted<Kernel::InvalidateReflectedsNotification>(
            c.namesOwnTool ? Counted<Kernel::Reflectable>(tool) : other));
        EXPECT_EQ(dial->GetUpdateFlag(), c.expectedFlag);
        EXPECT_EQ(Rebuilds(), before + 1);
    }
}

TEST_F(NotifyTest, NewSelectionUpdatesOnlyForShapeToolsAndNotWhenTemporary) {
    auto shape = MakeCounted<ShapeTool>(12, "Shape", document);
    shape->AddDialReflected(DoubleItem("crnr", "Corner", 1, 0, 10));
    dial->Update(shape, true);
    std::size_t first = Rebuilds();
    dial->OnNotify(MakeCounted<NewSelectionNotification>(document, false, true));
    EXPECT_EQ(Rebuilds(), first);
    dial->OnNotify(MakeCounted<NewSelectionNotification>(document, false, false));
    EXPECT_EQ(Rebuilds(), first + 1);
    EXPECT_FALSE(dial->GetUpdateFlag());

    dial->Update(MakeTool({DoubleItem("size", "Size", 10, 1, 100)}), false);
    first = Rebuilds();
    dial->OnNotify(MakeCounted<NewSelectionNotification>(document, false, false));
    EXPECT_EQ(Rebuilds(), first);
}

TEST_F(NotifyTest, HistoryChangeRefreshesTheSelectedHistoryItem) {
    auto history = MakeCounted<Kernel::ReflectedBinding<Counted<DocumentHistory>>>(
        FourCC("hist"), "History", document->GetHistory());
    dial->Update(MakeTool({history}), false);
    Choose("History");
    document->GetHistory()->SetIndex(-1);
    dial->OnNotify(MakeCounted<DocumentHistoryChangedNotification>(document, false));
    auto cache = detail::FindAttribute<detail::DocumentHistoryCacheAttribute>(*history);
    EXPECT_EQ(cache->position, 0);
    EXPECT_EQ(cache->count, 3);
    EXPECT_TRUE(cache->description.IsEmpty());
}

TEST_F(NotifyTest, InvalidatedItemReplacesTheSelectedItemButNotTheGroup) {
    auto tool = MakeTool({});
    auto size = DoubleItem("size", "Size", 10, 1, 100);
    auto hue = DoubleItem("hue ", "Hue", 0, 0, 360);
    auto group = MakeCounted<Corvanta::ReflectedGroup>(FourCC("colr"), "Colour",
                                                       std::vector<Counted<Reflected>>{hue});
    tool->AddDialReflected(size);
    tool->AddDialReflected(group);
    dial->Update(tool, false);
    Choose("Size");

    // The host replaces the item objects; the dial picks up the fresh one it is using.
    auto freshSize = DoubleItem("size", "Size", 20, 1, 100);
    auto freshHue = DoubleItem("hue ", "Hue", 90, 0, 360);
    tool->ClearDialReflecteds();
    tool->AddDialReflected(freshSize);
    tool->AddDialReflected(MakeCounted<Corvanta::ReflectedGroup>(
        FourCC("colr"), "Colour", std::vector<Counted<Reflected>>{freshHue}));
    dial->OnNotify(MakeCounted<Kernel::InvalidateReflectedNotification>(tool, FourCC("hue ")));
    EXPECT_EQ(dial->GetSelectedItem(), Counted<Reflected>(size));  // not the one in use
    dial->OnNotify(MakeCounted<Kernel::InvalidateReflectedNotification>(tool, FourCC("size")));
    EXPECT_EQ(dial->GetSelectedItem(), Counted<Reflected>(freshSize));

    Choose("Colour");
    const auto* groupOverlay =
        dynamic_cast<const detail::GroupDialOverlay*>(dial->GetOverlayWindow().GetOverlay());
    ASSERT_NE(groupOverlay, nullptr);
    ASSERT_TRUE(groupOverlay->GetRecord(FourCC("hue ")));
    EXPECT_EQ(groupOverlay->GetRecord(FourCC("hue "))->value, 0);
    dial->OnNotify(MakeCounted<Kernel::InvalidateReflectedNotification>(tool, FourCC("hue ")));
    EXPECT_EQ(dial->GetSelectedItem(), Counted<Reflected>(group));  // the group object stays
    // ... while the overlay shows the fresh element, its record rebuilt from it.
    EXPECT_EQ(groupOverlay->GetCurrent(), Counted<Reflected>(freshHue));
    ASSERT_TRUE(groupOverlay->GetRecord(FourCC("hue ")));
    EXPECT_EQ(groupOverlay->GetRecord(FourCC("hue "))->value, 90);
    EXPECT_EQ(groupOverlay->GetRecord(FourCC("hue "))->valueText, "90");

    auto stranger = MakeCounted<Kernel::Reflectable>();
    dial->OnNotify(MakeCounted<Kernel::InvalidateReflectedNotification>(stranger, FourCC("size")));
    EXPECT_EQ(dial->GetSelectedItem(), Counted<Reflected>(group));
}

TEST_F(NotifyTest, AdjustmentParametersRefreshTheSelectedLayersTool) {
    auto tool = MakeTool({DoubleItem("size", "Size", 10, 1, 100)});
    auto curves = MakeCounted<AdjustmentTool>(163, "Curves", document);
    document->AddTool(curves);
    Selection selection;
    selection.Add(MakeCounted<CurvesAdjustmentRasterNode>());
    document->SetSelection(selection);
    dial->Update(tool, false);
    std::size_t first = Rebuilds();
    dial->OnNotify(MakeCounted<AdjustmentNodeParametersChangedNotification>(document, false));
    EXPECT_EQ(Rebuilds(), first);  // no re-enumeration
    const auto events = host.Events();
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.back().kind, sample::HostEvent::Kind::RefreshParameters);
}

}  // namespace
}  // namespace Quarn::WinRT::testing
