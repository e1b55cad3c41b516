#pragma once

#include "GraphGeometry.h"
#include "GraphPainter.h"

#include <QPointer>
#include <QWidget>

class QLabel;

namespace tevra {

class CalEntry;

// The graph control: shows the selected entry with a GraphPainter and edits it
// with keyboard and mouse through the entry's operations. It never owns the
// entries; the caller hands over a new one (or none) before an entry goes away.
// Selection, cursor and readout work while the calibration is read-only; edits
// are then ignored.
//
// The control groups its edits into gestures for the undo history: a key press,
// a drag from press to release, a click on a box or a 3D cell. Every byte change
// of a gesture happens between editGestureStarted and editGestureFinished.
class GraphWidget : public QWidget {
    Q_OBJECT

public:
    explicit GraphWidget(QWidget* parent = nullptr);
    ~GraphWidget() override;

    void SetEntry(CalEntry* entry);
    void SetSecondaryEntry(const CalEntry* entry);
    // Where the pointer's position is written; until set, no readout is written.
    void SetReadoutLabels(QLabel* xLabel, QLabel* yLabel);
    void Refresh();

    CalEntry* entry() const { return primary_; }
    int selectedPoint() const { return selected_; }
    CellIndex cellCursor() const { return cursor_; }
    bool dragging() const { return dragging_; }
    const GraphPainter& painter() const { return painter_; }
    // Shows a point or cell chosen in another view of the same entry as the
    // selection, also while the graph has no focus, and keeps it when focus comes.
    void followSelection(int point, tevra::CellIndex cell);

signals:
    // name says what the gesture does ("Drag Point"), for the undo history.
    void editGestureStarted(const QString& name);
    void editGestureFinished();
    void entryChanged(tevra::CalEntry* entry);
    // The values may have changed (an edit, an undo): other views repaint too.
    void refreshed();
    // The user moved the selected point or the cell cursor in the graph.
    void selectionChanged(int point, tevra::CellIndex cell);

protected:
    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void leaveEvent(QEvent* e) override;

private:
    bool canEdit() const;
    ViewState viewState() const;
    void beginGesture(const QString& name);
    QString gestureName() const;
    bool dragStep(QPoint pos);
    void endGesture();
    bool validPoint(int i) const;
    GridRect currentGrid() const;
    void keepCursorInGrid();

    void navigationKey(int key);
    void tableKey(int key);
    void constantKey(int key);
    void gridKey(int key);
    void digitKey(int digit);
    void toggleItem(int k);

    void selectionReadout();
    void announceSelection();
    void pointerReadout(int x, int y, bool shift);
    QString xReadout(float x) const;

    GraphPainter painter_;
    CalEntry* primary_ = nullptr;
    int selected_ = -1;
    int remembered_ = -1;
    CellIndex cursor_{-1, -1};
    CellIndex followedCell_{-1, -1}; // the cell another view chose, kept over focus
    bool dragging_ = false;
    bool dragMoved_ = false; // the pointer has travelled the drag distance
    bool keepX_ = false;     // a vertical drag that has not gone sideways yet
    QPoint pressPos_;
    bool gestureOpen_ = false;
    bool refreshQueued_ = false;
    QPointer<QLabel> xLabel_;
    QPointer<QLabel> yLabel_;
};

} // namespace tevra
