#pragma once

#include <QRect>

#include <optional>
#include <vector>

namespace tevra {

// Where the values view puts its headers and cells, in content pixels (origin
// at the top-left of the whole sheet, before scrolling). Pure arithmetic, so the
// painter, the mouse handling and the tests share it.
struct ValuesLayout {
    static constexpr int kRowHeight = 20;
    static constexpr int kHeaderHeight = 22;

    int rowHeaderWidth = 48;
    std::vector<int> columnWidths; // every column, the value columns first
    int valueColumns = 0;          // columns whose cells can be selected
    int rows = 0;

    int columnLeft(int column) const;
    QRect cellRect(int column, int row) const;
    QRect columnHeaderRect(int column) const;
    QRect rowHeaderRect(int row) const;
    QSize contentSize() const;

    struct Cell {
        int column;
        int row;
    };
    // The value cell under a content position, or nothing.
    std::optional<Cell> valueCellAt(QPoint content) const;
};

} // namespace tevra
