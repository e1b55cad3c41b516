#include "CurveStroke.h"
#include "PictureFacts.h"

#include <algorithm>
#include <optional>

namespace tevra {

namespace {

// The polyline as drawn: start, markers, finish.
std::vector<PixelPoint> polyline(const CurvePixels& c) {
    std::vector<PixelPoint> out;
    if (c.empty())
        return out;
    out.reserve(c.markers.size() + 2);
    out.push_back(c.start);
    out.insert(out.end(), c.markers.begin(), c.markers.end());
    if (c.hasFinish)
        out.push_back(c.finish);
    return out;
}

// The pixels a vertex's two segments, its corner and the corners of its
// neighbours can cover.
QRect around(const std::vector<PixelPoint>& line, std::size_t j) {
    const std::size_t from = j == 0 ? 0 : j - 1;
    const std::size_t to = std::min(j + 1, line.size() - 1);
    int left = line[j].x, right = line[j].x, top = line[j].y, bottom = line[j].y;
    for (std::size_t k = from; k <= to; ++k) {
        left = std::min(left, line[k].x);
        right = std::max(right, line[k].x);
        top = std::min(top, line[k].y);
        bottom = std::max(bottom, line[k].y);
    }
    return QRect(QPoint(left, top), QPoint(right, bottom))
        .adjusted(-kCurveReach, -kCurveReach, kCurveReach, kCurveReach);
}

QRect markerRect(const CurvePixels& c, int i) {
    if (i < 0 || i >= static_cast<int>(c.markers.size()))
        return {};
    const PixelPoint& p = c.markers[static_cast<std::size_t>(i)];
    return QRect(p.x - 4, p.y - 4, 9, 9);
}

// Where two drawings of a curve differ; nothing when the number of points changed.
std::optional<QRect> curveChange(const CurvePixels& before, const CurvePixels& after) {
    const std::vector<PixelPoint> a = polyline(before);
    const std::vector<PixelPoint> b = polyline(after);
    if (a.size() != b.size() || before.hasFinish != after.hasFinish)
        return std::nullopt;
    QRect dirty;
    for (std::size_t j = 0; j < a.size(); ++j)
        if (!(a[j] == b[j]))
            dirty |= around(a, j) | around(b, j);
    return dirty;
}

} // namespace

QRect changedRect(const PictureFacts& before, const PictureFacts& after) {
    const QRect whole(QPoint(0, 0), after.size);
    if (before.size != after.size || before.pixelRatio != after.pixelRatio ||
        before.primary != after.primary || before.secondary != after.secondary ||
        before.hasCurve != after.hasCurve ||
        before.hasComparisonCurve != after.hasComparisonCurve || before.bytes != after.bytes ||
        before.focused != after.focused)
        return whole;

    QRect dirty;
    if (after.hasCurve) {
        const auto curve = curveChange(before.curve, after.curve);
        if (!curve)
            return whole;
        dirty |= *curve;
        if (before.selectedPoint != after.selectedPoint)
            for (const PictureFacts* f : {&before, &after})
                dirty |= markerRect(f->curve, f->selectedPoint);
    }
    if (after.hasComparisonCurve) {
        const auto curve = curveChange(before.comparisonCurve, after.comparisonCurve);
        if (!curve)
            return whole;
        dirty |= *curve;
    }
    if (!after.cells.empty() || !before.cells.empty()) {
        const GridRect& g = after.grid;
        if (before.cells.size() != after.cells.size() || before.grid.x0 != g.x0 ||
            before.grid.y0 != g.y0 || before.grid.columns != g.columns)
            return whole;
        for (int r = 0; r < g.rows; ++r)
            for (int c = 0; c < g.columns; ++c) {
                const auto k = static_cast<std::size_t>(r * g.columns + c);
                if (before.cells[k] != after.cells[k])
                    dirty |= cellReach(g, c, r);
            }
        if (before.cursorColumn != after.cursorColumn || before.cursorRow != after.cursorRow) {
            for (const PictureFacts* f : {&before, &after})
                if (f->cursorColumn >= 0 && f->cursorRow >= 0 && f->cursorColumn < g.columns &&
                    f->cursorRow < g.rows)
                    dirty |= cellReach(g, f->cursorColumn, f->cursorRow);
        }
    }
    return dirty & whole;
}

} // namespace tevra
