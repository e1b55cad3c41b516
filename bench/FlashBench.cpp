// A 16K read and a 16K full write at the real wire speed: the whole flash
// operation through SerialCom against tevra-ecm-sim --realtime, which paces
// the emulated controller (and its 9600-baud line) like the real part.
#include "Calibration.h"
#include "FlashOperation.h"
#include "Prompter.h"
#include "SerialCom.h"
#include "SimulatedEcm.h"
#include "SteadyClock.h"

#include <benchmark/benchmark.h>

using namespace tevra;

namespace {

std::vector<unsigned char> eeprom() {
    std::vector<unsigned char> bytes(0x8000);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<unsigned char>(i * 7 + (i >> 9));
    return bytes;
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
    for (auto _ : state) {
        cal.baseAddress = 0xC000;
        cal.SetImage(std::vector<std::uint8_t>(0x4000, 0x5A));
        LastFlashCopy last;
        FlashSettings settings;
        settings.operation = operation;
        settings.verify = false;
        FlashOperation flash(port, clock, prompter, progress);
        const FlashResult r = flash.run(settings, cal, last);
        if (!r.succeeded(false))
            state.SkipWithError("the flash operation failed");
    }
    state.counters["bytes_per_second"] =
        benchmark::Counter(0x4000, benchmark::Counter::kIsIterationInvariantRate);
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
