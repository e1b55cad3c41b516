#include "GraphWidget.h"

#include "CalEntry.h"
#include "Calibration.h"
#include "EntryText.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <cstdlib>

namespace tevra {

namespace {

bool isArrowOrPage(int key) {
    switch (key) {
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
        return true;
    default:
        return false;
    }
}

bool isArrow(int key) {
    return key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Up || key == Qt::Key_Down;
}

bool unusedName(const std::string& name) {
    return entryText(name).compare(QLatin1String("unused"), Qt::CaseInsensitive) == 0;
}

} // namespace

GraphWidget::GraphWidget(QWidget* parent) : QWidget(parent) {
    // The picture follows the control's size; below the classic size the labels
    // around the plot would not fit.
    setMinimumSize(kGraphWidth, kGraphHeight);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    // The right button edits 3D cells; a context menu of the surrounding window
    // must not open over the control and take the keyboard from it.
    setContextMenuPolicy(Qt::PreventContextMenu);
}

GraphWidget::~GraphWidget() = default;

void GraphWidget::SetEntry(CalEntry* entry) {
    endGesture();
    dragging_ = false;
    dragMoved_ = false;
    selected_ = -1;
    remembered_ = -1;
    primary_ = entry;
    painter_.SetEntry(entry);
    keepCursorInGrid();
    emit entryChanged(entry);
}

void GraphWidget::SetSecondaryEntry(const CalEntry* entry) {
    painter_.SetSecondaryEntry(entry);
}

void GraphWidget::SetReadoutLabels(QLabel* xLabel, QLabel* yLabel) {
    xLabel_ = xLabel;
    yLabel_ = yLabel;
}

// Only the part of the picture that changed is repainted: on a large window a
// drag step then copies a few points' worth of pixels, not the whole graph. The
// picture is brought up to date from the event loop, like a repaint, so the bytes
// are never read at a moment when their entry may be going away.
void GraphWidget::Refresh() {
    if (refreshQueued_)
        return;
    refreshQueued_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            refreshQueued_ = false;
            const QRect changed = painter_.prepare(size(), viewState(), devicePixelRatioF());
            if (!changed.isEmpty())
                update(changed);
            emit refreshed();
        },
        Qt::QueuedConnection);
}

ViewState GraphWidget::viewState() const {
    ViewState state;
    state.selectedPoint = selected_;
    state.cursorColumn = cursor_.column;
    state.cursorRow = cursor_.row;
    state.focused = hasFocus();
    return state;
}

void GraphWidget::followSelection(int point, CellIndex cell) {
    if (validPoint(point) && primary_ && isTable2D(primary_->type)) {
        selected_ = point;
        remembered_ = point;
        selectionReadout();
    }
    const GridRect g = currentGrid();
    if (g.valid && cell.column >= 0 && cell.row >= 0 && cell.column < g.columns &&
        cell.row < g.rows) {
        cursor_ = cell;
        followedCell_ = cell;
    }
    Refresh();
}

void GraphWidget::announceSelection() {
    emit selectionChanged(selected_, cursor_);
}

// ---------------------------------------------------------------- helpers

// Entries whose bytes leave the image are not drawn, so they are not edited either.
bool GraphWidget::canEdit() const {
    return primary_ && !primary_->owner()->readOnly && primary_->inImage();
}

void GraphWidget::beginGesture(const QString& name) {
    endGesture();
    gestureOpen_ = true;
    emit editGestureStarted(name);
}

void GraphWidget::endGesture() {
    if (!gestureOpen_)
        return;
    gestureOpen_ = false;
    emit editGestureFinished();
}

bool GraphWidget::validPoint(int i) const {
    return primary_ && i >= 0 && i < primary_->PointCount();
}

GridRect GraphWidget::currentGrid() const {
    if (!primary_ || primary_->type != EntryType::Table3D)
        return {};
    return gridRect(width(), height(), primary_->Columns(), primary_->Rows());
}

