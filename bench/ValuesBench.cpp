// Repaint cost of the values view of the largest grid a 3D table may have
// (32 x 32 cells), at the graph's size and at 2560 x 1440, with a cursor and a
// selected block; and of one step of the selection followed by a repaint.

#include "CalEntry.h"
#include "Calibration.h"
#include "EntryValues.h"
#include "GraphGeometry.h"
#include "ValuesPainter.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>
#include <cstdint>
#include <vector>

using namespace tevra;

namespace {

struct Scene {
    Calibration cal;
    CalEntry* grid = nullptr;
    QImage target;
    ValuesPainter painter;
    ValuesViewState state;

    Scene(int width, int height, bool hex)
        : target(width, height, QImage::Format_ARGB32_Premultiplied) {
        std::vector<std::uint8_t> bytes(0x4000, 0xFF);
        bytes[0] = 32;
        bytes[1] = 32;
        bytes[2] = 0xFF; // signed: every cell text has its own width
        for (std::size_t k = 0; k < 32 * 32; ++k)
            bytes[3 + k] = static_cast<std::uint8_t>(k * 7);
        cal.SetImage(std::move(bytes));
        cal.readOnly = false;
        grid = cal.NewEntry();
        grid->type = EntryType::Table3D;
        grid->xMax = "7000";
        grid->yMax = "250";
        grid->Relocate(0xC000);
        painter.SetEntry(grid);
        state.cursorColumn = 5;
        state.cursorRow = 7;
        state.selection = ValueBlock{2, 3, 12, 20};
        state.showRaw = hex;
    }

    void paint() {
        QPainter p(&target);
        painter.paint(p, target.size(), state);
    }
};

void BM_ValuesRepaint32x32(benchmark::State& st) {
    Scene scene(static_cast<int>(st.range(0)), static_cast<int>(st.range(1)), st.range(2) != 0);
    for (auto _ : st)
        scene.paint();
}
BENCHMARK(BM_ValuesRepaint32x32)
    ->Args({kGraphWidth, kGraphHeight, 0})
    ->Args({2560, 1440, 0})
    ->Args({2560, 1440, 1})
    ->Unit(benchmark::kMicrosecond);

void BM_ValuesStepAndRepaint32x32(benchmark::State& st) {
    Scene scene(static_cast<int>(st.range(0)), static_cast<int>(st.range(1)), false);
    EntryValues values(*scene.grid);
    int step = 0;
    for (auto _ : st) {
        values.step(*scene.state.selection, (step++ & 1) ? 1 : -1);
        scene.paint();
    }
}
BENCHMARK(BM_ValuesStepAndRepaint32x32)
    ->Args({kGraphWidth, kGraphHeight})
    ->Args({2560, 1440})
    ->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
