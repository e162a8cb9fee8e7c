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
void CauseOneOfEach() {
    const auto controller = MakeCounted<DocumentController>();
    Kernel::Log().WriteLine("a log line");
    Kernel::Trace("a trace\n");
    Kernel::ReflectedRangeT<double> size(Kernel::FourCC("size"), "Size", 1.0, 0.0, 10.0);
    size.SetValue(2.5, true);
    VortaController::GetInstance().PostNotification(
        MakeCounted<NewSelectionNotification>(controller, true, true));
    Tool(11, "Brush", controller).SetHistoryIndex(-1);
    AdjustmentTool(12, "Levels", controller).RefreshParameters();
}

const std::vector<Kind> kOneOfEach = {
    Kind::Log,          Kind::Trace,           Kind::ValueWritten,
    Kind::Notification, Kind::HistoryIndexSet, Kind::RefreshParameters};

TEST(HostRecorderTest, RecordsEveryKindInArrivalOrderAndNestedRecordersPutBackTheirOwn) {
    HostRecorder outer;
    {
        HostRecorder inner;
        CauseOneOfEach();
        EXPECT_EQ(KindsOf(inner.Events()), kOneOfEach);
        EXPECT_EQ(inner.Events()[3].text, "NewSelectionNotification");
        EXPECT_TRUE(outer.Events().empty());
    }
    CauseOneOfEach();
    EXPECT_EQ(KindsOf(outer.Events()), kOneOfEach);
    outer.Clear();
    VortaController::GetInstance().PostNotification(nullptr);  // logged, not delivered
    EXPECT_EQ(KindsOf(outer.Events()), std::vector<Kind>{Kind::Log});
}

// A listener hears each event once it is recorded, and may log from inside; a recorder that only
// listens keeps nothing.
TEST(HostRecorderTest, AListenerHearsEachEventRecordedAndARecorderThatOnlyListensKeepsNothing) {
    for (const auto retention :
         {HostRecorder::Retention::Keep, HostRecorder::Retention::ListenOnly}) {
        HostRecorder recorder(retention);
        const bool keeps = retention == HostRecorder::Retention::Keep;
        std::vector<Kind> heard;
        const Kernel::Reflected* written = nullptr;
        recorder.SetListener([&](const HostEvent& event) {
            heard.push_back(event.kind);
            written = event.kind == Kind::ValueWritten ? event.item : written;
            EXPECT_TRUE(!keeps || recorder.Events().back().text == event.text);
            if (event.kind == Kind::Trace) {
                Kernel::Log().WriteLine("heard a trace");
            }
        });
        CauseOneOfEach();
        recorder.SetListener({});
        std::vector<Kind> expected = kOneOfEach;
        expected.insert(expected.begin() + 2, Kind::Log);
        EXPECT_EQ(heard, expected);
        EXPECT_NE(written, nullptr);
        EXPECT_EQ(recorder.KeptCount(), keeps ? expected.size() : 0u);
        // The item was gone by now: a kept event does not point at it.
        for (const HostEvent& event : recorder.Events()) {
            EXPECT_EQ(event.item, nullptr);
        }
    }
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

    int next[2] = {0, 0};
    for (const HostEvent& event : recorder.Events()) {
        const int thread = event.text[0] - 'a';
        ASSERT_TRUE(thread == 0 || thread == 1) << event.text;
        EXPECT_EQ(event.text.substr(1), std::to_string(next[thread]));
        EXPECT_EQ(event.kind, next[thread]++ % 2 == 0 ? Kind::Log : Kind::Trace);
    }
    EXPECT_EQ(next[0] + next[1], 2 * kLines);
}

}  // namespace
