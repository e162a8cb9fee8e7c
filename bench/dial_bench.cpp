// The dial's hot paths: the class test, enumeration, one rotation, and the value mapping.
#include <benchmark/benchmark.h>

#include "bench/alloc_counter.h"
#include "bindings/corvanta/attributes.h"
#include "bindings/corvanta/group.h"
#include "bindings/kernel/format.h"
#include "bindings/kernel/log.h"
#include "bindings/sim/sim_platform.h"
#include "bindings/vorta/attributes.h"
#include "bindings/vorta/tool.h"
#include "dial/dial.h"
#include "dial/notifications_sent.h"
#include "dial/range_access.h"
#include "dial/value_mapping.h"
#include "items/type_test.h"

namespace {

using namespace Quarn::WinRT;
using Kernel::Counted;
using Kernel::MakeCounted;

struct NoCallbacks final : IDialCallbacks {
    bool ComputeDialCentres(const Kernel::PointT<double>&, Kernel::PointT<double>&,
                            Kernel::PointT<double>&) override {
        return false;
    }
};

// --- the class test: a down-cast, and a cast from a virtual base ---

Kernel::Reflected* RangeAsReflected() {
    static auto item = MakeCounted<Kernel::ReflectedRangeT<double>>(1, "Size", 1.0, 0.0, 2.0);
    return item.Get();
}

Kernel::Countable* NotificationAsCountable() {
    static auto n = MakeCounted<ToolParametersChangedNotification>(nullptr, 1);
    return n.Get();
}

void BM_DownCast_Dynamic(benchmark::State& state) {
    Kernel::Reflected* item = RangeAsReflected();
    for (auto _ : state) {
        benchmark::DoNotOptimize(item);
        benchmark::DoNotOptimize(dynamic_cast<Kernel::ReflectedRangeT<double>*>(item));
    }
}
void BM_DownCast_Cached(benchmark::State& state) {
    Kernel::Reflected* item = RangeAsReflected();
    for (auto _ : state) {
        benchmark::DoNotOptimize(item);
        benchmark::DoNotOptimize(
            detail::CachedCast<Kernel::ReflectedRangeT<double>, struct BenchDownCastSite>(item));
    }
}
void BM_DownCastMiss_Dynamic(benchmark::State& state) {
    Kernel::Reflected* item = RangeAsReflected();
    for (auto _ : state) {
        benchmark::DoNotOptimize(item);
        benchmark::DoNotOptimize(dynamic_cast<Corvanta::ReflectedGroup*>(item));
    }
}
void BM_DownCastMiss_Cached(benchmark::State& state) {
    Kernel::Reflected* item = RangeAsReflected();
    for (auto _ : state) {
        benchmark::DoNotOptimize(item);
        benchmark::DoNotOptimize(
            detail::CachedCast<Corvanta::ReflectedGroup, struct BenchMissSite>(item));
    }
}
void BM_VirtualBaseCast_Dynamic(benchmark::State& state) {
    Kernel::Countable* object = NotificationAsCountable();
    for (auto _ : state) {
        benchmark::DoNotOptimize(object);
        benchmark::DoNotOptimize(dynamic_cast<DocumentNotification*>(object));
    }
}
void BM_VirtualBaseCast_Cached(benchmark::State& state) {
    Kernel::Countable* object = NotificationAsCountable();
    for (auto _ : state) {
        benchmark::DoNotOptimize(object);
        benchmark::DoNotOptimize(
            detail::CachedCast<DocumentNotification, struct BenchVirtualBaseSite>(object));
    }
}
BENCHMARK(BM_DownCast_Dynamic);
BENCHMARK(BM_DownCast_Cached);
BENCHMARK(BM_DownCastMiss_Dynamic);
BENCHMARK(BM_DownCastMiss_Cached);
BENCHMARK(BM_VirtualBaseCast_Dynamic);
BENCHMARK(BM_VirtualBaseCast_Cached);

// --- a session: an attached dial with a painting tool ---

// With `icons`, every property names an icon "icon<i>" of its own.
Counted<Tool> MakePaintingTool(const Counted<DocumentController>& document, int properties,
                               bool icons = false) {
    auto tool = MakeCounted<Tool>(7, "Brush", document);
    for (int i = 0; i < properties; ++i) {
        auto item = MakeCounted<Kernel::ReflectedRangeT<double>>(
            0x70000000u + static_cast<std::uint32_t>(i),
            Kernel::LocalisedString(Kernel::Format8("Property %1", i)), 50.0, 0.0, 100.0);
        if (icons) {
            item->AppendAttribute(MakeCounted<ImageAttribute>(Kernel::Format8("icon%1", i)));
        }
        tool->AddDialReflected(item);
    }
    std::vector<Counted<Kernel::Reflected>> elements;
    for (std::uint32_t i = 0; i < 3; ++i) {
        elements.push_back(
            MakeCounted<Kernel::ReflectedRangeT<double>>(0x60000000u + i, "Part", 0.5, 0.0, 1.0));
    }
    tool->AddDialReflected(MakeCounted<Corvanta::ReflectedGroup>(0x50000000u, "Group", elements));
    auto curves = MakeCounted<AdjustmentTool>(163, "Curves", document);
    curves->AddDialReflected(
        MakeCounted<Kernel::ReflectedRangeT<double>>(0x40000000u, "Shadows", 0.0, 0.0, 1.0));
    document->AddTool(tool);
    document->AddTool(curves);
    return tool;
}

// Every menu entry lacks an icon file and traces so; keep that out of the figures.
struct QuietTrace final : Kernel::TextSink {
    QuietTrace() : previous(Kernel::SetTraceSink(this)) {}
    ~QuietTrace() override { Kernel::SetTraceSink(previous); }
    void Write(std::string_view) override {}
    Kernel::TextSink* previous;
};

// An attached dial with a painting tool, one adjustment layer selected, the first item current.
struct Session {
    QuietTrace quiet;
    sim::SimPlatform platform;
    HWND window = platform.Windows().CreateHostWindow(RECT{0, 0, 1600, 900});
    NoCallbacks callbacks;
    Counted<DocumentController> document = MakeCounted<DocumentController>();
    Counted<Tool> tool;
    Counted<detail::Dial> dial;

