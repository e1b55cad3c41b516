#pragma once

#include "ValueBlock.h"
#include "ValuesLayout.h"

#include <QColor>
#include <QFont>
#include <QPoint>
#include <QSize>
#include <QStaticText>
#include <QString>

#include <map>
#include <optional>

class QPainter;

namespace tevra {

class CalEntry;

// What the values view's interaction decides about its picture.
struct ValuesViewState {
    int cursorColumn = -1;
    int cursorRow = -1;
    std::optional<ValueBlock> selection;
    bool showRaw = false; // raw bytes beside 2D points and constants, hex 3D cells
    QPoint scroll;        // content pixel shown at the top-left corner
};

// Draws the values of one entry as a sheet: a row per point of a 2D table with
// X and Y in engineering units, the cells of a 3D table under their evenly
// spread breakpoints and coloured blue (lowest) to red (highest), a constant's
// value, the named bits of a flag byte or choices of a value list. It paints
// into any painter, so the view, the command-line renderer and the tests share it.
class ValuesPainter {
public:
    ValuesPainter();

    void SetEntry(const CalEntry* entry);
    const CalEntry* entry() const { return entry_; }

    ValuesLayout layout(bool showRaw) const;
    void paint(QPainter& painter, QSize size, const ValuesViewState& state) const;

    // The text a value cell shows (and a copy puts on the clipboard).
    QString valueText(int column, int row, bool showRaw) const;
    // The background of a 3D cell holding value, on the scale lowest..highest.
    static QColor cellColour(int value, int lowest, int highest);

private:
    QString columnTitle(int column, bool showRaw) const;
    QString rowTitle(int row) const;
    QString extraText(int column, int row) const; // the cells right of the values
    void paintCells(QPainter& p, const ValuesLayout& l, QRect visible,
                    const ValuesViewState& state) const;
    void paintCellColours(QPainter& p, const ValuesLayout& l, int firstRow, int lastRow,
                          int firstColumn, int lastColumn) const;
    const QStaticText& cellText(int value, bool hex) const;
    void paintHeaders(QPainter& p, const ValuesLayout& l, QRect visible, QSize size, QPoint scroll,
                      bool showRaw) const;

    const CalEntry* entry_ = nullptr;
    QFont font_;
    QFont bold_;
    mutable std::map<int, QStaticText> cellTexts_; // key: (value + 256) * 2 + hex
};

} // namespace tevra
