// Carrying definitions onto a later build: the whole match (code references of
// both images, every candidate scored, the one-to-one pick and the order check)
// for a lender of 1000 entries in a 32 KB image.
#include "Calibration.h"
#include "DefinitionCarrier.h"
#include "RevisionPairs.h"

#include <benchmark/benchmark.h>

using namespace tevra;

namespace {

void carryOnto(benchmark::State& state, bool sibling) {
    Calibration lender, later;
    const test::RevisionShape shape{600, 400, sibling, true};
    test::RevisionPairs::build(7, shape, lender, later);
    later.ScanHeuristic();
    std::size_t carried = 0;
    for (auto _ : state) {
        const DefinitionCarrier::Result r = DefinitionCarrier::match(later, lender);
        carried = r.carried.size();
        benchmark::DoNotOptimize(carried);
    }
    state.counters["entries"] = static_cast<double>(lender.entriesInUse());
    state.counters["carried"] = static_cast<double>(carried);
}

void BM_CarryRevision1000(benchmark::State& state) {
    carryOnto(state, false);
}
void BM_CarrySibling1000(benchmark::State& state) {
    carryOnto(state, true);
}

} // namespace

BENCHMARK(BM_CarryRevision1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CarrySibling1000)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
