#include "bindings/sample_host/recorder.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "bindings/kernel/log.h"
#include "bindings/kernel/reflected.h"
#include "bindings/vorta/controller.h"
#include "bindings/vorta/notifications.h"
#include "bindings/vorta/tool.h"

namespace {

using Kernel::Counted;
using Kernel::MakeCounted;
using Quarn::WinRT::sample::HostEvent;
using Quarn::WinRT::sample::HostRecorder;
using Kind = HostEvent::Kind;

std::vector<Kind> KindsOf(const std::vector<HostEvent>& events) {
    std::vector<Kind> kinds;
    for (const HostEvent& event : events) {
        kinds.push_back(event.kind);
    }
    return kinds;
}

// Everything the host reports, one of each kind, in a known order.
void CauseOneOfEach(const Counted<DocumentController>& controller) {
    Kernel::Log().WriteLine("a log line");
    Kernel::Trace("a trace\n");
    Kernel::ReflectedRangeT<double> size(Kernel::FourCC("size"), "Size", 1.0, 0.0, 10.0);
    size.SetValue(2.5, true);
    VortaController::GetInstance().PostNotification(
        MakeCounted<NewSelectionNotification>(controller, true, true));
    Tool brush(11, "Brush", controller);
    brush.SetHistoryIndex(-1);
    AdjustmentTool levels(12, "Levels", controller);
    levels.RefreshParameters();
}

const std::vector<Kind> kOneOfEach = {
    Kind::Log,          Kind::Trace,           Kind::ValueWritten,
    Kind::Notification, Kind::HistoryIndexSet, Kind::RefreshParameters};

TEST(HostRecorderTest, RecordsEveryKindInArrivalOrder) {
    HostRecorder recorder;
    auto controller = MakeCounted<DocumentController>();
    CauseOneOfEach(controller);

    const std::vector<HostEvent> events = recorder.Events();
    ASSERT_EQ(KindsOf(events), kOneOfEach);
    EXPECT_EQ(events[0].text, "a log line");
    EXPECT_EQ(events[1].text, "a trace\n");
    EXPECT_EQ(events[2].itemId, Kernel::FourCC("size"));
    EXPECT_TRUE(events[2].flag);
    EXPECT_EQ(events[3].text, "NewSelectionNotification");
    EXPECT_TRUE(events[3].flag);
    EXPECT_EQ(events[4].itemId, 11u);
    EXPECT_EQ(events[4].index, -1);
    EXPECT_EQ(events[5].text, "Levels");

    EXPECT_EQ(recorder.LogLines(), std::vector<std::string>{"a log line"});
    EXPECT_EQ(recorder.Traces(), std::vector<std::string>{"a trace\n"});
    ASSERT_EQ(recorder.ValueWrites().size(), 1u);
    const auto notifications = recorder.Notifications();
    ASSERT_EQ(notifications.size(), 1u);
    const auto* selection = dynamic_cast<const NewSelectionNotification*>(notifications[0].Get());
    ASSERT_NE(selection, nullptr);
    EXPECT_TRUE(selection->isTemporary);
    EXPECT_EQ(selection->GetDocumentController(), controller);

    recorder.Clear();
    EXPECT_TRUE(recorder.Events().empty());
}

TEST(HostRecorderTest, ARecorderThatOnlyListensKeepsNothing) {
    struct Case {
        HostRecorder::Retention retention;
        std::size_t kept;
    };
    for (const Case& c : {Case{HostRecorder::Retention::Keep, kOneOfEach.size()},
                          Case{HostRecorder::Retention::ListenOnly, 0}}) {
        HostRecorder recorder(c.retention);
        std::vector<Kind> heard;
        const Kernel::Reflected* written = nullptr;
        recorder.SetListener([&](const HostEvent& event) {
            heard.push_back(event.kind);
            if (event.kind == Kind::ValueWritten) {
                written = event.item;
                EXPECT_EQ(event.item->GetIdentifier(), Kernel::FourCC("size"));
            }
        });
        CauseOneOfEach(MakeCounted<DocumentController>());
        recorder.SetListener({});
        EXPECT_EQ(heard, kOneOfEach);
        EXPECT_NE(written, nullptr);
        EXPECT_EQ(recorder.KeptCount(), c.kept);
        // The item was gone by now: a kept event does not point at it.
        for (const HostEvent& event : recorder.Events()) {
            EXPECT_EQ(event.item, nullptr);
        }
    }
}

TEST(HostRecorderTest, EmptyNotificationIsLoggedNotDelivered) {
    HostRecorder recorder;
    VortaController::GetInstance().PostNotification(nullptr);
    EXPECT_TRUE(recorder.Notifications().empty());
    EXPECT_EQ(recorder.LogLines().size(), 1u);
}

TEST(HostRecorderTest, NestedRecorderPutsBackWhatItReplaced) {
    auto controller = MakeCounted<DocumentController>();
    HostRecorder outer;
    {
        HostRecorder inner;
        CauseOneOfEach(controller);
        EXPECT_EQ(KindsOf(inner.Events()), kOneOfEach);
        EXPECT_TRUE(outer.Events().empty());
    }
    CauseOneOfEach(controller);
    EXPECT_EQ(KindsOf(outer.Events()), kOneOfEach);
}

TEST(HostRecorderTest, RecordsFromTwoThreadsAtOnceInEachThreadsOrder) {
    constexpr int kLines = 2000;
    HostRecorder recorder;
    auto writeLines = [](char name) {
        for (int i = 0; i < kLines; ++i) {
            const std::string line = name + std::to_string(i);
            if (i % 2 == 0) {
                Kernel::Log().WriteLine(line.c_str());
            } else {
                Kernel::Trace(line.c_str());
            }
        }
    };
    std::thread first(writeLines, 'a');
    std::thread second(writeLines, 'b');
    first.join();
    second.join();

    const std::vector<HostEvent> events = recorder.Events();
    ASSERT_EQ(events.size(), 2u * kLines);
    int next[2] = {0, 0};
    for (const HostEvent& event : events) {
        const int thread = event.text[0] - 'a';
        ASSERT_TRUE(thread == 0 || thread == 1) << event.text;
        int& expected = next[thread];
        EXPECT_EQ(event.text.substr(1), std::to_string(expected));
        EXPECT_EQ(event.kind, expected % 2 == 0 ? Kind::Log : Kind::Trace);
        ++expected;
    }
    EXPECT_EQ(next[0], kLines);
    EXPECT_EQ(next[1], kLines);
}

TEST(HostRecorderTest, ListenerSeesEachEventAfterItIsRecordedAndMayLog) {
    HostRecorder recorder;
    std::vector<std::string> heard;
    recorder.SetListener([&](const HostEvent& event) {
        heard.push_back(event.text);
        // Recorded before the listener ran, so the recorder already holds it.
        EXPECT_EQ(recorder.Events().back().text, event.text);
        if (event.kind == Kind::Trace) {
            Kernel::Log().WriteLine(("heard " + event.text).c_str());
        }
    });
    Kernel::Trace("one");
    Kernel::Log().WriteLine("two");

    const std::vector<std::string> expected = {"one", "heard one", "two"};
    EXPECT_EQ(heard, expected);
    std::vector<std::string> recorded;
    for (const HostEvent& event : recorder.Events()) {
        recorded.push_back(event.text);
    }
    EXPECT_EQ(recorded, expected);
}

}  // namespace
