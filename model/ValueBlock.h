#pragma once

#include <algorithm>

namespace tevra {

// A rectangle of values in an entry's value grid (see EntryValues), both
// corners included: a range of points of a 2D table, a block of 3D cells.
struct ValueBlock {
    int column0 = 0;
    int row0 = 0;
    int column1 = 0;
    int row1 = 0;

    // The block spanned by two corners given in any order.
    static ValueBlock spanning(int columnA, int rowA, int columnB, int rowB) {
        return {std::min(columnA, columnB), std::min(rowA, rowB), std::max(columnA, columnB),
                std::max(rowA, rowB)};
    }
    int columns() const { return column1 - column0 + 1; }
    int rows() const { return row1 - row0 + 1; }
    bool contains(int column, int row) const {
        return column >= column0 && column <= column1 && row >= row0 && row <= row1;
    }
    bool operator==(const ValueBlock&) const = default;
};

} // namespace tevra