// A cursor left from a larger grid would edit a cell the new grid does not have.
void GraphWidget::keepCursorInGrid() {
    if (cursor_.column < 0 || cursor_.row < 0)
        return;
    const GridRect g = currentGrid();
    if (!g.valid || cursor_.column >= g.columns || cursor_.row >= g.rows)
        cursor_ = {0, 0};
}

// ---------------------------------------------------------------- events

bool GraphWidget::event(QEvent* e) {
    // The arrows belong to the control: no shortcut and no focus navigation of
    // the surrounding window may take them while it has focus.
    if (e->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(e);
        if (isArrow(key->key())) {
            e->accept();
            return true;
        }
    }
    if (e->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(e);
        if (isArrow(key->key())) {
            keyPressEvent(key);
            return true;
        }
    }
    return QWidget::event(e);
}

void GraphWidget::paintEvent(QPaintEvent* e) {
    const qreal ratio = devicePixelRatioF();
    const QRect changed = painter_.prepare(size(), viewState(), ratio);
    const QRect r = e->rect();
    // A change nobody refreshed for lies partly outside this paint: paint it next.
    if (!changed.isEmpty() && !r.contains(changed))
        update(changed);
    QPainter p(this);
    p.drawImage(QRectF(r), painter_.picture(size(), viewState(), ratio),
                QRectF(r.x() * ratio, r.y() * ratio, r.width() * ratio, r.height() * ratio));
}

void GraphWidget::focusInEvent(QFocusEvent* e) {
    QWidget::focusInEvent(e);
    selected_ = remembered_ == -1 ? 0 : remembered_;
    cursor_ = followedCell_.column >= 0 ? followedCell_ : CellIndex{0, 0};
    keepCursorInGrid();
    selectionReadout();
    announceSelection();
    Refresh();
}

void GraphWidget::focusOutEvent(QFocusEvent* e) {
    QWidget::focusOutEvent(e);
    // A drag cannot outlive the focus: its release may go to another window.
    dragging_ = false;
    dragMoved_ = false;
    endGesture();
    remembered_ = selected_;
    selected_ = -1;
    cursor_ = {-1, -1};
    Refresh();
}

void GraphWidget::keyPressEvent(QKeyEvent* e) {
    if (!primary_) {
        QWidget::keyPressEvent(e);
        return;
    }
    const int key = e->key();
    const bool keypad = (e->modifiers() & Qt::KeypadModifier) != 0;
    if (key >= Qt::Key_0 && key <= Qt::Key_7 && !keypad) {
        digitKey(key - Qt::Key_0);
        e->accept();
        return;
    }
    if (!isArrowOrPage(key)) {
        QWidget::keyPressEvent(e);
        return;
    }
    navigationKey(key);
    e->accept();
}

void GraphWidget::navigationKey(int key) {
    const bool gesture = canEdit();
    if (gesture)
        beginGesture(gestureName());
    switch (primary_->type) {
    case EntryType::Unsigned8Table:
    case EntryType::Unsigned16Table:
    case EntryType::Signed8Table:
        tableKey(key);
        break;
    case EntryType::Constant8:
    case EntryType::Constant16:
        constantKey(key);
        break;
    case EntryType::Table3D:
        gridKey(key);
        break;
    default:
        break;
    }
    if (gesture)
        endGesture();
    selectionReadout();
    announceSelection();
    Refresh();
}

QString GraphWidget::gestureName() const {
    switch (primary_->type) {
    case EntryType::Table3D:
        return tr("Change Cell");
    case EntryType::Constant8:
    case EntryType::Constant16:
        return tr("Change Value");
    default:
        return tr("Move Point");
    }
}

void GraphWidget::tableKey(int key) {
    const int count = primary_->PointCount();
    if (count <= 0)
        return;
    if (key == Qt::Key_PageUp) {
        selected_ = std::max(selected_ - 1, 0);
        return;
    }
    if (key == Qt::Key_PageDown) {
        selected_ = std::min(selected_ + 1, count - 1);
        return;
    }
    if (!canEdit() || !validPoint(selected_))
        return;
    const int dx = key == Qt::Key_Left ? -1 : (key == Qt::Key_Right ? 1 : 0);
    const int dy = key == Qt::Key_Up ? 1 : (key == Qt::Key_Down ? -1 : 0);
    primary_->OffsetPoint(selected_, dx, dy);
}

