#include "CurvePixels.h"

#include "CalEntry.h"

namespace tevra {

CurvePixels curvePixels(const CalEntry& entry, const PlotRect& plot) {
    CurvePixels c;
    const EntryType type = entry.type;
    if (!isTable2D(type))
        return c;
    const int count = entry.PointCount();
    auto at = [&](int x, int y) {
        return PixelPoint{pointPixelX(plot, x), pointPixelY(plot, type, y)};
    };

    if (type == EntryType::Unsigned16Table) {
        const int last = count - 2; // the last real record; count - 1 is the end point
        if (last < 0)
            return c;
        c.markers.reserve(static_cast<std::size_t>(count));
        for (int i = 0; i <= last; ++i)
            c.markers.push_back(at(entry.GetX(i), entry.GetY(i)));
        // Drawn out to raw X 256, the right edge, with the stored slope taken unsigned.
        const int lastX = entry.GetX(last);
        const int endY = entry.GetY(last) + (entry.GetSlope(last) * (256 - lastX)) / 256;
        c.markers.push_back({plot.right, pointPixelY(plot, type, endY)});
        c.start = {plot.left, c.markers.front().y};
        return c;
    }

    if (count <= 0)
        return c;
    c.markers.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        c.markers.push_back(at(entry.GetX(i), entry.GetY(i)));
    c.start = {plot.left, c.markers.front().y};
    c.hasFinish = true;
    c.finish = {plot.right, c.markers.back().y};
    return c;
}

} // namespace tevra
