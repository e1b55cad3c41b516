#include "EntryValues.h"

#include "CalEntry.h"
#include "Calibration.h"

#include <algorithm>
#include <cmath>

namespace tevra {

namespace {

int rounded(double v) {
    if (std::isnan(v))
        return 0;
    return static_cast<int>(std::clamp(std::round(v), -1.0e9, 1.0e9));
}

} // namespace

int EntryValues::columns() const {
    if (!entry_.inImage())
        return 0;
    if (isTable2D(entry_.type))
        return 2;
    if (entry_.type == EntryType::Table3D)
        return entry_.Columns();
    return isConstant(entry_.type) ? 1 : 0;
}

int EntryValues::rows() const {
    if (!entry_.inImage())
        return 0;
    if (isTable2D(entry_.type))
        return std::max(entry_.PointCount(), 0);
    if (entry_.type == EntryType::Table3D)
        return entry_.Rows();
    return isConstant(entry_.type) ? 1 : 0;
}

bool EntryValues::editableAt(int column, int row) const {
    if (column < 0 || row < 0 || column >= columns() || row >= rows())
        return false;
    return !(entry_.type == EntryType::Unsigned16Table && column == 0 &&
             row == entry_.PointCount() - 1 && row > 0);
}

int EntryValues::raw(int column, int row) const {
    if (isTable2D(entry_.type))
        return column == 0 ? entry_.GetX(row) : entry_.GetY(row);
    if (entry_.type == EntryType::Table3D)
        return entry_.GetCell(column, row);
    return entry_.GetX(0);
}

double EntryValues::eng(int column, int row) const {
    const int v = raw(column, row);
    if (isTable2D(entry_.type))
        return column == 0 ? entry_.XToEng(v) : entry_.YToEng(v);
    if (entry_.type == EntryType::Table3D)
        return v;
    return entry_.ConstantToEng(v);
}

int EntryValues::toRaw(int column, double eng) const {
    const auto e = static_cast<float>(std::clamp(eng, -3.0e38, 3.0e38));
    if (isTable2D(entry_.type))
        return column == 0 ? entry_.XToRaw(e) : entry_.YToRaw(e);
    if (entry_.type == EntryType::Table3D)
        return rounded(eng);
    return entry_.ConstantToRaw(e);
}

int EntryValues::decimals(int column) const {
    if (entry_.type == EntryType::Table3D)
        return 0;
    double lo = entry_.yMinValue(), hi = entry_.yMaxValue();
    double full = isConstant(entry_.type) ? (entry_.type == EntryType::Constant16 ? 65535 : 255)
                                          : entry_.RawFullScale();
    if (isTable2D(entry_.type) && column == 0) {
        lo = entry_.xMinValue();
        hi = entry_.xMaxValue();
        full = 256;
    }
    const double step = std::abs(hi - lo) / full;
    if (step <= 0 || !std::isfinite(step))
        return 0;
    // Half a step must still change the last digit shown.
    return std::clamp(static_cast<int>(std::ceil(std::log10(2.0 / step))), 0, 6);
}

void EntryValues::enter(int column, int row, double eng) {
    if (!editableAt(column, row))
        return;
    const int v = toRaw(column, eng);
    if (isTable2D(entry_.type) && column == 0)
        entry_.EnterX(row, v);
    else if (isTable2D(entry_.type) || isConstant(entry_.type))
        entry_.EnterY(row, v);
    else
        entry_.SetCell(column, row, v);
}

// The values a selection edit changes, with their raw values before it.
std::vector<EntryValues::Target> EntryValues::targets(const ValueBlock& block) const {
    std::vector<Target> out;
    const int r0 = std::max(block.row0, 0), r1 = std::min(block.row1, rows() - 1);
    if (isTable2D(entry_.type)) {
        for (int r = r0; r <= r1; ++r)
            out.push_back({1, r, raw(1, r)});
        return out;
    }
    const int c0 = std::max(block.column0, 0), c1 = std::min(block.column1, columns() - 1);
    for (int r = r0; r <= r1; ++r)
        for (int c = c0; c <= c1; ++c)
            out.push_back({c, r, raw(c, r)});
    return out;
}

void EntryValues::writeRaw(int column, int row, int v) {
    if (entry_.type == EntryType::Table3D)
        entry_.SetCell(column, row, v);
    else if (entry_.type == EntryType::Unsigned16Table && row == entry_.PointCount() - 1)
        entry_.EnterY(row, v); // the end point's slope, kept in range
    else
        entry_.SetPointY(row, v);
}

// Every new value is computed from the values before the edit, then written:
// the 16-bit end point hangs on the point before it.
void EntryValues::write(const std::vector<Target>& changes) {
    if (!entry_.editable() || changes.empty())
        return;
    for (const Target& t : changes)
        writeRaw(t.column, t.row, t.raw);
    entry_.RecomputeSlopes();
}

template <typename Change> void EntryValues::changeEach(const ValueBlock& block, Change change) {
    std::vector<Target> changes = targets(block);
    for (Target& t : changes)
        t.raw = change(t);
    write(changes);
}

void EntryValues::step(const ValueBlock& block, int rawStep) {
    changeEach(block, [rawStep](const Target& t) { return t.raw + rawStep; });
}

void EntryValues::add(const ValueBlock& block, double amount) {
    changeEach(block, [this, amount](const Target& t) {
        return toRaw(t.column, eng(t.column, t.row) + amount);
    });
}

void EntryValues::set(const ValueBlock& block, double value) {
    changeEach(block, [this, value](const Target& t) { return toRaw(t.column, value); });
}

void EntryValues::scale(const ValueBlock& block, double percent) {
    changeEach(block, [this, percent](const Target& t) {
        return toRaw(t.column, eng(t.column, t.row) * percent / 100.0);
    });
}

bool EntryValues::interpolate(const ValueBlock& given) {
    const ValueBlock b = ValueBlock::spanning(std::max(given.column0, 0), std::max(given.row0, 0),
                                              std::min(given.column1, columns() - 1),
                                              std::min(given.row1, rows() - 1));
    std::vector<Target> changes = targets(b);
    if (changes.size() < 2)
        return false;
    if (isTable2D(entry_.type)) {
        // Along X, so unevenly spaced points land on the straight line.
        const double x0 = entry_.GetX(b.row0), x1 = entry_.GetX(b.row1);
        const double y0 = raw(1, b.row0), y1 = raw(1, b.row1);
        for (Target& t : changes) {
            const double share = x1 == x0 ? 0.0 : (entry_.GetX(t.row) - x0) / (x1 - x0);
            t.raw = rounded(y0 + (y1 - y0) * share);
        }
    } else {
        // The breakpoints of a grid are evenly spaced: the index is the position.
        const double v00 = raw(b.column0, b.row0), v10 = raw(b.column1, b.row0);
        const double v01 = raw(b.column0, b.row1), v11 = raw(b.column1, b.row1);
        for (Target& t : changes) {
            const double u = b.columns() > 1 ? double(t.column - b.column0) / (b.columns() - 1) : 0;
            const double v = b.rows() > 1 ? double(t.row - b.row0) / (b.rows() - 1) : 0;
            const double top = v00 + (v10 - v00) * u;
            const double bottom = v01 + (v11 - v01) * u;
            t.raw = rounded(top + (bottom - top) * v);
        }
    }
    write(changes);
    return true;
}

std::vector<std::vector<double>> EntryValues::values(const ValueBlock& block) const {
    std::vector<std::vector<double>> out;
    for (int r = std::max(block.row0, 0); r <= std::min(block.row1, rows() - 1); ++r) {
        std::vector<double> row;
        for (int c = std::max(block.column0, 0); c <= std::min(block.column1, columns() - 1); ++c)
            row.push_back(eng(c, r));
        out.push_back(std::move(row));
    }
    return out;
}

// New X values must keep every real point strictly right of the one before.
bool EntryValues::xOrderKept(int row0, const std::vector<int>& xs) const {
    const bool wide = entry_.type == EntryType::Unsigned16Table;
    const int real = wide ? entry_.PointCount() - 1 : entry_.PointCount();
    const int top = wide ? 254 : 255;
    int previous = -1;
    for (int r = 0; r < real; ++r) {
        const bool pasted = r >= row0 && r < row0 + static_cast<int>(xs.size());
        const int x = pasted ? xs[static_cast<std::size_t>(r - row0)] : entry_.GetX(r);
        if (x < 0 || x > top || x <= previous)
            return false;
        previous = x;
    }
    return true;
}

std::string EntryValues::paste(int column, int row, const std::vector<std::vector<double>>& block) {
    if (block.empty() || block.front().empty())
        return "There are no values to paste.";
    const int height = static_cast<int>(block.size());
    const int width = static_cast<int>(block.front().size());
    if (columns() == 0)
        return "This entry has no values to paste into.";
    if (column + width > columns() || row + height > rows()) {
        const int roomColumns = std::max(columns() - column, 0);
        const int roomRows = std::max(rows() - row, 0);
        return "The pasted block of " + std::to_string(width) + " x " + std::to_string(height) +
               " values (columns x rows) does not fit: from the selected value there is room for " +
               std::to_string(roomColumns) + " x " + std::to_string(roomRows) + ".";
    }
    if (!entry_.editable())
        return {};
    std::vector<Target> changes;
    std::vector<int> xs;
    for (int r = 0; r < height; ++r) {
        for (int c = 0; c < width; ++c) {
            const int at = column + c;
            const double v = block[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)];
            if (isTable2D(entry_.type) && at == 0) {
                if (editableAt(0, row + r))
                    xs.push_back(toRaw(0, v));
                continue;
            }
            changes.push_back({at, row + r, toRaw(at, v)});
        }
    }
    if (!xs.empty()) {
        if (!xOrderKept(row, xs))
            return "The pasted X values must rise from point to point and stay within the axis.";
        entry_.owner()->SetDataModified(true);
        for (std::size_t k = 0; k < xs.size(); ++k)
            entry_.SetX(row + static_cast<int>(k), xs[k], false);
    }
    write(changes);
    if (!xs.empty())
        entry_.RecomputeSlopes();
    return {};
}

} // namespace tevra
