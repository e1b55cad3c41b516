#include "EntryReading.h"

#include "CalEntry.h"
#include "EntryExtent.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace tevra {

namespace {

float countLikeness(int a, int b) {
    switch (std::abs(a - b)) {
    case 0:
        return 1.0f;
    case 1:
        return 0.7f;
    case 2:
        return 0.5f;
    default:
        return 0.2f;
    }
}

// Mean distance of each breakpoint to the nearest of the other's, as 0..1.
float axisLikeness(const std::vector<int>& a, const std::vector<int>& b) {
    if (a.empty() || b.empty())
        return 0.0f;
    double sum = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        int best = 256;
        if (a.size() == b.size()) {
            best = std::abs(a[i] - b[i]);
        } else {
            for (int x : b)
                best = std::min(best, std::abs(a[i] - x));
        }
        sum += best;
    }
    const double mean = sum / static_cast<double>(a.size());
    const double like = 1.0 - std::min(1.0, mean / 16.0);
    return static_cast<float>(a.size() == b.size() ? like : 0.8 * like);
}

} // namespace

EntryReading EntryReading::of(const CalEntry& e) {
    EntryReading r;
    const EntryExtent x = EntryExtent::of(e);
    if (!x.complete)
        return r;
    switch (e.type) {
    case EntryType::Unsigned8Table:
    case EntryType::Signed8Table:
    case EntryType::Unsigned16Table: {
        r.points = e.PointCount();
        const int real = e.type == EntryType::Unsigned16Table ? r.points - 1 : r.points;
        if (real < 1 || real > 64)
            return r;
        for (int i = 0; i < real; ++i) {
            r.xs.push_back(e.GetX(i));
            if (i > 0 && r.xs[static_cast<std::size_t>(i)] < r.xs[static_cast<std::size_t>(i) - 1])
                return r;
        }
        r.curve = EntryComparison::sampleCurve(e);
        r.fullScale = e.RawFullScale();
        break;
    }
    case EntryType::Table3D:
        r.rows = e.Rows();
        r.columns = e.Columns();
        if (r.rows < 1 || r.rows > 32 || r.columns < 1 || r.columns > 32)
            return r;
        r.cellsSigned = e.cellsSigned();
        for (int row = 0; row < r.rows; ++row)
            for (int c = 0; c < r.columns; ++c)
                r.cells.push_back(e.GetCell(c, row));
        break;
    case EntryType::Constant8:
    case EntryType::Constant16:
        r.value = e.GetX(0);
        r.fullScale = e.type == EntryType::Constant16 ? 65536 : 256;
        break;
    case EntryType::FlagByte:
    case EntryType::ValueList:
        r.value = e.byteAt(0);
        break;
    default:
        return r;
    }
    r.plausible = true;
    return r;
}

EntryReading::Likeness EntryReading::likeness(EntryType type, const EntryReading& mine,
                                              const EntryReading& theirs) {
    Likeness c;
    switch (type) {
    case EntryType::Unsigned8Table:
    case EntryType::Signed8Table:
    case EntryType::Unsigned16Table: {
        c.shape = countLikeness(mine.points, theirs.points);
        c.axis = axisLikeness(theirs.xs, mine.xs);
        const float d = EntryComparison::curveDifference(mine.curve, theirs.curve, mine.fullScale);
        c.values = 1.0f - std::min(1.0f, 2.0f * d);
        break;
    }
    case EntryType::Table3D: {
        const bool rowsSame = mine.rows == theirs.rows,
                   columnsSame = mine.columns == theirs.columns;
        c.shape =
            rowsSame && columnsSame ? 1.0f
            : (rowsSame || columnsSame) &&
                    std::abs(mine.rows - theirs.rows) + std::abs(mine.columns - theirs.columns) <= 2
                ? 0.6f
                : 0.2f;
        if (mine.cellsSigned != theirs.cellsSigned)
            c.shape *= 0.5f;
        c.axis = c.shape;
        // Cells compared where both grids have one.
        double sum = 0;
        int n = 0;
        for (int r = 0; r < std::min(mine.rows, theirs.rows); ++r)
            for (int col = 0; col < std::min(mine.columns, theirs.columns); ++col) {
                sum += std::abs(mine.cells[static_cast<std::size_t>(r * mine.columns + col)] -
                                theirs.cells[static_cast<std::size_t>(r * theirs.columns + col)]);
                ++n;
            }
        const double mean = n ? sum / n / 256.0 : 1.0;
        c.values = static_cast<float>(1.0 - std::min(1.0, 4.0 * mean));
        break;
    }
    case EntryType::Constant8:
    case EntryType::Constant16: {
        c.shape = c.axis = 1.0f;
        const float r = static_cast<float>(std::abs(mine.value - theirs.value)) /
                        static_cast<float>(mine.fullScale);
        c.values = 1.0f - std::min(1.0f, 5.0f * r);
        break;
    }
    default: // flag bytes, value lists: the byte is equal or not
        c.shape = c.axis = 1.0f;
        c.values = mine.value == theirs.value ? 1.0f : 0.5f;
        break;
    }
    return c;
}

} // namespace tevra