void GraphWidget::constantKey(int key) {
    if ((key != Qt::Key_Up && key != Qt::Key_Down) || !canEdit())
        return;
    primary_->StepConstant(key == Qt::Key_Up ? 1 : -1);
}

void GraphWidget::gridKey(int key) {
    const GridRect g = currentGrid();
    if (!g.valid || cursor_.column < 0 || cursor_.row < 0)
        return;
    switch (key) {
    case Qt::Key_PageUp:
        primary_->AddToCell(cursor_.column, cursor_.row, -1);
        break;
    case Qt::Key_PageDown:
        primary_->AddToCell(cursor_.column, cursor_.row, +1);
        break;
    case Qt::Key_Left:
        cursor_.column = std::max(cursor_.column - 1, 0);
        break;
    case Qt::Key_Right:
        cursor_.column = std::min(cursor_.column + 1, g.columns - 1);
        break;
    case Qt::Key_Up:
        cursor_.row = std::max(cursor_.row - 1, 0);
        break;
    case Qt::Key_Down:
        cursor_.row = std::min(cursor_.row + 1, g.rows - 1);
        break;
    default:
        break;
    }
}

void GraphWidget::digitKey(int digit) {
    const EntryType t = primary_->type;
    if (t != EntryType::FlagByte && t != EntryType::ValueList)
        return;
    toggleItem(digit);
}

// Flips bit k of a flag byte or picks item k of a value list; named items only.
void GraphWidget::toggleItem(int k) {
    const auto index = static_cast<std::size_t>(k);
    if (!canEdit() || unusedName(primary_->itemNames[index]))
        return;
    beginGesture(primary_->type == EntryType::FlagByte ? tr("Toggle Bit") : tr("Choose Value"));
    primary_->ToggleItem(k);
    Refresh();
    endGesture();
}

void GraphWidget::mousePressEvent(QMouseEvent* e) {
    if (!primary_)
        return;
    if (!hasFocus())
        setFocus(Qt::MouseFocusReason);
    const QPoint pos = e->position().toPoint();
    const EntryType t = primary_->type;
    if (e->button() == Qt::RightButton) {
        if (t == EntryType::Table3D) {
            if (const auto cell = cellAt(currentGrid(), pos.x(), pos.y()); cell && canEdit()) {
                beginGesture(tr("Change Cell"));
                primary_->AddToCell(cell->column, cell->row, -1);
                endGesture();
                Refresh();
            }
        }
        return;
    }
    if (e->button() != Qt::LeftButton)
        return;
    if (t == EntryType::Table3D) {
        if (const auto cell = cellAt(currentGrid(), pos.x(), pos.y()); cell && canEdit()) {
            beginGesture(tr("Change Cell"));
            primary_->AddToCell(cell->column, cell->row, +1);
            endGesture();
            Refresh();
        }
        return;
    }
    if (t == EntryType::FlagByte || t == EntryType::ValueList) {
        const int k = boxAt(plotRect(width(), height()), pos.x(), pos.y());
        if (k >= 0)
            toggleItem(k);
        return;
    }
    const auto unit = toUnitSquare(t, plotRect(width(), height()), currentGrid(), pos.x(), pos.y());
    if (!unit)
        return;
    const int i = primary_->NearestPoint(unit->fx, unit->fy);
    if (i == -1)
        return;
    selected_ = i;
    // The press only picks the point: nothing moves until the pointer has
    // travelled the drag distance, so a jiggle on a click changes no byte.
    announceSelection();
    dragging_ = true;
    dragMoved_ = false;
    pressPos_ = pos;
    Refresh();
}

void GraphWidget::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton)
        return;
    dragging_ = false;
    dragMoved_ = false;
    endGesture();
}

