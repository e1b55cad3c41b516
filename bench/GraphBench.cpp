// Repaint cost of the graph picture at the control's size, with the background
// layer already cached (it is rendered once per entry change, not per repaint),
// and the cost of one drag step: one DragPoint and one repaint. The worst legal
// pictures (a 255-point 8-bit zig-zag over a zig-zag comparison curve, a full
// 32 x 32 grid) run at the classic size and on a 2560 x 1440 graph; each must
// stay under 2 ms per repaint and per drag step.

#include "CalEntry.h"
#include "Calibration.h"
#include "GraphGeometry.h"
#include "GraphPainter.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>
#include <cstdint>
#include <vector>

using namespace tevra;

namespace {

constexpr int kPoints = 40; // a long 16-bit table: 40 real points

std::vector<std::uint8_t> image() {
    std::vector<std::uint8_t> bytes(0x4000, 0xFF);
    // 16-bit table at 0xC000: X 0, 6, 12, ... with Y rising by 300 a point.
    for (int i = 0; i < kPoints; ++i) {
        const int y = 300 * i;
        const auto at = static_cast<std::size_t>(5 * i);
        bytes[at] = static_cast<std::uint8_t>(6 * i);
        bytes[at + 1] = static_cast<std::uint8_t>(y >> 8);
        bytes[at + 2] = static_cast<std::uint8_t>(y & 0xFF);
        bytes[at + 3] = 0x32;
        bytes[at + 4] = 0x00;
    }
    bytes[5 * kPoints] = 0xFF;
    // 32 x 32 signed grid at 0xC400, every kind of cell colour.
    bytes[0x400] = 32;
    bytes[0x401] = 32;
    bytes[0x402] = 0xFF;
    for (std::size_t k = 0; k < 32 * 32; ++k)
        bytes[0x403 + k] = static_cast<std::uint8_t>(k * 7);
    // 255-point 8-bit table at 0xC800, X 0..254, Y jumping between the plot's
    // bottom and top at every point: the most crossings a legal curve can have.
    bytes[0x800] = 255;
    for (std::size_t i = 0; i < 255; ++i) {
        const auto at = 0x801 + 4 * i;
        bytes[at] = static_cast<std::uint8_t>(i);
        bytes[at + 1] = (i % 2) ? 0xFF : 0x00;
        bytes[at + 2] = 0;
        bytes[at + 3] = 0;
    }
    return bytes;
}

struct Scene {
    Calibration primary;
    Calibration comparison;
    CalEntry* table = nullptr;
    CalEntry* grid = nullptr;
    CalEntry* comparisonTable = nullptr;
    CalEntry* zigzag = nullptr;
    CalEntry* comparisonZigzag = nullptr;
    QImage target;

    explicit Scene(QSize size = {kGraphWidth, kGraphHeight})
        : target(size, QImage::Format_ARGB32_Premultiplied) {
        primary.SetImage(image());
        primary.readOnly = false;
        comparison.SetImage(image());
        table = entry(primary, EntryType::Unsigned16Table, 0xC000);
        grid = entry(primary, EntryType::Table3D, 0xC400);
        comparisonTable = entry(comparison, EntryType::Unsigned16Table, 0xC000);
        comparisonTable->yMax = "512"; // drawn twice as high: a curve of its own
        zigzag = entry(primary, EntryType::Unsigned8Table, 0xC800);
        comparisonZigzag = entry(comparison, EntryType::Unsigned8Table, 0xC800);
        comparisonZigzag->xMax = "300"; // shifted sideways: crossings of its own
        comparisonZigzag->yMax = "400";
    }

    static CalEntry* entry(Calibration& cal, EntryType type, std::int32_t address) {
        CalEntry* e = cal.NewEntry();
        e->type = type;
        e->Relocate(address);
        return e;
    }

    void paint(GraphPainter& painter, const ViewState& state) {
        QPainter p(&target);
        painter.paint(p, target.size(), state);
    }

