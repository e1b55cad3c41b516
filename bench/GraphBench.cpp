// Repaint cost of the graph picture at the control's size, with the background
// layer already cached (it is rendered once per entry change, not per repaint),
// and the cost of one drag step: one DragPoint and one repaint.

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
    return bytes;
}

struct Scene {
    Calibration primary;
    Calibration comparison;
    CalEntry* table = nullptr;
    CalEntry* grid = nullptr;
    CalEntry* comparisonTable = nullptr;
    QImage target{kGraphWidth, kGraphHeight, QImage::Format_ARGB32_Premultiplied};

    Scene() {
        primary.SetImage(image());
        primary.readOnly = false;
        comparison.SetImage(image());
        table = entry(primary, EntryType::Unsigned16Table, 0xC000);
        grid = entry(primary, EntryType::Table3D, 0xC400);
        comparisonTable = entry(comparison, EntryType::Unsigned16Table, 0xC000);
        comparisonTable->yMax = "512"; // drawn twice as high: a curve of its own
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
