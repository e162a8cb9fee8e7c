#pragma once
// Counts the heap allocations of the process. Linking alloc_counter.cpp replaces the global
// operator new and delete (every form) with counting ones, so a benchmark can report how many
// allocations one iteration makes:
//
//     const std::uint64_t before = Quarn::Bench::AllocationCount();
//     for (auto _ : state) { ... }
//     Quarn::Bench::ReportAllocationsPerIteration(state, before);
//
// Only operator new is counted; memory taken by malloc directly is not.

#include <cstdint>

namespace benchmark {
class State;
}

namespace Quarn::Bench {

// Allocations through operator new since the process started, on every thread.
std::uint64_t AllocationCount() noexcept;

// Sets the "allocs/iter" counter of `state` from the count taken before its loop.
void ReportAllocationsPerIteration(benchmark::State& state, std::uint64_t countBefore);

}  // namespace Quarn::Bench
