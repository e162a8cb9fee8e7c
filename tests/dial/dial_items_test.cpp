// Which items the dial offers, which is the default, which one it turns, and what the
// host's notifications refresh.
#include "bindings/corvanta/reflection.h"
#include "bindings/vorta/notifications.h"
#include "dial/adjustment_tools.h"
#include "dial/history_cache.h"
#include "items/item_lookup.h"
#include "overlay/dial_overlay_window.h"
#include "overlay/group_dial_overlay.h"
#include "tests/dial/dial_fixture.h"

namespace Quarn::WinRT::testing {
namespace {

using detail::FindAttribute;

template <class Node>
Counted<Selectable> Layer() {
    return MakeCounted<Node>();
}

class ItemsTest : public DialTest {
protected:
    void SelectLayers(std::vector<Counted<Selectable>> layers) {
        Selection selection;
        for (auto& layer : layers) {
            selection.Add(std::move(layer));
        }
        document->SetSelection(std::move(selection));
    }
    Counted<AdjustmentTool> AddCurvesTool(std::vector<Counted<Reflected>> items) {
        auto curves = MakeCounted<AdjustmentTool>(163, "Curves", document);
        for (auto& item : items) {
            curves->AddDialReflected(std::move(item));
        }
        document->AddTool(curves);
        return curves;
    }
    static bool IsDefault(const Counted<Reflected>& item) {
        return static_cast<bool>(FindAttribute<Corvanta::DefaultItemAttribute>(*item));
    }
};

// Each of the fourteen layer classes brings the items of the adjustment tool with its fixed id;
// any other class brings nothing. Without a tool the selection is not looked at at all.
TEST_F(ItemsTest, AdjustmentLayerClassesMapToTheirTools) {
    // The layer's class, and the id of the tool it brings (kNoAdjustmentTool: none).
    const std::pair<Counted<Selectable> (*)(), ToolID> cases[] = {
        {&Layer<BlackAndWhiteAdjustmentRasterNode>, 135},
        {&Layer<BrightnessContrastAdjustmentRasterNode>, 180},
        {&Layer<ColourBalanceAdjustmentRasterNode>, 182},
        {&Layer<CurvesAdjustmentRasterNode>, 163},
        {&Layer<ExposureAdjustmentRasterNode>, 176},
        {&Layer<HSLShiftAdjustmentRasterNode>, 178},
        {&Layer<LevelsAdjustmentRasterNode>, 188},
        {&Layer<PosteriseAdjustmentRasterNode>, 183},
        {&Layer<RecolourAdjustmentRasterNode>, 177},
        {&Layer<SplitToningAdjustmentRasterNode>, 181},
        {&Layer<ShadowsHighlightsAdjustmentRasterNode>, 209},
        {&Layer<ThresholdAdjustmentRasterNode>, 184},
        {&Layer<VibranceAdjustmentRasterNode>, 179},
        {&Layer<WhiteBalanceAdjustmentRasterNode>, 136},
        {&Layer<GradientMapAdjustmentRasterNode>, detail::kNoAdjustmentTool},
        {&Layer<PixelRasterNode>, detail::kNoAdjustmentTool},
    };
    auto tool = MakeTool({DoubleItem("size", "Size", 10, 1, 100)});
    for (const auto& [make, toolId] : cases) {  // the tool whose id means "none" is never asked
        auto adjustment = MakeCounted<AdjustmentTool>(toolId, "Adjustment", document);
        adjustment->AddDialReflected(DoubleItem("adj ", "Adjust", 0, 0, 1));
        document->AddTool(adjustment);
    }
    for (const auto& [make, toolId] : cases) {
        SelectLayers({make()});
        const auto result = dial->EnumerateReflecteds(tool, true);
        ASSERT_LE(result.size(), 2u);
        const auto* adjustment =
            result.size() == 2 ? dynamic_cast<Tool*>(result[1].reflectable.Get()) : nullptr;
        EXPECT_EQ(adjustment ? adjustment->GetToolID() : detail::kNoAdjustmentTool, toolId);
    }
    const auto withoutTool = dial->EnumerateReflecteds({}, true);
    ASSERT_EQ(withoutTool.size(), 1u);
    EXPECT_FALSE(withoutTool[0].reflectable);
    EXPECT_TRUE(withoutTool[0].reflecteds.empty());
}

struct SourceCase {
    const char* name;
    int layers;           // how many Curves layers are selected
    bool otherLayerKind;  // select a layer class without a dial tool instead
    bool fromSelection;
    std::size_t entries;
    bool toolDefault, adjustmentDefault;
};

TEST_F(ItemsTest, AdjustmentLayerSourceAndDefaultMarker) {
    const SourceCase cases[] = {
        {"one curves layer, default from selection", 1, false, true, 2, false, true},
        {"one curves layer, default from tool", 1, false, false, 2, true, false},
        {"two layers add nothing", 2, false, true, 1, false, false},
        {"layer without a tool adds nothing", 1, true, true, 1, false, false},
        {"no selection", 0, false, false, 1, true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto tool =
            MakeTool({DoubleItem("size", "Size", 10, 1, 100), DoubleItem("flow", "Flow", 1, 0, 1)});
        auto curves = AddCurvesTool(
            {DoubleItem("cur1", "Shadows", 0, 0, 1), DoubleItem("cur2", "Highlights", 1, 0, 1)});
        const auto layer = c.otherLayerKind ? Layer<GradientMapAdjustmentRasterNode>()
                                            : Layer<CurvesAdjustmentRasterNode>();
        SelectLayers(std::vector<Counted<Selectable>>(static_cast<std::size_t>(c.layers), layer));
        auto result = dial->EnumerateReflecteds(tool, c.fromSelection);
        ASSERT_EQ(result.size(), c.entries);
        EXPECT_EQ(IsDefault(result[0].reflecteds[0]), c.toolDefault);
        EXPECT_FALSE(IsDefault(result[0].reflecteds[1]));
        if (c.entries == 2) {
            EXPECT_EQ(result[1].reflectable, Counted<Kernel::Reflectable>(curves));
            EXPECT_EQ(IsDefault(result[1].reflecteds[0]), c.adjustmentDefault);
            EXPECT_FALSE(IsDefault(result[1].reflecteds[1]));
        }
    }
}

class NotifyTest : public DialTest {
protected:
    void SetUp() override { Attach(); }

    // Counts menu rebuilds: each rebuild traces once per entry without an icon file.
    std::size_t Rebuilds() { return host.Traces().size(); }
};

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
    auto history = HistoryItem();
    dial->Update(MakeTool({history}), false);
    Choose("History");
    document->GetHistory()->SetIndex(-1);
    dial->OnNotify(MakeCounted<DocumentHistoryChangedNotification>(document, false));
    auto cache = detail::FindAttribute<detail::DocumentHistoryCacheAttribute>(*history);
    EXPECT_EQ(cache->position, 0);
    EXPECT_EQ(cache->count, 3);
}

TEST_F(NotifyTest, InvalidatedItemReplacesTheSelectedItemButNotTheGroup) {
    auto tool = MakeTool({});
    auto size = DoubleItem("size", "Size", 10, 1, 100);
    auto hue = DoubleItem("hue ", "Hue", 0, 0, 360);
    auto group = Group("colr", "Colour", {hue});
    tool->AddDialReflected(size);
    tool->AddDialReflected(group);
    dial->Update(tool, false);
    Choose("Size");

    // The host replaces the item objects; the dial picks up the fresh one it is using.
    auto freshSize = DoubleItem("size", "Size", 20, 1, 100);
    auto freshHue = DoubleItem("hue ", "Hue", 90, 0, 360);
    tool->ClearDialReflecteds();
    tool->AddDialReflected(freshSize);
    tool->AddDialReflected(Group("colr", "Colour", {freshHue}));
    dial->OnNotify(MakeCounted<Kernel::InvalidateReflectedNotification>(tool, FourCC("hue ")));
    EXPECT_EQ(dial->GetSelectedItem(), Counted<Reflected>(size));  // not the one in use
    dial->OnNotify(MakeCounted<Kernel::InvalidateReflectedNotification>(tool, FourCC("size")));
    EXPECT_EQ(dial->GetSelectedItem(), Counted<Reflected>(freshSize));

    Choose("Colour");
    const auto* groupOverlay =
        dynamic_cast<const detail::GroupDialOverlay*>(dial->GetOverlayWindow().GetOverlay());
    ASSERT_NE(groupOverlay, nullptr);
    dial->OnNotify(MakeCounted<Kernel::InvalidateReflectedNotification>(tool, FourCC("hue ")));
    EXPECT_EQ(dial->GetSelectedItem(), Counted<Reflected>(group));  // the group object stays
    // ... while the overlay shows the fresh element, its record rebuilt from it.
    EXPECT_EQ(groupOverlay->GetCurrent(), Counted<Reflected>(freshHue));
    ASSERT_TRUE(groupOverlay->GetRecord(FourCC("hue ")));
    EXPECT_EQ(groupOverlay->GetRecord(FourCC("hue "))->value, 90);

    auto stranger = MakeCounted<Kernel::Reflectable>();
    dial->OnNotify(MakeCounted<Kernel::InvalidateReflectedNotification>(stranger, FourCC("size")));
    EXPECT_EQ(dial->GetSelectedItem(), Counted<Reflected>(group));
}

}  // namespace
}  // namespace Quarn::WinRT::testing
