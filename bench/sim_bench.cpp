// The simulator on a long session: 1,000,000 rotation events, written as one repeated line and
// as a million lines, without frames. Reports rotation events per second and the process's peak
// resident memory, which must stay under 64 MB: the simulator streams its transcript and keeps
// nothing per event or per line. Run alone (quarn_sim_bench), so the peak is this session's.

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <ostream>
#include <streambuf>
#include <string>

#include "tools/sim/run.h"

namespace {

constexpr int kEvents = 1'000'000;

constexpr const char* kHost = R"({"tools": [{"name": "Brush", "items": [
  {"kind": "double", "id": "size", "name": "Size", "value": 10, "range": [0, 100]}]}]})";

// Counts what it is given and keeps none of it, as a transcript file on a fast disk would.
class CountingBuffer : public std::streambuf {
public:
    std::size_t Bytes() const { return m_bytes; }

protected:
    int_type overflow(int_type c) override {
        ++m_bytes;
        return traits_type::not_eof(c);
    }
    std::streamsize xsputn(const char*, std::streamsize n) override {
        m_bytes += static_cast<std::size_t>(n);
        return n;
    }

private:
    std::size_t m_bytes = 0;
};

double PeakResidentMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;  // kilobytes on Linux
}

void RunSession(benchmark::State& state, const std::string& script) {
    std::size_t bytes = 0;
    for (auto _ : state) {
        CountingBuffer buffer;
        std::ostream transcript(&buffer);
        std::ostream errors(&buffer);
        const int status = Quarn::WinRT::sim::RunSessionText(
            kHost, "host.json", script, "session.dial", ".", transcript, errors);
        if (status != Quarn::WinRT::sim::kExitOk) {
            state.SkipWithError("the session failed");
        }
        bytes = buffer.Bytes();
    }
    state.SetItemsProcessed(state.iterations() * kEvents);
    state.counters["events/s"] = benchmark::Counter(static_cast<double>(kEvents),
                                                    benchmark::Counter::kIsIterationInvariantRate);
    state.counters["peak_rss_MB"] = PeakResidentMegabytes();
    state.counters["transcript_MB"] = static_cast<double>(bytes) / (1024.0 * 1024.0);
}

void BM_SimOneLineOfAMillionRotations(benchmark::State& state) {
    RunSession(state,
               "attach\ntool Brush\nselect Size\nrotate 1 x" + std::to_string(kEvents) + "\n");
}
BENCHMARK(BM_SimOneLineOfAMillionRotations)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

void BM_SimAMillionRotationLines(benchmark::State& state) {
    std::string script = "attach\ntool Brush\nselect Size\n";
    script.reserve(script.size() + 9 * static_cast<std::size_t>(kEvents));
    for (int i = 0; i < kEvents; ++i) {
        script += i % 2 == 0 ? "rotate 1\n" : "rotate -1\n";
    }
    RunSession(state, script);
}
BENCHMARK(BM_SimAMillionRotationLines)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

}  // namespace
