#pragma once

#include "GraphGeometry.h"
#include "ValueBlock.h"
#include "ValuesPainter.h"

#include <QAbstractScrollArea>
#include <QString>

class QLineEdit;

namespace tevra {

class CalEntry;

// The values view: the sheet of a ValuesPainter that scrolls, with a cursor, a
// selection (mouse or Shift+arrows), typed values (a digit, Enter or F2 opens the
// editor; Enter stores, Escape cancels) and the edits of a selection, all made
// through EntryValues. Like the graph it never owns the entry, and it groups its
// edits into gestures for the undo history: every byte change of one typed value,
// one step or one paste happens between editGestureStarted and editGestureFinished.
class ValuesWidget : public QAbstractScrollArea {
    Q_OBJECT

public:
    explicit ValuesWidget(QWidget* parent = nullptr);
    ~ValuesWidget() override;

    void SetEntry(CalEntry* entry);
    CalEntry* entry() const { return entry_; }

    int cursorColumn() const { return cursorColumn_; }
    int cursorRow() const { return cursorRow_; }
    ValueBlock selection() const;
    // Moves the cursor (and collapses the selection) without telling anyone.
    void setCursor(int column, int row);
    void selectBlock(const ValueBlock& block);

    bool showsRaw() const { return showRaw_; }
    void setShowRaw(bool on);
    bool editing() const;
    QLineEdit* editor() const { return editor_; }
    const QString& lastMessage() const { return message_; }
    const ValuesPainter& painter() const { return painter_; }

public slots:
    // Follows the graph: its selected point (2D tables) or cell cursor (3D).
    void followGraph(int point, tevra::CellIndex cell);
    void stepSelection(int rawSteps);
    void addToSelection(double amount);
    void setSelection(double value);
    void scaleSelection(double percent);
    void interpolateSelection();
    void copySelection();
    void pasteClipboard();

signals:
    void cursorMoved(int column, int row);
    void editGestureStarted(const QString& name);
    void editGestureFinished();
    void valuesEdited();
    void messageChanged(const QString& text);

protected:
    void paintEvent(QPaintEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void scrollContentsBy(int dx, int dy) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    bool event(QEvent* e) override;

private:
    bool hasValues() const;
    void moveCursor(int column, int row, bool extend);
    void ensureCursorVisible();
    void updateScrollBars();
    void startEditing(const QString& text);
    void commitEditing();
    void cancelEditing();
    bool canEdit();
    template <typename Edit> void gesture(const QString& name, Edit edit);
    void say(const QString& text);

    ValuesPainter painter_;
    CalEntry* entry_ = nullptr;
    int cursorColumn_ = -1;
    int cursorRow_ = -1;
    int anchorColumn_ = -1;
    int anchorRow_ = -1;
    bool showRaw_ = false;
    QLineEdit* editor_ = nullptr;
    QString message_;
};

} // namespace tevra
