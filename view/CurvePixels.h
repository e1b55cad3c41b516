#pragma once

#include "GraphGeometry.h"

#include <vector>

namespace tevra {

class CalEntry;

// Where the polyline and the point markers of a 2D table lie, read through the
// entry's operations. The polyline runs from `start` (the left edge at the first
// point's height) through every marker and, for 8-bit tables, on to `finish` on
// the right edge; a 16-bit table's last marker is its end position on the
// right edge and the polyline stops there.
struct CurvePixels {
    PixelPoint start;
    std::vector<PixelPoint> markers; // one per point index, 0..PointCount()-1
    bool hasFinish = false;
    PixelPoint finish;
    bool empty() const { return markers.empty(); }
};

// An empty result for entries that are not 2D tables and for tables without a
// real point (an 8-bit count of 0, a 16-bit table whose first X byte ends it).
CurvePixels curvePixels(const CalEntry& entry, const PlotRect& plot);

} // namespace tevra
