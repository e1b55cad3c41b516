#pragma once

#include "EntryType.h"

#include <optional>

namespace tevra {

// The pixel geometry of the graph picture, kept free of painting so the same
// arithmetic serves the painter, the mouse handling and the tests. All values
// are pixels of the control's client area, origin top-left, y downward;
// divisions truncate toward zero like the controller-era integer code.

// Dialog units to pixels for the dialog font (MS Sans Serif 8 at 96 dpi: base
// units 6 x 13), rounded to nearest like the dialog manager does.
constexpr int dluToPixelsX(int x) {
    return (x * 6 + 2) / 4;
}
constexpr int dluToPixelsY(int y) {
    return (y * 13 + 4) / 8;
}

// The graph control occupies 395 x 277 dialog units of the main window.
constexpr int kGraphWidth = dluToPixelsX(395);
constexpr int kGraphHeight = dluToPixelsY(277);

// The area inside the frame. The left margin leaves room for the Y labels.
struct PlotRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
};

PlotRect plotRect(int clientWidth, int clientHeight);

struct PixelPoint {
    int x = 0;
    int y = 0;
    bool operator==(const PixelPoint&) const = default;
};

// Pixel of a raw table point. The vertical scale depends on the table kind:
// 0..256 for unsigned 8-bit, -128..128 for signed 8-bit, 0..12288 for 16-bit.
int pointPixelX(const PlotRect& plot, int rawX);
int pointPixelY(const PlotRect& plot, EntryType type, int rawY);

// Engineering axis ranges of one entry.
struct AxisRanges {
    float xMin = 0.0f;
    float xMax = 256.0f;
    float yMin = 0.0f;
    float yMax = 256.0f;
};

// True when a comparison curve can be moved onto the primary's axes: the
// primary ranges must have an extent, or the move would divide by zero.
bool overlayPossible(const AxisRanges& primary);

// Moves a comparison pixel (placed by its own entry's scale) to where its
// engineering value lies on the primary's axes.
PixelPoint overlayPixel(const PlotRect& plot, PixelPoint p, const AxisRanges& primary,
                        const AxisRanges& secondary);

// A constant's bar: half its width, and the top edge for the raw value.
int constantBarHalfWidth(const PlotRect& plot, EntryType type);
int constantBarTop(const PlotRect& plot, EntryType type, int value);

// The boxes of a flag byte or value list: box k spans x0..x0+24, y0+30k..y0+30k+24.
PixelPoint boxOrigin(const PlotRect& plot);
// The box under (x, y), or -1.
int boxAt(const PlotRect& plot, int x, int y);

// The 3D grid, centred in the client area, 21 pixels a cell.
constexpr int kCellSize = 21;
constexpr int kMinGridSide = 3;
constexpr int kMaxGridSide = 32;

struct GridRect {
    int x0 = 0;
    int y0 = 0;
    int columns = 0;
    int rows = 0;
    bool valid = false; // both sides within 3..32; an invalid grid is not drawn
    int width() const { return columns * kCellSize; }
    int height() const { return rows * kCellSize; }
};

GridRect gridRect(int clientWidth, int clientHeight, int columns, int rows);

struct CellIndex {
    int column = 0;
    int row = 0;
    bool operator==(const CellIndex&) const = default;
};

std::optional<CellIndex> cellAt(const GridRect& grid, int x, int y);

// A position in the unit square, as the entry operations take it.
struct UnitPoint {
    float fx = 0.0f;
    float fy = 0.0f;
};

// Maps a pixel to the unit square of the entry kind: the grid for 3D tables
// (fy grows downward, by rows), never for unknown entries, the plot rectangle
// for everything else (fy grows upward).
std::optional<UnitPoint> toUnitSquare(EntryType type, const PlotRect& plot, const GridRect& grid,
                                      int x, int y);

} // namespace tevra
