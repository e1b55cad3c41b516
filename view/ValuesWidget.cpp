#include "ValuesWidget.h"

#include "CalEntry.h"
#include "Calibration.h"
#include "EntryValues.h"
#include "TabText.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>

namespace tevra {

namespace {

bool startsValue(const QString& text) {
    if (text.size() != 1)
        return false;
    const QChar c = text.front();
    return c.isDigit() || c == QLatin1Char('-') || c == QLatin1Char('+') || c == QLatin1Char('.') ||
           (c.toLower() >= QLatin1Char('a') && c.toLower() <= QLatin1Char('f'));
}

std::string toStd(const QString& s) {
    return s.toStdString();
}

} // namespace

ValuesWidget::ValuesWidget(QWidget* parent) : QAbstractScrollArea(parent) {
    setObjectName(QStringLiteral("values"));
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setMouseTracking(false);
    editor_ = new QLineEdit(viewport());
    editor_->setObjectName(QStringLiteral("valueEditor"));
    editor_->setAlignment(Qt::AlignRight);
    editor_->hide();
    editor_->installEventFilter(this);
}

ValuesWidget::~ValuesWidget() = default;

void ValuesWidget::SetEntry(CalEntry* entry) {
    cancelEditing();
    entry_ = entry;
    painter_.SetEntry(entry);
    if (hasValues()) {
        const int column = isTable2D(entry->type) ? 1 : 0;
        cursorColumn_ = anchorColumn_ = column;
        cursorRow_ = anchorRow_ = 0;
    } else {
        cursorColumn_ = cursorRow_ = anchorColumn_ = anchorRow_ = -1;
    }
    horizontalScrollBar()->setValue(0);
    verticalScrollBar()->setValue(0);
    updateScrollBars();
    viewport()->update();
}

bool ValuesWidget::hasValues() const {
    return entry_ && EntryValues(*entry_).columns() > 0 && EntryValues(*entry_).rows() > 0;
}

ValueBlock ValuesWidget::selection() const {
    return ValueBlock::spanning(anchorColumn_, anchorRow_, cursorColumn_, cursorRow_);
}

void ValuesWidget::setCursor(int column, int row) {
    if (!hasValues())
        return;
    const EntryValues values(*entry_);
    cursorColumn_ = anchorColumn_ = std::clamp(column, 0, values.columns() - 1);
    cursorRow_ = anchorRow_ = std::clamp(row, 0, values.rows() - 1);
    ensureCursorVisible();
    viewport()->update();
}

void ValuesWidget::selectBlock(const ValueBlock& block) {
    setCursor(block.column0, block.row0);
    moveCursor(block.column1, block.row1, true);
}

void ValuesWidget::setShowRaw(bool on) {
    cancelEditing();
    showRaw_ = on;
    updateScrollBars();
    viewport()->update();
}

bool ValuesWidget::editing() const {
    return editor_->isVisible();
}

void ValuesWidget::followGraph(int point, CellIndex cell) {
    if (!hasValues())
        return;
    if (isTable2D(entry_->type) && point >= 0)
        setCursor(cursorColumn_ < 0 ? 1 : cursorColumn_, point);
    else if (entry_->type == EntryType::Table3D && cell.column >= 0 && cell.row >= 0)
        setCursor(cell.column, cell.row);
}

// ---------------------------------------------------------------- cursor

void ValuesWidget::moveCursor(int column, int row, bool extend) {
    if (!hasValues())
        return;
    const EntryValues values(*entry_);
    cursorColumn_ = std::clamp(column, 0, values.columns() - 1);
    cursorRow_ = std::clamp(row, 0, values.rows() - 1);
    if (!extend) {
        anchorColumn_ = cursorColumn_;
        anchorRow_ = cursorRow_;
    }
    ensureCursorVisible();
    viewport()->update();
    emit cursorMoved(cursorColumn_, cursorRow_);
}

void ValuesWidget::ensureCursorVisible() {
    if (cursorColumn_ < 0)
        return;
    const ValuesLayout l = painter_.layout(showRaw_);
    const QRect cell = l.cellRect(cursorColumn_, cursorRow_);
    const QSize view = viewport()->size();
    auto* h = horizontalScrollBar();
    auto* v = verticalScrollBar();
    if (cell.left() - l.rowHeaderWidth < h->value())
        h->setValue(cell.left() - l.rowHeaderWidth);
    else if (cell.right() > h->value() + view.width())
        h->setValue(cell.right() - view.width() + 1);
    if (cell.top() - ValuesLayout::kHeaderHeight < v->value())
        v->setValue(cell.top() - ValuesLayout::kHeaderHeight);
    else if (cell.bottom() > v->value() + view.height())
        v->setValue(cell.bottom() - view.height() + 1);
}

void ValuesWidget::updateScrollBars() {
    const QSize content = painter_.layout(showRaw_).contentSize();
    const QSize view = viewport()->size();
    horizontalScrollBar()->setRange(0, std::max(content.width() - view.width(), 0));
    verticalScrollBar()->setRange(0, std::max(content.height() - view.height(), 0));
    horizontalScrollBar()->setPageStep(view.width());
    verticalScrollBar()->setPageStep(view.height());
    verticalScrollBar()->setSingleStep(ValuesLayout::kRowHeight);
}

// ---------------------------------------------------------------- events

void ValuesWidget::paintEvent(QPaintEvent*) {
    QPainter p(viewport());
    ValuesViewState state;
    state.cursorColumn = cursorColumn_;
    state.cursorRow = cursorRow_;
    if (hasValues())
        state.selection = selection();
    state.showRaw = showRaw_;
    state.scroll = {horizontalScrollBar()->value(), verticalScrollBar()->value()};
    painter_.paint(p, viewport()->size(), state);
}

void ValuesWidget::resizeEvent(QResizeEvent* e) {
    QAbstractScrollArea::resizeEvent(e);
    updateScrollBars();
}

// The graph drops its selection when it loses the focus; the sheet shows it the
// selection the user now works on.
void ValuesWidget::focusInEvent(QFocusEvent* e) {
    QAbstractScrollArea::focusInEvent(e);
    if (hasValues() && !editing())
        emit cursorMoved(cursorColumn_, cursorRow_);
}

void ValuesWidget::scrollContentsBy(int, int) {
    cancelEditing();
    viewport()->update();
}

bool ValuesWidget::event(QEvent* e) {
    // The arrows and the clipboard keys belong to the sheet while it has focus.
    if (e->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(e);
        if (key->matches(QKeySequence::Copy) || key->matches(QKeySequence::Paste) ||
            key->key() == Qt::Key_Left || key->key() == Qt::Key_Right || key->key() == Qt::Key_Up ||
            key->key() == Qt::Key_Down) {
            e->accept();
            return true;
        }
    }
    return QAbstractScrollArea::event(e);
}

void ValuesWidget::keyPressEvent(QKeyEvent* e) {
    if (!hasValues()) {
        QAbstractScrollArea::keyPressEvent(e);
        return;
    }
    const bool shift = (e->modifiers() & Qt::ShiftModifier) != 0;
    const bool ctrl = (e->modifiers() & Qt::ControlModifier) != 0;
    if (e->matches(QKeySequence::Copy)) {
        copySelection();
    } else if (e->matches(QKeySequence::Paste)) {
        pasteClipboard();
    } else if (e->matches(QKeySequence::SelectAll)) {
        const EntryValues values(*entry_);
        selectBlock({0, 0, values.columns() - 1, values.rows() - 1});
    } else if (ctrl && (e->key() == Qt::Key_Up || e->key() == Qt::Key_Down)) {
        stepSelection(e->key() == Qt::Key_Up ? 1 : -1);
    } else if (ctrl && e->key() == Qt::Key_I) {
        interpolateSelection();
    } else if (e->key() == Qt::Key_Left) {
        moveCursor(cursorColumn_ - 1, cursorRow_, shift);
    } else if (e->key() == Qt::Key_Right) {
        moveCursor(cursorColumn_ + 1, cursorRow_, shift);
    } else if (e->key() == Qt::Key_Up) {
        moveCursor(cursorColumn_, cursorRow_ - 1, shift);
    } else if (e->key() == Qt::Key_Down) {
        moveCursor(cursorColumn_, cursorRow_ + 1, shift);
    } else if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter || e->key() == Qt::Key_F2) {
        startEditing(painter_.valueText(cursorColumn_, cursorRow_, showRaw_));
    } else if (!ctrl && startsValue(e->text()) &&
               (e->text().front().isDigit() || !e->text().front().isLetter() ||
                (showRaw_ && entry_->type == EntryType::Table3D))) {
        startEditing(e->text());
    } else {
        QAbstractScrollArea::keyPressEvent(e);
        return;
    }
    e->accept();
}

