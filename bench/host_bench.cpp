// The host stand-ins on the dial's hot paths: reference counting of the host's objects, and the
// UTF-8 to UTF-16 conversion every menu item name goes through.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string_view>

#include "bench/alloc_counter.h"
#include "bindings/kernel/counted.h"
#include "bindings/kernel/string.h"

namespace {

class Item : public Kernel::Countable {};

void BM_CountedCopyRelease(benchmark::State& state) {
    const Kernel::Counted<Item> item = Kernel::MakeCounted<Item>();
    for (auto _ : state) {
        Kernel::Counted<Item> copy = item;
        benchmark::DoNotOptimize(copy.Get());
    }
}
BENCHMARK(BM_CountedCopyRelease);

// Two 64-character menu item names.
constexpr std::string_view kAsciiName =
    "Brush Size Jitter Control for the Soft Round Pressure Opacity 01";
constexpr std::string_view kAccentedName =
    "Gr\xC3\xB6\xC3\x9F"
    "e der Pinselspitze \xE2\x80\x93 \xE7\x94\xBB\xE7\xAC\x94 f\xC3\xBCr "
    "weiche Rundpinsel, Deckkraft \xC3\x9F \xC3\xA9";
static_assert(kAsciiName.size() == 64);

std::size_t CodePoints(std::string_view utf8) {
    std::size_t count = 0;
    for (const char c : utf8) {
        count += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
    }
    return count;
}

void BM_ConvertEncUtf8ToUtf16(benchmark::State& state) {
    const std::string_view name = state.range(0) == 0 ? kAsciiName : kAccentedName;
    if (CodePoints(name) != 64) {
        state.SkipWithError("the name is not 64 characters long");
        return;
    }
    state.SetLabel(state.range(0) == 0 ? "ascii" : "non-ascii");
    const std::uint64_t before = Quarn::Bench::AllocationCount();
    for (auto _ : state) {
        Kernel::String16 converted = Kernel::ConvertEnc<Kernel::TEncUtf16>(
            name.data(), static_cast<std::ptrdiff_t>(name.size()));
        benchmark::DoNotOptimize(converted.CStr());
    }
    Quarn::Bench::ReportAllocationsPerIteration(state, before);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(name.size()));
}
BENCHMARK(BM_ConvertEncUtf8ToUtf16)->Arg(0)->Arg(1);

}  // namespace
