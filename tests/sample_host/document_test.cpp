#include "bindings/vorta/document.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bindings/kernel/counted.h"
#include "bindings/sample_host/recorder.h"
#include "bindings/vorta/tool.h"

namespace {

using Kernel::Counted;
using Kernel::MakeCounted;
using Kernel::WeakCounted;
using Quarn::WinRT::sample::HostEvent;
using Quarn::WinRT::sample::HostRecorder;

std::string Text(const Kernel::LocalisedString& text) {
    return std::string(text.ToString().GetView());
}

struct HistoryStep {
    enum class Op { Push, Undo, Redo, SetIndex };
    Op op;
    int index;  // SetIndex only
    bool accepted;
    int position;
};

struct HistoryCase {
    const char* name;
    std::vector<HistoryStep> steps;
    std::vector<std::string> entries;
};

using Op = HistoryStep::Op;

TEST(DocumentHistoryTest, StepsKeepPositionWithinTheEntries) {
    const std::vector<HistoryCase> cases = {
        {"empty history refuses everything but -1",
         {{Op::Undo, 0, false, 0},
          {Op::Redo, 0, false, 0},
          {Op::SetIndex, 0, false, 0},
          {Op::SetIndex, -1, true, 0}},
         {}},
        {"undo stops at the start",
         {{Op::Push, 0, true, 1}, {Op::Undo, 0, true, 0}, {Op::Undo, 0, false, 0}},
         {"e0"}},
        {"redo stops at the end",
         {{Op::Push, 0, true, 1},
          {Op::Redo, 0, false, 1},
          {Op::Undo, 0, true, 0},
          {Op::Redo, 0, true, 1},
          {Op::Redo, 0, false, 1}},
         {"e0"}},
        {"push after undo drops the redo tail",
         {{Op::Push, 0, true, 1},
          {Op::Push, 0, true, 2},
          {Op::Push, 0, true, 3},
          {Op::Undo, 0, true, 2},
          {Op::Undo, 0, true, 1},
          {Op::Push, 0, true, 2},
          {Op::Redo, 0, false, 2}},
         {"e0", "e5"}},
        {"push after SetIndex(-1) replaces the whole history",
         {{Op::Push, 0, true, 1},
          {Op::Push, 0, true, 2},
          {Op::SetIndex, -1, true, 0},
          {Op::Push, 0, true, 1}},
         {"e3"}},
        {"SetIndex accepts -1..count-1 only",
         {{Op::Push, 0, true, 1},
          {Op::Push, 0, true, 2},
          {Op::Push, 0, true, 3},
          {Op::SetIndex, 0, true, 1},
          {Op::SetIndex, 3, false, 1},
          {Op::SetIndex, -2, false, 1},
          {Op::SetIndex, 2, true, 3},
          {Op::SetIndex, -1, true, 0}},
         {"e0", "e1", "e2"}},
    };

    for (const HistoryCase& c : cases) {
        SCOPED_TRACE(c.name);
        DocumentHistory history;
        for (std::size_t i = 0; i < c.steps.size(); ++i) {
            SCOPED_TRACE("step " + std::to_string(i));
            const HistoryStep& step = c.steps[i];
            bool accepted = true;
            switch (step.op) {
                case Op::Push:
                    history.Push(Kernel::LocalisedString(
                        Kernel::String8(("e" + std::to_string(i)).c_str())));
                    break;
                case Op::Undo:
                    accepted = history.Undo();
                    break;
                case Op::Redo:
                    accepted = history.Redo();
                    break;
                case Op::SetIndex:
                    accepted = history.SetIndex(step.index);
                    break;
            }
            EXPECT_EQ(accepted, step.accepted);
            EXPECT_EQ(history.GetPosition(), step.position);
        }
        ASSERT_EQ(history.GetCount(), static_cast<int>(c.entries.size()));
        for (int i = 0; i < history.GetCount(); ++i) {
            EXPECT_EQ(Text(history.GetEntryName(i)), c.entries[static_cast<std::size_t>(i)]);
        }
        EXPECT_TRUE(history.GetEntryName(-1).IsEmpty());
        EXPECT_TRUE(history.GetEntryName(history.GetCount()).IsEmpty());
    }
}

TEST(DocumentControllerTest, ToolsAreFoundByIdentifierOnePerIdentifier) {
    auto controller = MakeCounted<DocumentController>();
    auto brush = MakeCounted<Tool>(1, "Brush", controller);
    auto curves = MakeCounted<AdjustmentTool>(2, "Curves", controller);
    controller->AddTool(brush);
    controller->AddTool(curves);
    controller->AddTool(nullptr);

    EXPECT_EQ(controller->GetToolByID(1), brush);
    EXPECT_EQ(controller->GetToolByID(2), curves);
    EXPECT_FALSE(controller->GetToolByID(3));

    auto pencil = MakeCounted<Tool>(1, "Pencil", controller);
    controller->AddTool(pencil);
    EXPECT_EQ(controller->GetToolByID(1), pencil);
    EXPECT_EQ(controller->GetToolByID(2), curves);
}

TEST(DocumentControllerTest, ControllerAndToolDoNotKeepEachOtherAlive) {
    WeakCounted<DocumentController> weakController;
    WeakCounted<Tool> weakTool;
    {
        auto controller = MakeCounted<DocumentController>();
        auto tool = MakeCounted<AdjustmentTool>(7, "Levels", controller);
        controller->AddTool(tool);
        weakController = controller;
        weakTool = WeakCounted<Tool>(tool.Get());
        ASSERT_EQ(tool->GetSafeDocumentController().GetDocumentController(), controller);
    }
    EXPECT_TRUE(weakController.Expired());
    EXPECT_TRUE(weakTool.Expired());
}

TEST(DocumentControllerTest, ToolThatOutlivesItsControllerReadsAnEmptyHistory) {
    HostRecorder recorder;
    Counted<Tool> tool;
    {
        auto controller = MakeCounted<DocumentController>();
        controller->GetHistory()->Push("Stroke");
        tool = MakeCounted<Tool>(1, "Brush", controller);
        // The controller is not kept by the tool, so it goes with this scope.
    }
    EXPECT_FALSE(tool->GetSafeDocumentController().GetDocumentController());
    EXPECT_FALSE(tool->GetUnsafeDocumentController());
    EXPECT_EQ(tool->GetHistoryCount(), 0);
    EXPECT_EQ(tool->GetHistoryPosition(), 0);
    EXPECT_TRUE(tool->GetHistoryEntryName(0).IsEmpty());
    tool->SetHistoryIndex(-1);
    EXPECT_TRUE(recorder.Events().empty());
}

TEST(DocumentControllerTest, ToolHistoryCallsReachTheControllerAndAreReported) {
    HostRecorder recorder;
    auto controller = MakeCounted<DocumentController>();
    auto tool = MakeCounted<Tool>(5, "Brush", controller);
    controller->GetHistory()->Push("Open");
    controller->GetHistory()->Push("Stroke");

    EXPECT_EQ(tool->GetHistoryCount(), 2);
    EXPECT_EQ(Text(tool->GetHistoryEntryName(1)), "Stroke");

    tool->SetHistoryIndex(-1);
    EXPECT_EQ(tool->GetHistoryPosition(), 0);
    tool->SetHistoryIndex(9);  // refused by the history, still reported
    EXPECT_EQ(tool->GetHistoryPosition(), 0);

    const std::vector<HostEvent> events = recorder.Events();
    ASSERT_EQ(events.size(), 2u);
    for (const HostEvent& event : events) {
        EXPECT_EQ(event.kind, HostEvent::Kind::HistoryIndexSet);
        EXPECT_EQ(event.itemId, 5u);
        EXPECT_EQ(event.text, "Brush");
    }
    EXPECT_EQ(events[0].index, -1);
    EXPECT_EQ(events[1].index, 9);
}

TEST(DocumentControllerTest, ToolUserUnitsAreNeverEmpty) {
    Tool tool(1, "Move", nullptr);
    ASSERT_TRUE(tool.GetUserUnits());
    auto inches = MakeCounted<const Kernel::UserUnits>(Kernel::UnitTypes::Inches,
                                                       Kernel::UnitTypes::Radians, 300.0);
    tool.SetUserUnits(inches);
    EXPECT_EQ(tool.GetUserUnits(), inches);
    tool.SetUserUnits(nullptr);
    ASSERT_TRUE(tool.GetUserUnits());
    EXPECT_EQ(tool.GetUserUnits()->GetDpi(), Kernel::UserUnits().GetDpi());
}

TEST(SelectionTest, EmptyReferencesAreNotKept) {
    Selection selection;
    selection.Add(MakeCounted<PixelRasterNode>("Background"));
    selection.Add(nullptr);
    selection.Add(MakeCounted<CurvesAdjustmentRasterNode>("Curves 1"));
    ASSERT_EQ(selection.GetSize(), 2u);
    for (const Counted<Selectable>& item : selection) {
        EXPECT_FALSE(item->GetName().IsEmpty());
    }
}

}  // namespace