void ValuesWidget::mousePressEvent(QMouseEvent* e) {
    if (!hasFocus())
        setFocus(Qt::MouseFocusReason);
    if (e->button() != Qt::LeftButton || !hasValues())
        return;
    commitEditing();
    const QPoint content = e->position().toPoint() +
                           QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value());
    if (const auto cell = painter_.layout(showRaw_).valueCellAt(content))
        moveCursor(cell->column, cell->row, (e->modifiers() & Qt::ShiftModifier) != 0);
}

void ValuesWidget::mouseMoveEvent(QMouseEvent* e) {
    if (!(e->buttons() & Qt::LeftButton) || !hasValues())
        return;
    const QPoint content = e->position().toPoint() +
                           QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value());
    if (const auto cell = painter_.layout(showRaw_).valueCellAt(content);
        cell && (cell->column != cursorColumn_ || cell->row != cursorRow_))
        moveCursor(cell->column, cell->row, true);
}

bool ValuesWidget::eventFilter(QObject* watched, QEvent* e) {
    if (watched == editor_ && e->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(e);
        if (key->key() == Qt::Key_Escape) {
            cancelEditing();
            return true;
        }
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            commitEditing();
            return true;
        }
    }
    if (watched == editor_ && e->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(e);
        if (key->key() == Qt::Key_Escape || key->key() == Qt::Key_Return ||
            key->key() == Qt::Key_Enter) {
            e->accept();
            return true;
        }
    }
    return QAbstractScrollArea::eventFilter(watched, e);
}