    // What the widget does after an edit: bring the picture up to date, then
    // copy the part that changed to the screen.
    void step(GraphPainter& painter, const ViewState& state) {
        const QRect changed = painter.prepare(target.size(), state);
        QPainter p(&target);
        p.drawImage(changed, painter.picture(target.size(), state), changed);
    }
};

void BM_Repaint3DGrid32x32(benchmark::State& st) {
    Scene scene;
    GraphPainter painter;
    painter.SetEntry(scene.grid);
    ViewState state;
    state.cursorColumn = 5;
    state.cursorRow = 7;
    scene.paint(painter, state); // renders and caches the background
    for (auto _ : st)
        scene.paint(painter, state);
}
BENCHMARK(BM_Repaint3DGrid32x32)->Unit(benchmark::kMicrosecond);

void BM_Repaint16BitWithComparison(benchmark::State& st) {
    Scene scene;
    GraphPainter painter;
    painter.SetEntry(scene.table);
    painter.SetSecondaryEntry(scene.comparisonTable);
    ViewState state;
    state.selectedPoint = 3;
    scene.paint(painter, state);
    for (auto _ : st)
        scene.paint(painter, state);
}
BENCHMARK(BM_Repaint16BitWithComparison)->Unit(benchmark::kMicrosecond);

void BM_DragStep(benchmark::State& st) {
    Scene scene;
    GraphPainter painter;
    painter.SetEntry(scene.table);
    painter.SetSecondaryEntry(scene.comparisonTable);
    ViewState state;
    state.selectedPoint = 20;
    scene.paint(painter, state);
    int step = 0;
    for (auto _ : st) {
        // Up and down between the neighbours' heights, so every step writes.
        const float fy = (6000.0f + static_cast<float>(step++ % 20) * 10.0f) / 12287.0f;
        scene.table->DragPoint(20, 120.0f / 255.0f, fy, true);
        scene.paint(painter, state);
    }
}
BENCHMARK(BM_DragStep)->Unit(benchmark::kMicrosecond);

QSize sizeOf(const benchmark::State& st) {
    return {static_cast<int>(st.range(0)), static_cast<int>(st.range(1))};
}

void BM_RepaintZigzag255WithComparison(benchmark::State& st) {
    Scene scene(sizeOf(st));
    GraphPainter painter;
    painter.SetEntry(scene.zigzag);
    painter.SetSecondaryEntry(scene.comparisonZigzag);
    ViewState state;
    state.selectedPoint = 128;
    scene.paint(painter, state);
    for (auto _ : st)
        scene.paint(painter, state);
}

void BM_DragStepZigzag255(benchmark::State& st) {
    Scene scene(sizeOf(st));
    GraphPainter painter;
    painter.SetEntry(scene.zigzag);
    painter.SetSecondaryEntry(scene.comparisonZigzag);
    ViewState state;
    state.selectedPoint = 128;
    scene.paint(painter, state);
    int step = 0;
    for (auto _ : st) {
        // A vertical drag: the point's X stays, its height changes every step.
        const float fy = static_cast<float>(step++ % 200 + 20) / 255.0f;
        scene.zigzag->DragPoint(128, 0.0f, fy, false);
        scene.step(painter, state);
    }
}

void BM_RepaintGrid32x32(benchmark::State& st) {
    Scene scene(sizeOf(st));
    GraphPainter painter;
    painter.SetEntry(scene.grid);
    ViewState state;
    state.cursorColumn = 5;
    state.cursorRow = 7;
    scene.paint(painter, state);
    for (auto _ : st)
        scene.paint(painter, state);
}

void BM_ClickStepGrid32x32(benchmark::State& st) {
    Scene scene(sizeOf(st));
    GraphPainter painter;
    painter.SetEntry(scene.grid);
    ViewState state;
    state.cursorColumn = 5;
    state.cursorRow = 7;
    scene.paint(painter, state);
    int step = 0;
    for (auto _ : st) {
        scene.grid->AddToCell(step % 32, (step / 32) % 32, step % 2 ? -1 : 1);
        ++step;
        scene.step(painter, state);
    }
}

void worstSizes(benchmark::internal::Benchmark* b) {
    b->Args({kGraphWidth, kGraphHeight})->Args({2560, 1440})->Unit(benchmark::kMicrosecond);
}
// The picture drawn from scratch, as after a change of entry or window size.
void BM_FirstPaintZigzag255WithComparison(benchmark::State& st) {
    Scene scene(sizeOf(st));
    GraphPainter painter;
    painter.SetEntry(scene.zigzag);
    painter.SetSecondaryEntry(scene.comparisonZigzag);
    ViewState state;
    state.selectedPoint = 128;
    scene.paint(painter, state);
    for (auto _ : st) {
        painter.invalidateBackground();
        scene.paint(painter, state);
    }
}

void BM_FirstPaintGrid32x32(benchmark::State& st) {
    Scene scene(sizeOf(st));
    GraphPainter painter;
    painter.SetEntry(scene.grid);
    ViewState state;
    scene.paint(painter, state);
    for (auto _ : st) {
        painter.invalidateBackground();
        scene.paint(painter, state);
    }
}

BENCHMARK(BM_RepaintZigzag255WithComparison)->Apply(worstSizes);
BENCHMARK(BM_FirstPaintZigzag255WithComparison)->Apply(worstSizes);
BENCHMARK(BM_FirstPaintGrid32x32)->Apply(worstSizes);
BENCHMARK(BM_DragStepZigzag255)->Apply(worstSizes);
BENCHMARK(BM_RepaintGrid32x32)->Apply(worstSizes);
BENCHMARK(BM_ClickStepGrid32x32)->Apply(worstSizes);

void BM_BackgroundRender(benchmark::State& st) {
    Scene scene;
    GraphPainter painter;
    painter.SetEntry(scene.table);
    for (auto _ : st) {
        painter.invalidateBackground();
        painter.renderBackground(scene.target.size());
    }
}
BENCHMARK(BM_BackgroundRender)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
