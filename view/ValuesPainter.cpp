#include "ValuesPainter.h"

#include "CalEntry.h"
#include "EntryText.h"
#include "EntryValues.h"
#include "GraphFonts.h"

#include <QPainter>
#include <QStaticText>

#include <algorithm>
#include <cmath>
#include <vector>

namespace tevra {

namespace {

const QColor kBackground(255, 255, 255);
const QColor kHeader(232, 232, 236);
const QColor kHeaderText(40, 40, 40);
const QColor kLine(200, 200, 208);
const QColor kText(0, 0, 0);
const QColor kFixedText(120, 120, 120); // values that cannot be typed over
const QColor kSelection(40, 110, 220, 90);
const QColor kCursor(0, 0, 0);

constexpr int kValueWidth = 96;
constexpr int kCellWidth = 40;
constexpr int kNameWidth = 200;

// Reading only: the painter never edits, but the value grid takes the entry as
// the editing view does.
EntryValues readerOf(const CalEntry& e) {
    return EntryValues(const_cast<CalEntry&>(e));
}

QString withUnit(const std::string& name, const std::string& unit) {
    QString t = entryText(name);
    if (!unit.empty())
        t += QStringLiteral(" (") + entryText(unit) + QLatin1Char(')');
    return t;
}

// A breakpoint label: as many decimals as the spacing of the breakpoints needs.
QString breakpointText(float lo, float hi, int index, int count) {
    const double share = count > 1 ? double(index) / (count - 1) : 0.0;
    const double v = lo + (hi - lo) * share;
    const double spacing = count > 1 ? std::abs(hi - lo) / (count - 1) : 1.0;
    const int decimals = spacing >= 1.0 || spacing <= 0.0
                             ? 0
                             : std::clamp(int(std::ceil(-std::log10(spacing))), 0, 4);
    return QString::number(v, 'f', decimals);
}

QString hexBytes(const CalEntry& e, int first, int count) {
    QString t;
    for (int k = 0; k < count; ++k) {
        if (k > 0)
            t += QLatin1Char(' ');
        t += QString::asprintf("%.2X", e.byteAt(first + k));
    }
    return t;
}

bool unusedName(const std::string& name) {
    return entryText(name).compare(QLatin1String("unused"), Qt::CaseInsensitive) == 0;
}

} // namespace

ValuesPainter::ValuesPainter() {
    font_ = QFont(GraphFonts::family());
    font_.setPixelSize(13);
    bold_ = font_;
    bold_.setBold(true);
}

void ValuesPainter::SetEntry(const CalEntry* entry) {
    entry_ = entry;
}

ValuesLayout ValuesPainter::layout(bool showRaw) const {
    ValuesLayout l;
    if (!entry_ || !entry_->inImage())
        return l;
    const EntryType t = entry_->type;
    if (isTable2D(t)) {
        l.rows = std::max(entry_->PointCount(), 0);
        l.valueColumns = 2;
        l.columnWidths = {kValueWidth + 54, kValueWidth + 54};
        if (showRaw)
            l.columnWidths.push_back(130);
    } else if (t == EntryType::Table3D) {
        l.rows = entry_->Rows();
        l.valueColumns = entry_->Columns();
        l.rowHeaderWidth = 56;
        l.columnWidths.assign(static_cast<std::size_t>(l.valueColumns), kCellWidth);
    } else if (isConstant(t)) {
        l.rows = 1;
        l.valueColumns = 1;
        l.rowHeaderWidth = 8;
        l.columnWidths = {kNameWidth};
        if (showRaw)
            l.columnWidths.push_back(80);
    } else if (t == EntryType::FlagByte || t == EntryType::ValueList) {
        l.rows = 8;
        l.rowHeaderWidth = 32;
        l.columnWidths = {kNameWidth, 64};
        if (showRaw)
            l.columnWidths.push_back(56);
    }
    return l;
}

QColor ValuesPainter::cellColour(int value, int lowest, int highest) {
    const double share = highest > lowest ? double(value - lowest) / double(highest - lowest) : 0.5;
    // Hue 240 (blue) for the lowest value through cyan, green and yellow to 0 (red).
    const int hue = static_cast<int>(std::lround(240.0 * (1.0 - std::clamp(share, 0.0, 1.0))));
    return QColor::fromHsv(hue, 110, 255);
}

QString ValuesPainter::valueText(int column, int row, bool showRaw) const {
    if (!entry_)
        return {};
    const EntryValues values = readerOf(*entry_);
    if (entry_->type == EntryType::Table3D) {
        const int v = values.raw(column, row);
        return showRaw ? QString::asprintf("%.2X", v & 0xFF) : QString::number(v);
    }
    return QString::number(values.eng(column, row), 'f', values.decimals(column));
}

QString ValuesPainter::extraText(int column, int row) const {
    const EntryType t = entry_->type;
    if (isTable2D(t)) {
        if (t == EntryType::Unsigned16Table)
            return row == entry_->PointCount() - 1 ? hexBytes(*entry_, 5 * row, 1)
                                                   : hexBytes(*entry_, 5 * row, 5);
        return hexBytes(*entry_, 1 + 4 * row, 4);
    }
    if (isConstant(t))
        return hexBytes(*entry_, 0, t == EntryType::Constant16 ? 2 : 1);
    const auto k = static_cast<std::size_t>(row);
    const int byte = entry_->byteAt(0);
    if (column == 0)
        return entryText(entry_->itemNames[k]);
    if (t == EntryType::FlagByte) {
        if (column == 1)
            return (byte >> row) & 1 ? QStringLiteral("on") : QStringLiteral("off");
        return QString::asprintf("%.2X", 1 << row);
    }
    if (column == 1)
        return QString::number(entry_->itemValues[k]) +
               ((entry_->itemValues[k] & 0xFF) == byte && !unusedName(entry_->itemNames[k])
                    ? QStringLiteral("  \u25C0")
                    : QString());
    return QString::asprintf("%.2X", entry_->itemValues[k] & 0xFF);
}

QString ValuesPainter::columnTitle(int column, bool showRaw) const {
    const EntryType t = entry_->type;
    if (isTable2D(t)) {
        if (column == 0)
            return withUnit(entry_->xName, entry_->xUnit);
        return column == 1 ? withUnit(entry_->yName, entry_->yUnit) : QStringLiteral("Raw bytes");
    }
    if (t == EntryType::Table3D)
        return breakpointText(entry_->xMinValue(), entry_->xMaxValue(), column, entry_->Columns());
    if (isConstant(t))
        return column == 0 ? withUnit(entry_->yName, entry_->yUnit) : QStringLiteral("Raw");
    if (column == 0)
        return t == EntryType::FlagByte ? QStringLiteral("Bit") : QStringLiteral("Choice");
    if (column == 1)
        return t == EntryType::FlagByte ? QStringLiteral("State") : QStringLiteral("Value");
    return showRaw ? QStringLiteral("Raw") : QString();
}

QString ValuesPainter::rowTitle(int row) const {
    const EntryType t = entry_->type;
    if (t == EntryType::Table3D)
        return breakpointText(entry_->yMinValue(), entry_->yMaxValue(), row, entry_->Rows());
    if (isConstant(t))
        return {};
    if (t == EntryType::Unsigned16Table && row > 0 && row == entry_->PointCount() - 1)
        return QStringLiteral("end");
    return QString::number(row);
}

void ValuesPainter::paint(QPainter& p, QSize size, const ValuesViewState& state) const {
    p.setFont(font_);
    const ValuesLayout l = layout(state.showRaw);
    const QRect all(QPoint(0, 0), size);
    if (entry_ && entry_->type == EntryType::Table3D && !l.columnWidths.empty()) {
        // The coloured cells cover what they show; only the rest needs the background.
        const QRect sheet = QRect(-state.scroll, l.contentSize()).intersected(all);
        p.fillRect(QRect(sheet.right() + 1, 0, size.width() - sheet.right() - 1, size.height()),
                   kBackground);
        p.fillRect(QRect(0, sheet.bottom() + 1, sheet.right() + 1, size.height() - sheet.bottom()),
                   kBackground);
    } else {
        p.fillRect(all, kBackground);
    }
    if (!entry_ || l.columnWidths.empty()) {
        p.setPen(kFixedText);
        const QString why = entry_ && !entry_->inImage()
                                ? QStringLiteral("The entry's bytes lie outside the image.")
                                : QStringLiteral("No values to show.");
        p.drawText(QRect(QPoint(0, 0), size), Qt::AlignCenter, why);
        return;
    }
    const QRect visible(state.scroll, size);
    p.save();
    p.translate(-state.scroll);
    paintCells(p, l, visible, state);
    p.restore();
    paintHeaders(p, l, visible, size, state.scroll, state.showRaw);
}

void ValuesPainter::paintCells(QPainter& p, const ValuesLayout& l, QRect visible,
                               const ValuesViewState& state) const {
    const int firstRow =
        std::max((visible.top() - ValuesLayout::kHeaderHeight) / ValuesLayout::kRowHeight, 0);
    const int lastRow =
        std::min((visible.bottom() - ValuesLayout::kHeaderHeight) / ValuesLayout::kRowHeight + 1,
                 l.rows - 1);
    const int columns = static_cast<int>(l.columnWidths.size());
    int firstColumn = 0, lastColumn = columns - 1;
    while (firstColumn < columns && l.cellRect(firstColumn, 0).right() < visible.left())
        ++firstColumn;
    while (lastColumn >= firstColumn && l.cellRect(lastColumn, 0).left() > visible.right())
        --lastColumn;
    if (firstRow > lastRow || firstColumn > lastColumn)
        return;
    const bool grid = entry_->type == EntryType::Table3D;
    if (grid)
        paintCellColours(p, l, firstRow, lastRow, firstColumn, lastColumn);
    if (state.selection) {
        const ValueBlock& b = *state.selection;
        const int c1 = std::min(b.column1, l.valueColumns - 1);
        if (b.column0 <= c1 && b.row0 < l.rows)
            p.fillRect(QRect(l.cellRect(b.column0, b.row0).topLeft(),
                             l.cellRect(c1, std::min(b.row1, l.rows - 1)).bottomRight()),
                       kSelection);
    }
    // The lines of the sheet, one per row and column rather than four per cell.
    p.setPen(kLine);
    const int left = l.cellRect(firstColumn, 0).left();
    const int right = l.cellRect(lastColumn, 0).right();
    const int top = l.cellRect(0, firstRow).top();
    const int bottom = l.cellRect(0, lastRow).bottom();
    for (int r = firstRow; r <= lastRow; ++r) {
        const int y = l.cellRect(0, r).bottom();
        p.drawLine(left, y, right, y);
    }
    for (int c = firstColumn; c <= lastColumn; ++c) {
        const int x = l.cellRect(c, 0).right();
        p.drawLine(x, top, x, bottom);
    }
    const EntryValues values = readerOf(*entry_);
    for (int r = firstRow; r <= lastRow; ++r) {
        for (int c = firstColumn; c <= lastColumn; ++c) {
            const QRect cell = l.cellRect(c, r);
            const bool isValue = c < l.valueColumns;
            if (grid) {
                const QStaticText& text = cellText(entry_->GetCell(c, r), state.showRaw);
                p.setPen(kText);
                p.drawStaticText(QPointF(cell.right() - 6 - text.size().width(),
                                         cell.top() + (cell.height() - text.size().height()) / 2),
                                 text);
                continue;
            }
            const QString text = isValue ? valueText(c, r, state.showRaw) : extraText(c, r);
            p.setPen(isValue && !values.editableAt(c, r) ? kFixedText : kText);
            const int align = isValue ? Qt::AlignRight : Qt::AlignLeft;
            p.drawText(cell.adjusted(6, 0, -6, 0), align | Qt::AlignVCenter, text);
        }
    }
    if (state.cursorColumn >= 0 && state.cursorRow >= 0 && state.cursorColumn < l.valueColumns &&
        state.cursorRow < l.rows) {
        p.setPen(QPen(kCursor, 2));
        p.setBrush(Qt::NoBrush);
        p.drawRect(l.cellRect(state.cursorColumn, state.cursorRow).adjusted(1, 1, -1, -1));
    }
}

void ValuesPainter::paintCellColours(QPainter& p, const ValuesLayout& l, int firstRow, int lastRow,
                                     int firstColumn, int lastColumn) const {
    int lowest = entry_->GetCell(0, 0), highest = lowest;
    for (int r = 0; r < l.rows; ++r) {
        for (int c = 0; c < l.valueColumns; ++c) {
            const int v = entry_->GetCell(c, r);
            lowest = std::min(lowest, v);
            highest = std::max(highest, v);
        }
    }
    std::vector<QColor> palette;
    palette.reserve(static_cast<std::size_t>(highest - lowest + 1));
    for (int v = lowest; v <= highest; ++v)
        palette.push_back(cellColour(v, lowest, highest));
    for (int r = firstRow; r <= lastRow; ++r)
        for (int c = firstColumn; c <= lastColumn; ++c)
            p.fillRect(l.cellRect(c, r),
                       palette[static_cast<std::size_t>(entry_->GetCell(c, r) - lowest)]);
}

// A 32 x 32 grid repaints 1024 numbers after every key; laid out once per value
// and then only copied, they cost a fraction of laying them out each time.
const QStaticText& ValuesPainter::cellText(int value, bool hex) const {
    const int key = (value + 256) * 2 + (hex ? 1 : 0);
    auto it = cellTexts_.find(key);
    if (it == cellTexts_.end()) {
        QStaticText text(hex ? QString::asprintf("%.2X", value & 0xFF) : QString::number(value));
        text.setTextFormat(Qt::PlainText);
        text.prepare(QTransform(), font_);
        it = cellTexts_.emplace(key, std::move(text)).first;
    }
    return it->second;
}

void ValuesPainter::paintHeaders(QPainter& p, const ValuesLayout& l, QRect visible, QSize size,
                                 QPoint scroll, bool showRaw) const {
    const int columns = static_cast<int>(l.columnWidths.size());
    p.setFont(bold_);
    // Column titles stay on top while the rows scroll, row titles on the left.
    p.fillRect(0, 0, size.width(), ValuesLayout::kHeaderHeight, kHeader);
    for (int c = 0; c < columns; ++c) {
        const QRect h = l.columnHeaderRect(c).translated(-scroll.x(), 0);
        if (h.right() < 0 || h.left() > size.width())
            continue;
        p.setPen(kLine);
        p.drawLine(h.topRight(), h.bottomRight());
        p.setPen(kHeaderText);
        p.drawText(h.adjusted(4, 0, -4, 0), Qt::AlignCenter, columnTitle(c, showRaw));
    }
    p.fillRect(0, ValuesLayout::kHeaderHeight, l.rowHeaderWidth, size.height(), kHeader);
    const int firstRow =
        std::max((visible.top() - ValuesLayout::kHeaderHeight) / ValuesLayout::kRowHeight, 0);
    for (int r = firstRow; r < l.rows; ++r) {
        const QRect h = l.rowHeaderRect(r).translated(0, -scroll.y());
        if (h.top() > size.height())
            break;
        if (h.top() < ValuesLayout::kHeaderHeight)
            continue;
        p.setPen(kLine);
        p.drawLine(h.bottomLeft(), h.bottomRight());
        p.setPen(kHeaderText);
        p.drawText(h.adjusted(2, 0, -6, 0), Qt::AlignRight | Qt::AlignVCenter, rowTitle(r));
    }
    p.fillRect(0, 0, l.rowHeaderWidth, ValuesLayout::kHeaderHeight, kHeader);
    if (entry_->type == EntryType::Table3D) {
        p.setPen(kHeaderText);
        p.setFont(font_);
        p.drawText(QRect(0, 0, l.rowHeaderWidth, ValuesLayout::kHeaderHeight), Qt::AlignCenter,
                   entryText(entry_->yUnit) + QLatin1Char('\\') + entryText(entry_->xUnit));
    }
    p.setPen(kLine);
    p.drawLine(0, ValuesLayout::kHeaderHeight - 1, size.width(), ValuesLayout::kHeaderHeight - 1);
    p.drawLine(l.rowHeaderWidth - 1, 0, l.rowHeaderWidth - 1, size.height());
}

} // namespace tevra
