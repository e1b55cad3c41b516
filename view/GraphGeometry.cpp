#include "GraphGeometry.h"

#include <cmath>

namespace tevra {

namespace {

// Pixels far outside any screen are clipped anyway; saturating keeps a wild
// range (a huge ratio, a NaN from an empty range) from overflowing the cast.
int truncPixel(float v) {
    constexpr float kLimit = 1.0e6f;
    if (std::isnan(v))
        return 0;
    if (v > kLimit)
        return static_cast<int>(kLimit);
    if (v < -kLimit)
        return static_cast<int>(-kLimit);
    return static_cast<int>(v);
}

} // namespace

PlotRect plotRect(int clientWidth, int clientHeight) {
    return PlotRect{40, 10, clientWidth - 10, clientHeight - 25};
}

int pointPixelX(const PlotRect& plot, int rawX) {
    return plot.left + (rawX * plot.width()) / 256;
}

int pointPixelY(const PlotRect& plot, EntryType type, int rawY) {
    const int h = plot.height();
    switch (type) {
    case EntryType::Signed8Table:
        return plot.top + ((128 - rawY) * h) / 256;
    case EntryType::Unsigned16Table:
        return plot.top + ((12288 - rawY) * h) / 12288;
    default:
        return plot.top + ((256 - rawY) * h) / 256;
    }
}

bool overlayPossible(const AxisRanges& primary) {
    const float pxr = primary.xMax - primary.xMin;
    const float pyr = primary.yMax - primary.yMin;
    return std::isfinite(pxr) && std::isfinite(pyr) && pxr != 0.0f && pyr != 0.0f;
}

PixelPoint overlayPixel(const PlotRect& plot, PixelPoint p, const AxisRanges& primary,
                        const AxisRanges& secondary) {
    const float pxr = primary.xMax - primary.xMin;
    const float pyr = primary.yMax - primary.yMin;
    const float w = static_cast<float>(plot.width());
    const float h = static_cast<float>(plot.height());
    const int x =
        plot.left + truncPixel((secondary.xMin - primary.xMin) / pxr * w) +
        truncPixel(static_cast<float>(p.x - plot.left) * (secondary.xMax - secondary.xMin) / pxr);
    const int y =
        plot.bottom - truncPixel((secondary.yMin - primary.yMin) / pyr * h) -
        truncPixel(static_cast<float>(plot.bottom - p.y) * (secondary.yMax - secondary.yMin) / pyr);
    return {x, y};
}

int constantBarHalfWidth(const PlotRect& plot, EntryType type) {
    const double share = type == EntryType::Constant16 ? 0.2 : 0.1;
    return static_cast<int>(plot.width() * share) / 2;
}

int constantBarTop(const PlotRect& plot, EntryType type, int value) {
    const int scale = type == EntryType::Constant16 ? 65536 : 256;
    return plot.bottom - static_cast<int>((static_cast<long long>(plot.height()) * value) / scale);
}

PixelPoint boxOrigin(const PlotRect& plot) {
    const int cx = (plot.left + plot.right) / 2;
    return {cx - plot.width() / 4, (plot.top + plot.bottom) / 2 - plot.height() / 4};
}

int boxAt(const PlotRect& plot, int x, int y) {
    const PixelPoint o = boxOrigin(plot);
    for (int k = 0; k < 8; ++k) {
        const int top = o.y + 30 * k;
        if (x >= o.x && x < o.x + 25 && y >= top && y < top + 25)
            return k;
    }
    return -1;
}

GridRect gridRect(int clientWidth, int clientHeight, int columns, int rows) {
    GridRect g;
    g.columns = columns;
    g.rows = rows;
    g.valid = columns >= kMinGridSide && columns <= kMaxGridSide && rows >= kMinGridSide &&
              rows <= kMaxGridSide;
    if (!g.valid)
        return g;
    g.x0 = clientWidth / 2 - g.width() / 2;
    g.y0 = clientHeight / 2 - g.height() / 2;
    return g;
}

std::optional<CellIndex> cellAt(const GridRect& grid, int x, int y) {
    if (!grid.valid || x < grid.x0 || y < grid.y0 || x >= grid.x0 + grid.width() ||
        y >= grid.y0 + grid.height())
        return std::nullopt;
    return CellIndex{(x - grid.x0) / kCellSize, (y - grid.y0) / kCellSize};
}

std::optional<UnitPoint> toUnitSquare(EntryType type, const PlotRect& plot, const GridRect& grid,
                                      int x, int y) {
    if (type == EntryType::Table3D) {
        if (!cellAt(grid, x, y))
            return std::nullopt;
        return UnitPoint{static_cast<float>(x - grid.x0) / static_cast<float>(grid.width()),
                         static_cast<float>(y - grid.y0) / static_cast<float>(grid.height())};
    }
    if (type == EntryType::Unknown || static_cast<int>(type) < 0 ||
        static_cast<int>(type) >= kEntryTypeCount)
        return std::nullopt;
    if (plot.width() <= 0 || plot.height() <= 0 || x < plot.left || x > plot.right ||
        y < plot.top || y > plot.bottom)
        return std::nullopt;
    return UnitPoint{static_cast<float>(x - plot.left) / static_cast<float>(plot.width()),
                     1.0f - static_cast<float>(y - plot.top) / static_cast<float>(plot.height())};
}

} // namespace tevra
