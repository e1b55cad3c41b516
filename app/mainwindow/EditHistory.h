#pragma once

#include "DefinitionsState.h"
#include "ImageHistory.h"

#include <QObject>
#include <QString>
#include <QUndoStack>

#include <functional>

class QAction;
class QWidget;

namespace tevra {

class Calibration;
class GraphWidget;

// Undo and redo in the main window, shown as the Edit menu's "Undo Drag Point"
// and "Redo Drag Point" (Ctrl+Z; Ctrl+Shift+Z and Ctrl+Y). Steps are the
// graph's edit gestures (a key press, a whole drag, a click), each Modify All
// Points, which the window wraps in beginStep/endStep, and each change of
// definitions the window records. Undoing or redoing back to the state last
// saved clears the modified flags. The calibration and the graph must outlive it.
class EditHistory : public QObject {
    Q_OBJECT

public:
    EditHistory(Calibration& primary, GraphWidget& graph, QWidget& window);
    ~EditHistory() override;

    void beginStep(const QString& name);
    void endStep();
    // A change of definitions that has just been made; before is the state ahead
    // of it. Nothing is recorded when the definitions did not change.
    void recordDefinitions(const QString& name, DefinitionsState before);
    // Puts a recorded state of definitions back; the window drops its entries first.
    void setDefinitionsRestorer(std::function<void(const DefinitionsState&)> restore) {
        restoreDefinitions_ = std::move(restore);
    }

    // A calibration was loaded, read from the controller or closed. Its state is
    // the clean one only when it has no unsaved changes.
    void clear();
    // The calibration was saved: this state is the clean one (when the save left
    // no unsaved changes).
    void markSaved();

    void undo();
    void redo();

    QAction* undoAction() const { return undoAction_; }
    QAction* redoAction() const { return redoAction_; }
    const ImageHistory& history() const { return history_; }
    const QUndoStack& stack() const { return stack_; }

private:
    // Puts every step the image history closed on the stack.
    void takeImageSteps(const QString& name);
    bool nextIsImageStep(int index) const;
    void afterReplay();
    void updateActions();

    Calibration& primary_;
    ImageHistory history_;
    QUndoStack stack_;
    QString stepName_;
    std::size_t imageSteps_ = 0; // image steps the stack holds commands for
    GraphWidget& graph_;
    QAction* undoAction_ = nullptr;
    QAction* redoAction_ = nullptr;
    std::function<void(const DefinitionsState&)> restoreDefinitions_;
};

} // namespace tevra