// ---------------------------------------------------------------- typed values

void ValuesWidget::startEditing(const QString& text) {
    if (!hasValues() || !EntryValues(*entry_).editableAt(cursorColumn_, cursorRow_))
        return;
    if (!canEdit())
        return;
    ensureCursorVisible();
    const QRect cell =
        painter_.layout(showRaw_)
            .cellRect(cursorColumn_, cursorRow_)
            .translated(-horizontalScrollBar()->value(), -verticalScrollBar()->value());
    editor_->setGeometry(cell);
    editor_->setText(text);
    editor_->show();
    editor_->setFocus();
    if (text.size() > 1)
        editor_->selectAll();
}

void ValuesWidget::cancelEditing() {
    if (!editor_->isVisible())
        return;
    editor_->hide();
    setFocus();
    viewport()->update();
}

void ValuesWidget::commitEditing() {
    if (!editor_->isVisible() || !hasValues())
        return;
    const bool hex = showRaw_ && entry_->type == EntryType::Table3D;
    const auto typed = TabText::parseNumber(toStd(editor_->text()), hex);
    if (!typed) {
        say(QStringLiteral("\"%1\" is not a number.").arg(editor_->text().trimmed()));
        editor_->selectAll();
        return;
    }
    editor_->hide();
    setFocus();
    EntryValues values(*entry_);
    const int column = cursorColumn_, row = cursorRow_;
    const int before = values.raw(column, row);
    const int wanted = values.toRaw(column, *typed);
    gesture(QStringLiteral("Type Value"), [&] { values.enter(column, row, *typed); });
    const int after = values.raw(column, row);
    const QString shown = painter_.valueText(column, row, showRaw_);
    if (after == before && std::abs(wanted - before) > 1 && isTable2D(entry_->type))
        say(QStringLiteral("Not stored: the points must stay in order; the value stays %1.")
                .arg(shown));
    else if (std::abs(after - wanted) > 1)
        say(QStringLiteral("Out of range: stored %1, the nearest value the entry holds.")
                .arg(shown));
}