    explicit Session(int properties) : tool(MakePaintingTool(document, properties)) {
        Selection selection;
        selection.Add(MakeCounted<CurvesAdjustmentRasterNode>());
        document->SetSelection(selection);
        dial = detail::Dial::Create(window, &callbacks);
        dial->SetCurrentWindow(window);
        dial->Update(tool, false);
        platform.Wheel().InvokeMenuItem(0);
    }
};

// Enumerate, flatten and resolve: what every Update does before the menu.
void BM_EnumerateFlattenResolve(benchmark::State& state) {
    Session session(30);
    for (auto _ : state) {
        // Enumeration appends markers to the host's items; give every iteration fresh ones.
        state.PauseTiming();
        Counted<Tool> tool = MakePaintingTool(session.document, 30);
        state.ResumeTiming();
        auto reflectables = session.dial->EnumerateReflecteds(tool, false);
        auto flat = detail::Dial::FlattenReflectables(reflectables);
        benchmark::DoNotOptimize(flat.data());
        benchmark::DoNotOptimize(session.dial->GetCurrentItem());
        benchmark::DoNotOptimize(session.dial->GetDialButtonReflected());
        state.PauseTiming();
        reflectables.clear();
        flat.clear();
        tool.Reset();
        state.ResumeTiming();
    }
}

// The full Update: enumeration and a menu rebuild of 32 entries with stock icons.
void BM_UpdateWithMenu(benchmark::State& state) {
    Session session(30);

    for (auto _ : state) {
        state.PauseTiming();
        Counted<Tool> tool = MakePaintingTool(session.document, 30);
        state.ResumeTiming();
        session.dial->Update(tool, false);
    }
}

// One rotation event through the simulated device to the host's notification.
void BM_RotationEvent(benchmark::State& state) {
    Session session(4);
    session.platform.Advance(100);
    double delta = 0.5;
    session.platform.Wheel().Rotate(delta);  // warm: the timers and vectors exist
    const std::uint64_t before = Quarn::Bench::AllocationCount();
    for (auto _ : state) {
        delta = -delta;  // stay inside the range
        benchmark::DoNotOptimize(session.platform.Wheel().Rotate(delta));
    }
    Quarn::Bench::ReportAllocationsPerIteration(state, before);
}

// Delta to range write on a double item, without the device or the host's notification.
void BM_ValueMapping(benchmark::State& state) {
    Counted<Kernel::Reflected> item =
        MakeCounted<Kernel::ReflectedRangeT<double>>(1, "Size", 50.0, 0.0, 100.0);
    const detail::Units units = MakeCounted<Kernel::UserUnits>();
    double delta = 0.25;
    const std::uint64_t before = Quarn::Bench::AllocationCount();
    for (auto _ : state) {
        delta = -delta;
        const double value = detail::GetRangeValue(item, units);
        const double next =
            detail::mapping::LinearValue(value, delta, detail::GetRangeMinimum(item, units),
                                         detail::GetRangeMaximum(item, units));
        detail::SetRangeValue(item, true, units, next);
    }
    Quarn::Bench::ReportAllocationsPerIteration(state, before);
}

// The same with an icon file for each of the 30 properties, in the platform's file cache
// (the simulated platform's in-memory files): each entry reads and checks its PNG.
void BM_UpdateWithIconMenu(benchmark::State& state) {
    Session session(30);
    static constexpr unsigned char kPng[] = {0x89, 'P',  'N', 'G', '\r', '\n',
                                             0x1A, '\n', 0,   0,   0,    0};
    for (int i = 0; i < 30; ++i) {
        session.platform.Files().AddFile(
            Kernel::Format8("C:\\Res\\Dial\\icon%1.png", i).CStr(),
            std::vector<unsigned char>(std::begin(kPng), std::end(kPng)));
    }
    session.dial->SetResourcesDirectory(Kernel::String8("C:\\Res"));
    for (auto _ : state) {
        state.PauseTiming();
        Counted<Tool> tool = MakePaintingTool(session.document, 30, true);
        state.ResumeTiming();
        session.dial->Update(tool, false);
    }
    std::size_t withIcon = 0;
    for (const auto& entry : session.platform.Wheel().ActiveController()->GetSimMenu().Entries()) {
        withIcon += entry->Icon() ? 1 : 0;
    }
    if (withIcon != 30) {
        state.SkipWithError("the icon files were not found: the figure would not be this case");
    }
}

BENCHMARK(BM_EnumerateFlattenResolve)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_UpdateWithMenu)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_UpdateWithIconMenu)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RotationEvent);
BENCHMARK(BM_ValueMapping);

}  // namespace
