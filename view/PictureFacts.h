#pragma once

#include "CurvePixels.h"
#include "GraphGeometry.h"

#include <QRect>
#include <QSize>

#include <array>
#include <vector>

namespace tevra {

class CalEntry;

// What the values layer of one picture was drawn from: enough to tell, on the
// next repaint, which part of the picture an edit or a move of the selection
// changed. The painter redraws only that part into its cached picture.
struct PictureFacts {
    QSize size;
    qreal pixelRatio = 0.0;
    const CalEntry* primary = nullptr;
    const CalEntry* secondary = nullptr;
    int selectedPoint = -1;
    int cursorColumn = -1;
    int cursorRow = -1;
    bool focused = false;
    // 2D tables: the polylines as drawn (the comparison already on the primary's axes).
    bool hasCurve = false;
    CurvePixels curve;
    bool hasComparisonCurve = false;
    CurvePixels comparisonCurve;
    // 3D tables: every cell's byte, row by row, and the grid's place.
    GridRect grid;
    std::vector<int> cells;
    // Constants, flag bytes, value lists: their first two bytes.
    std::array<int, 2> bytes{-1, -1};
};

// The pixels a 3D cell's drawing can reach: its square, its border lines, and
// the hex label, which may run a pixel or two past the square's right edge.
inline QRect cellReach(const GridRect& g, int c, int r) {
    return QRect(g.x0 + kCellSize * c - 2, g.y0 + kCellSize * r - 2, kCellSize + 6, kCellSize + 5);
}

// The part of the picture (in logical pixels) that differs between two sets of
// facts, empty when nothing does; the whole picture when the change is not a
// local one (another entry, size or type, a different number of points).
QRect changedRect(const PictureFacts& before, const PictureFacts& after);

} // namespace tevra
