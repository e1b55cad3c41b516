// What the undo history adds to an edit: one drag step (DragPoint on a long
// 16-bit table) with and without the history listening, and closing the step of
// a Modify All Points over a 32 x 32 grid.

#include "CalEntry.h"
#include "Calibration.h"
#include "ImageHistory.h"

#include <benchmark/benchmark.h>
#include <cstdint>
#include <vector>

using namespace tevra;

namespace {

constexpr int kPoints = 40;

struct Scene {
    Calibration cal;
    ImageHistory history;
    CalEntry* table = nullptr;
    CalEntry* grid = nullptr;

    explicit Scene(bool recording) {
        std::vector<std::uint8_t> bytes(0x4000, 0xFF);
        for (int i = 0; i < kPoints; ++i) {
            const auto at = static_cast<std::size_t>(5 * i);
            bytes[at] = static_cast<std::uint8_t>(6 * i);
            bytes[at + 1] = static_cast<std::uint8_t>((300 * i) >> 8);
            bytes[at + 2] = static_cast<std::uint8_t>((300 * i) & 0xFF);
            bytes[at + 3] = 0x32;
            bytes[at + 4] = 0x00;
        }
        bytes[0x400] = 32;
        bytes[0x401] = 32;
        bytes[0x402] = 0x00;
        for (std::size_t k = 0; k < 32 * 32; ++k)
            bytes[0x403 + k] = static_cast<std::uint8_t>(k);
        cal.SetImage(std::move(bytes));
        cal.readOnly = false;
        table = add(EntryType::Unsigned16Table, 0xC000);
        grid = add(EntryType::Table3D, 0xC400);
        if (recording)
            history.attach(&cal);
    }
    CalEntry* add(EntryType t, std::int32_t a) {
        CalEntry* e = cal.NewEntry();
        e->type = t;
        e->Relocate(a);
        return e;
    }
};

void dragStep(benchmark::State& st, bool recording) {
    Scene scene(recording);
    scene.history.beginStep(); // one long drag: every move lands in the same step
    int step = 0;
    for (auto _ : st) {
        const float fy = (6000.0f + static_cast<float>(step++ % 20) * 10.0f) / 12287.0f;
        scene.table->DragPoint(20, 120.0f / 255.0f, fy, true);
    }
    scene.history.endStep();
}

void BM_DragStepWithoutHistory(benchmark::State& st) {
    dragStep(st, false);
}
BENCHMARK(BM_DragStepWithoutHistory)->Unit(benchmark::kMicrosecond);

void BM_DragStepRecorded(benchmark::State& st) {
    dragStep(st, true);
}
BENCHMARK(BM_DragStepRecorded)->Unit(benchmark::kMicrosecond);

// Modify All Points on a grid and the closing of its step, undone each time so
// that every iteration changes all 1024 cells.
void BM_AddToGridStepAndUndo(benchmark::State& st) {
    Scene scene(true);
    for (auto _ : st) {
        scene.history.beginStep();
        scene.grid->AddToAllCells(1);
        scene.history.endStep();
        scene.history.undo();
    }
}
BENCHMARK(BM_AddToGridStepAndUndo)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
