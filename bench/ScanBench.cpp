// Cross-identification: the search of the whole score matrix for every pair taken
// against the sorted walk, on the same pairs of related calibrations.
#include "Calibration.h"
#include "CrossIdentifier.h"
#include "LiteralCrossIdentify.h"
#include "RandomCalibrations.h"

#include <benchmark/benchmark.h>
#include <memory>

using namespace tevra;

namespace {

// Two builds of the same 32 KB program with n entries each, as the scan of one
// and the definition file of the other would give.
struct Fixture {
    Calibration self, other;
    explicit Fixture(int n) {
        test::RandomPairShape shape;
        shape.maxSelfEntries = shape.maxOtherEntries = n;
        shape.minImageLength = shape.maxImageLength = 0x8000;
        shape.related = true;
        shape.exactCounts = true;
        test::RandomCalibrations::build(static_cast<std::uint32_t>(n), shape, self, other);
    }
};

constexpr float kThreshold = 0.5f; // quality 0: the most pairs to take

bool sameMatches(const std::vector<CrossIdentifier::Match>& a,
                 const std::vector<CrossIdentifier::Match>& b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t k = 0; k < a.size(); ++k)
        if (a[k].self != b[k].self || a[k].other != b[k].other || a[k].score != b[k].score)
            return false;
    return true;
}

void report(benchmark::State& state, const Fixture& f, std::size_t taken) {
    state.counters["self"] = f.self.entryCount();
    state.counters["other"] = f.other.entryCount();
    state.counters["pairs_taken"] = static_cast<double>(taken);
}

void BM_MatrixSearch(benchmark::State& state) {
    Fixture f(static_cast<int>(state.range(0)));
    std::vector<CrossIdentifier::Match> m;
    for (auto _ : state) {
        m = test::LiteralCrossIdentify::matches(f.self, f.other, kThreshold);
        benchmark::DoNotOptimize(m.data());
    }
    report(state, f, m.size());
}

void BM_SortedWalk(benchmark::State& state) {
    Fixture f(static_cast<int>(state.range(0)));
    if (!sameMatches(CrossIdentifier::findMatches(f.self, f.other, kThreshold),
                     test::LiteralCrossIdentify::matches(f.self, f.other, kThreshold))) {
        state.SkipWithError("the sorted walk takes other pairs than the matrix search");
        return;
    }
    std::vector<CrossIdentifier::Match> m;
    for (auto _ : state) {
        m = CrossIdentifier::findMatches(f.self, f.other, kThreshold);
        benchmark::DoNotOptimize(m.data());
    }
    report(state, f, m.size());
}

} // namespace

BENCHMARK(BM_MatrixSearch)->Arg(250)->Arg(500)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortedWalk)->Arg(250)->Arg(500)->Arg(1000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
