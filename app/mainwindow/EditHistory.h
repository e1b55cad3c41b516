#pragma once

#include "ImageHistory.h"

#include <QObject>

class QWidget;

namespace tevra {

class Calibration;
class GraphWidget;

// Undo and redo of image edits in the main window: Ctrl+Z undoes the last step,
// Ctrl+Shift+Z and Ctrl+Y redo it. Steps are the graph's edit gestures (a key
// press, a whole drag, a click) and each Modify All Points, which the window
// wraps in beginStep/endStep. The calibration and the graph must outlive it.
class EditHistory : public QObject {
    Q_OBJECT

public:
    EditHistory(Calibration& primary, GraphWidget& graph, QWidget& window);
    ~EditHistory() override;

    void beginStep() { history_.beginStep(); }
    void endStep() { history_.endStep(); }
    // A calibration was loaded, read from the controller or closed.
    void clear() { history_.clear(); }

    void undo();
    void redo();

    const ImageHistory& history() const { return history_; }

private:
    ImageHistory history_;
    GraphWidget& graph_;
};

} // namespace tevra
