#include "ValuesLayout.h"

namespace tevra {

int ValuesLayout::columnLeft(int column) const {
    int x = rowHeaderWidth;
    for (int c = 0; c < column && c < static_cast<int>(columnWidths.size()); ++c)
        x += columnWidths[static_cast<std::size_t>(c)];
    return x;
}

QRect ValuesLayout::cellRect(int column, int row) const {
    const int width = column >= 0 && column < static_cast<int>(columnWidths.size())
                          ? columnWidths[static_cast<std::size_t>(column)]
                          : 0;
    return {columnLeft(column), kHeaderHeight + row * kRowHeight, width, kRowHeight};
}

QRect ValuesLayout::columnHeaderRect(int column) const {
    const QRect cell = cellRect(column, 0);
    return {cell.left(), 0, cell.width(), kHeaderHeight};
}

QRect ValuesLayout::rowHeaderRect(int row) const {
    return {0, kHeaderHeight + row * kRowHeight, rowHeaderWidth, kRowHeight};
}

QSize ValuesLayout::contentSize() const {
    return {columnLeft(static_cast<int>(columnWidths.size())), kHeaderHeight + rows * kRowHeight};
}

std::optional<ValuesLayout::Cell> ValuesLayout::valueCellAt(QPoint p) const {
    if (p.y() < kHeaderHeight || p.x() < rowHeaderWidth)
        return std::nullopt;
    const int row = (p.y() - kHeaderHeight) / kRowHeight;
    if (row >= rows)
        return std::nullopt;
    int x = rowHeaderWidth;
    for (int c = 0; c < valueColumns && c < static_cast<int>(columnWidths.size()); ++c) {
        x += columnWidths[static_cast<std::size_t>(c)];
        if (p.x() < x)
            return Cell{c, row};
    }
    return std::nullopt;
}

} // namespace tevra