// Decides, once per drag, whether it has started and whether it moves X: a drag
// that starts vertical keeps the point's X until the pointer goes sideways past
// the drag distance; from then on the drag moves both.
bool GraphWidget::dragStep(QPoint pos) {
    const int distance = QApplication::startDragDistance();
    const QPoint travel = pos - pressPos_;
    if (!dragMoved_) {
        if (travel.manhattanLength() < distance)
            return false;
        dragMoved_ = true;
        keepX_ = std::abs(travel.y()) > std::abs(travel.x());
        if (canEdit())
            beginGesture(tr("Drag Point"));
    }
    if (keepX_ && std::abs(travel.x()) > distance)
        keepX_ = false;
    return true;
}

void GraphWidget::mouseMoveEvent(QMouseEvent* e) {
    const QPoint pos = e->position().toPoint();
    pointerReadout(pos.x(), pos.y(), (e->modifiers() & Qt::ShiftModifier) != 0);
    if (!primary_ || !dragging_ || !(e->buttons() & Qt::LeftButton) || !validPoint(selected_))
        return;
    const auto unit =
        toUnitSquare(primary_->type, plotRect(width(), height()), currentGrid(), pos.x(), pos.y());
    if (!unit || !dragStep(pos))
        return;
    primary_->DragPoint(selected_, unit->fx, unit->fy, !keepX_);
    Refresh();
}

void GraphWidget::leaveEvent(QEvent* e) {
    QWidget::leaveEvent(e);
    if (xLabel_ && yLabel_) {
        xLabel_->setText(QStringLiteral("X:"));
        yLabel_->setText(QStringLiteral("Y:"));
    }
}

// ---------------------------------------------------------------- readout

QString GraphWidget::xReadout(float x) const {
    const QString& unit = painter_.axes().xUnit;
    QString text =
        QStringLiteral("X:") + QString::asprintf("%5.1f ", static_cast<double>(x)) + unit;
    // Below zero a boost gauge reads vacuum, shown in inches of mercury.
    if (unit == QLatin1String("psi") && x < 0.0f)
        text += QString::asprintf(" (%.0f\")", static_cast<double>(x / 14.7f * 30.0f));
    return text;
}

void GraphWidget::selectionReadout() {
    if (!primary_ || !isTable2D(primary_->type) || !xLabel_ || !yLabel_ || !validPoint(selected_))
        return;
    const float x = primary_->XToEng(primary_->GetX(selected_));
    const float y = primary_->YToEng(primary_->GetY(selected_));
    xLabel_->setText(xReadout(x));
    yLabel_->setText(QStringLiteral("Y:") + QString::asprintf("%5.2f ", static_cast<double>(y)) +
                     painter_.axes().yUnit);
}

void GraphWidget::pointerReadout(int x, int y, bool shift) {
    if (!xLabel_ || !yLabel_)
        return;
    const auto unit =
        primary_ ? toUnitSquare(primary_->type, plotRect(width(), height()), currentGrid(), x, y)
                 : std::nullopt;
    if (!unit) {
        xLabel_->setText(QStringLiteral("X:"));
        yLabel_->setText(QStringLiteral("Y:"));
        return;
    }
    const AxisRanges& r = painter_.axes().ranges;
    const EntryType t = primary_->type;
    const float ex = unit->fx * (r.xMax - r.xMin) + r.xMin;
    float ey = unit->fy * (r.yMax - r.yMin) + r.yMin;
    if (isTable2D(t) && !shift)
        ey = primary_->YToEng(primary_->Interpolate(static_cast<int>(unit->fx * 255.0f)));
    const bool showsX = isTable2D(t) || t == EntryType::Table3D;
    const bool showsY = showsX || isConstant(t);
    xLabel_->setText(showsX ? xReadout(ex) : QStringLiteral("X:"));
    yLabel_->setText(showsY ? QStringLiteral("Y:") +
                                  QString::asprintf("%5.2f ", static_cast<double>(ey)) +
                                  painter_.axes().yUnit
                            : QStringLiteral("Y:"));
}

} // namespace tevra
