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
using Quarn::WinRT::sample::HostEvent;
using Quarn::WinRT::sample::HostRecorder;

std::string Text(const Kernel::LocalisedString& text) {
    return std::string(text.ToString().GetView());
}

TEST(DocumentHistoryTest, StepsKeepThePositionWithinTheEntries) {
    struct Step {
        char op;  // push, undo, redo, or set the index
        int index;
        bool accepted;
        int position, count;
    };
    const Step steps[] = {
        {'u', 0, false, 0, 0}, {'r', 0, false, 0, 0},  {'s', 0, false, 0, 0}, {'s', -1, true, 0, 0},
        {'p', 0, true, 1, 1},  {'p', 0, true, 2, 2},   {'p', 0, true, 3, 3},  {'r', 0, false, 3, 3},
        {'s', 3, false, 3, 3}, {'s', -2, false, 3, 3}, {'s', 0, true, 1, 3},  {'u', 0, true, 0, 3},
        {'u', 0, false, 0, 3}, {'r', 0, true, 1, 3},   {'p', 0, true, 2, 2},  // drops the tail
        {'r', 0, false, 2, 2}, {'s', -1, true, 0, 2},  {'p', 0, true, 1, 1},
    };
    DocumentHistory history;
    for (const Step& step : steps) {
        const std::string trace = std::string(1, step.op) + std::to_string(&step - steps);
        bool accepted = true;
        if (step.op == 'p') {
            history.Push(Kernel::LocalisedString(Kernel::String8(trace.c_str())));
        } else if (step.op == 'u') {
            accepted = history.Undo();
        } else if (step.op == 'r') {
            accepted = history.Redo();
        } else {
            accepted = history.SetIndex(step.index);
        }
        EXPECT_EQ(accepted, step.accepted) << trace;
        EXPECT_EQ(history.GetPosition(), step.position) << trace;
        EXPECT_EQ(history.GetCount(), step.count) << trace;
    }
    EXPECT_EQ(Text(history.GetEntryName(0)), "p17");
    EXPECT_TRUE(history.GetEntryName(-1).IsEmpty());
    EXPECT_TRUE(history.GetEntryName(1).IsEmpty());
}

TEST(DocumentControllerTest, ToolsAreFoundByIdentifierAndNeitherKeepsTheOtherAlive) {
    HostRecorder recorder;
    auto controller = MakeCounted<DocumentController>();
    auto brush = MakeCounted<Tool>(5, "Brush", controller);
    auto curves = MakeCounted<AdjustmentTool>(2, "Curves", controller);
    controller->AddTool(brush);
    controller->AddTool(curves);
    controller->AddTool(nullptr);
    controller->AddTool(MakeCounted<Tool>(5, "Pencil", controller));  // replaces the brush
    EXPECT_EQ(controller->GetToolByID(2), curves);
    EXPECT_EQ(Text(controller->GetToolByID(5)->GetName()), "Pencil");
    EXPECT_FALSE(controller->GetToolByID(3));

    controller->GetHistory()->Push("Stroke");
    EXPECT_EQ(Text(brush->GetHistoryEntryName(0)), "Stroke");
    brush->SetHistoryIndex(-1);
    brush->SetHistoryIndex(9);  // refused by the history, still reported
    EXPECT_EQ(brush->GetHistoryPosition(), 0);
    ASSERT_EQ(recorder.Events().size(), 2u);
    EXPECT_EQ(recorder.Events()[1].kind, HostEvent::Kind::HistoryIndexSet);
    EXPECT_EQ(recorder.Events()[1].index, 9);

    // The controller is kept by its owner only: once it goes, the tool reads an empty history
    // and reports nothing.
    recorder.Clear();
    controller.Reset();
    EXPECT_FALSE(brush->GetSafeDocumentController().GetDocumentController());
    EXPECT_EQ(brush->GetHistoryCount(), 0);
    EXPECT_TRUE(brush->GetHistoryEntryName(0).IsEmpty());
    brush->SetHistoryIndex(-1);
    EXPECT_TRUE(recorder.Events().empty());

    // Nor are a tool's user units ever empty, nor a selection's entries.
    brush->SetUserUnits(nullptr);
    EXPECT_TRUE(brush->GetUserUnits());
    Selection selection;
    selection.Add(nullptr);
    EXPECT_EQ(selection.GetSize(), 0u);
}

}  // namespace
