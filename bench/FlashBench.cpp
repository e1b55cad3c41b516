// A 16K read and a 16K full write at the real wire speed: the whole flash
// operation through SerialCom against tevra-ecm-sim --realtime, which paces
// the emulated controller (and its 9600-baud line) like the real part.
//
// Besides the wall time each run reports floor_s, the least time the
// operation could take (WireTally), wall_over_floor against it, and
// cpu_percent, the editor process's CPU time over the operation as a share of
// one core; the emulator runs in its own process and is not counted.
#include "Calibration.h"
#include "FlashOperation.h"
#include "Prompter.h"
#include "SerialCom.h"
#include "SimulatedEcm.h"
#include "SteadyClock.h"
#include "WireTally.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <ctime>

using namespace tevra;

namespace {

std::vector<unsigned char> eeprom() {
    std::vector<unsigned char> bytes(0x8000);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<unsigned char>(i * 7 + (i >> 9));
    return bytes;
}

double processCpuSeconds() {
    timespec t{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

void runFlash(benchmark::State& state, FlashOperationKind operation) {
    test::SimulatedEcm sim(eeprom(), {"--realtime"});
    if (!sim.ok()) {
        state.SkipWithError("tevra-ecm-sim did not start");
        return;
    }
    SerialCom port;
    port.setDevicePath(sim.link());
    SteadyClock clock;
    SilentPrompter prompter;
    FlashProgress progress;
    Calibration cal;
    double wall = 0, floor = 0, cpu = 0;
    for (auto _ : state) {
        cal.baseAddress = 0xC000;
        cal.SetImage(std::vector<std::uint8_t>(0x4000, 0x5A));
        LastFlashCopy last;
        FlashSettings settings;
        settings.operation = operation;
        settings.verify = false;
        bench::WireTally line(port);
        FlashOperation flash(line, clock, prompter, progress);
        const double cpuBefore = processCpuSeconds();
        const auto wallBefore = std::chrono::steady_clock::now();
        const FlashResult r = flash.run(settings, cal, last);
        wall +=
            std::chrono::duration<double>(std::chrono::steady_clock::now() - wallBefore).count();
        cpu += processCpuSeconds() - cpuBefore;
        floor += line.floorSeconds(settings.flashSpeed);
        if (!r.succeeded(false))
            state.SkipWithError("the flash operation failed");
    }
    state.counters["bytes_per_second"] =
        benchmark::Counter(0x4000, benchmark::Counter::kIsIterationInvariantRate);
    state.counters["floor_s"] = benchmark::Counter(floor, benchmark::Counter::kAvgIterations);
    state.counters["wall_over_floor"] = floor > 0 ? wall / floor : 0;
    state.counters["cpu_percent"] = wall > 0 ? 100.0 * cpu / wall : 0;
}

void BM_Read16K(benchmark::State& state) {
    runFlash(state, FlashOperationKind::Read);
}
void BM_FullWrite16K(benchmark::State& state) {
    runFlash(state, FlashOperationKind::FullWrite);
}

} // namespace

// Each run includes the 1200-baud bootload (about 2.2 s) and the loader probe.
BENCHMARK(BM_Read16K)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);
BENCHMARK(BM_FullWrite16K)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);

BENCHMARK_MAIN();
