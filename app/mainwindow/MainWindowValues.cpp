// The values view beside the graph: both show the same entry, selection and
// values, and the edits of both go into the same undo history.
#include "GraphWidget.h"
#include "MainWindow.h"
#include "ValuesPanel.h"
#include "ValuesWidget.h"

#include <QKeySequence>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>

#include <algorithm>

namespace tevra {

void MainWindow::connectValuesView() {
    ValuesWidget* values = c_.valuesPanel->values();
    GraphWidget* graph = c_.graph;
    connect(graph, &GraphWidget::entryChanged, values, &ValuesWidget::SetEntry);
    connect(graph, &GraphWidget::refreshed, values->viewport(), qOverload<>(&QWidget::update));
    connect(graph, &GraphWidget::selectionChanged, values, &ValuesWidget::followGraph);
    connect(values, &ValuesWidget::cursorMoved, graph, [graph](int column, int row) {
        graph->followSelection(row, CellIndex{column, row});
    });
    connect(values, &ValuesWidget::valuesEdited, graph, &GraphWidget::Refresh);
    connect(values, &ValuesWidget::editGestureStarted, history_.get(),
            [this](const QString& name) { history_->beginStep(name); });
    connect(values, &ValuesWidget::editGestureFinished, history_.get(), &EditHistory::endStep);

    connect(c_.valuesToggle, &QPushButton::toggled, this, &MainWindow::showValuesView);
    auto* key = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_T), this);
    connect(key, &QShortcut::activated, c_.valuesToggle, &QPushButton::toggle);
}

void MainWindow::showValuesView(bool shown) {
    if (c_.valuesToggle->isChecked() != shown) {
        c_.valuesToggle->setChecked(shown); // comes back here through toggled
        return;
    }
    const int strip = MainWindowControls::valuesStripWidth();
    const bool wasShown = !c_.valuesPanel->isHidden();
    c_.valuesPanel->setVisible(shown);
    // The window grows by the view's strip (or gives it back), unless it is
    // maximised, where the view takes its strip from the graph.
    // The new width is taken before the minimum changes: a larger minimum
    // already widens the window.
    const QSize minimum = defaultSize() + QSize(shown ? strip : 0, 0);
    const QSize grown = QSize(width() + (shown ? strip : -strip), height()).expandedTo(minimum);
    setMinimumSize(minimum);
    if (!isMaximized() && !isFullScreen() && wasShown != shown)
        resize(grown);
    layoutControls();
    // A window that grew past the screen's right edge moves left to show it all.
    if (QScreen* s = screen(); s && isVisible()) {
        const QRect room = s->availableGeometry();
        const int over = frameGeometry().right() - room.right();
        if (over > 0)
            move(std::max(room.left(), x() - over), y());
    }
}

} // namespace tevra