// ---------------------------------------------------------------- selection edits

bool ValuesWidget::canEdit() {
    if (!hasValues())
        return false;
    if (entry_->owner()->readOnly) {
        say(QStringLiteral("The calibration is read-only: nothing was changed."));
        return false;
    }
    return true;
}

template <typename Edit> void ValuesWidget::gesture(const QString& name, Edit edit) {
    emit editGestureStarted(name);
    edit();
    emit editGestureFinished();
    viewport()->update();
    emit valuesEdited();
}

void ValuesWidget::say(const QString& text) {
    message_ = text;
    emit messageChanged(text);
}

void ValuesWidget::stepSelection(int rawSteps) {
    if (!canEdit())
        return;
    EntryValues values(*entry_);
    gesture(rawSteps > 0 ? QStringLiteral("Step Up") : QStringLiteral("Step Down"),
            [&] { values.step(selection(), rawSteps); });
}

void ValuesWidget::addToSelection(double amount) {
    if (!canEdit())
        return;
    EntryValues values(*entry_);
    gesture(QStringLiteral("Add to Values"), [&] { values.add(selection(), amount); });
}

void ValuesWidget::setSelection(double value) {
    if (!canEdit())
        return;
    EntryValues values(*entry_);
    gesture(QStringLiteral("Set Values"), [&] { values.set(selection(), value); });
}

void ValuesWidget::scaleSelection(double percent) {
    if (!canEdit())
        return;
    EntryValues values(*entry_);
    gesture(QStringLiteral("Multiply Values"), [&] { values.scale(selection(), percent); });
}

void ValuesWidget::interpolateSelection() {
    if (!canEdit())
        return;
    EntryValues values(*entry_);
    const ValueBlock block = selection();
    if ((isTable2D(entry_->type) ? block.rows() : block.rows() * block.columns()) < 2) {
        say(QStringLiteral("Select at least two values to interpolate between."));
        return;
    }
    gesture(QStringLiteral("Interpolate"), [&] { values.interpolate(block); });
}

void ValuesWidget::copySelection() {
    if (!hasValues())
        return;
    const ValueBlock b = selection();
    std::vector<std::vector<std::string>> rows;
    for (int r = b.row0; r <= b.row1; ++r) {
        std::vector<std::string> row;
        for (int c = b.column0; c <= b.column1; ++c)
            row.push_back(toStd(painter_.valueText(c, r, showRaw_)));
        rows.push_back(std::move(row));
    }
    QApplication::clipboard()->setText(QString::fromStdString(TabText::formatBlock(rows)));
}

void ValuesWidget::pasteClipboard() {
    if (!canEdit())
        return;
    const bool hex = showRaw_ && entry_->type == EntryType::Table3D;
    const TabText::Block block = TabText::parseBlock(toStd(QApplication::clipboard()->text()), hex);
    if (!block.error.empty()) {
        say(QString::fromStdString(block.error));
        return;
    }
    EntryValues values(*entry_);
    const ValueBlock at = selection();
    std::string error;
    // A block that does not fit changes nothing, so it opens no undo step.
    if (at.column0 + static_cast<int>(block.rows.front().size()) > values.columns() ||
        at.row0 + static_cast<int>(block.rows.size()) > values.rows()) {
        error = values.paste(at.column0, at.row0, block.rows);
    } else {
        gesture(QStringLiteral("Paste"),
                [&] { error = values.paste(at.column0, at.row0, block.rows); });
    }
    if (!error.empty()) {
        say(QString::fromStdString(error));
        return;
    }
    selectBlock({at.column0, at.row0, at.column0 + static_cast<int>(block.rows.front().size()) - 1,
                 at.row0 + static_cast<int>(block.rows.size()) - 1});
}

} // namespace tevra
