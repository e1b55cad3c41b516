// The whole-grid edits of a Table3D (Modify All Points on a grid).

#include "CalEntry.h"
#include "Calibration.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace tevra {

namespace {

// A typed amount as a whole number of raw counts; huge or non-finite amounts
// saturate so that the clamp to the cell range still applies.
std::int64_t rawCount(double v) {
    if (std::isnan(v))
        return 0;
    return static_cast<std::int64_t>(std::clamp(std::trunc(v), -1.0e9, 1.0e9));
}

} // namespace

template <typename Change> void CalEntry::changeEveryCell(Change change) {
    if (!editable() || type != EntryType::Table3D)
        return;
    owner_->SetDataModified(true);
    const bool isSigned = cellsSigned();
    const int lo = isSigned ? -128 : 0;
    const int hi = isSigned ? 127 : 255;
    const int columns = Columns();
    for (int r = 0; r < Rows(); ++r) {
        for (int c = 0; c < columns; ++c) {
            const std::int64_t v = change(GetCell(c, r));
            const int clamped = static_cast<int>(std::clamp<std::int64_t>(v, lo, hi));
            setByte(3 + std::int64_t{r} * columns + c, clamped & 0xFF);
        }
    }
}

void CalEntry::ScaleCells(float fz) {
    changeEveryCell([fz](int cell) { return rawCount(static_cast<double>(cell) * double{fz}); });
}

void CalEntry::SetAllCells(float v) {
    const std::int64_t value = rawCount(double{v});
    changeEveryCell([value](int) { return value; });
}

void CalEntry::AddToAllCells(float d) {
    const std::int64_t delta = rawCount(double{d});
    changeEveryCell([delta](int cell) { return cell + delta; });
}

} // namespace tevra
