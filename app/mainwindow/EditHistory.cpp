#include "EditHistory.h"

#include "Calibration.h"
#include "GraphWidget.h"

#include <QKeySequence>
#include <QShortcut>
#include <QWidget>

namespace tevra {

EditHistory::EditHistory(Calibration& primary, GraphWidget& graph, QWidget& window)
    : graph_(graph) {
    history_.attach(&primary);
    connect(&graph, &GraphWidget::editGestureStarted, this, &EditHistory::beginStep);
    connect(&graph, &GraphWidget::editGestureFinished, this, &EditHistory::endStep);

    auto bind = [this, &window](QKeyCombination keys, void (EditHistory::*action)()) {
        auto* shortcut = new QShortcut(QKeySequence(keys), &window);
        connect(shortcut, &QShortcut::activated, this, action);
    };
    bind(Qt::CTRL | Qt::Key_Z, &EditHistory::undo);
    bind(Qt::CTRL | Qt::SHIFT | Qt::Key_Z, &EditHistory::redo);
    bind(Qt::CTRL | Qt::Key_Y, &EditHistory::redo);
}

EditHistory::~EditHistory() {
    history_.attach(nullptr);
}

// The graph reads the bytes on every repaint, so a refresh shows the restored values.
void EditHistory::undo() {
    if (history_.undo())
        graph_.Refresh();
}

void EditHistory::redo() {
    if (history_.redo())
        graph_.Refresh();
}

} // namespace tevra
