#include "EditHistory.h"

#include "Calibration.h"
#include "DefinitionsCommand.h"
#include "GraphWidget.h"
#include "ImageStepCommand.h"

#include <QAction>
#include <QKeySequence>
#include <QWidget>

namespace tevra {

namespace {

// Byte changes that arrive outside a named gesture still become a step.
QString unnamedStep() {
    return EditHistory::tr("Edit");
}

} // namespace

EditHistory::EditHistory(Calibration& primary, GraphWidget& graph, QWidget& window)
    : primary_(primary), graph_(graph) {
    history_.attach(&primary);
    connect(&graph, &GraphWidget::editGestureStarted, this, &EditHistory::beginStep);
    connect(&graph, &GraphWidget::editGestureFinished, this, &EditHistory::endStep);

    undoAction_ = new QAction(tr("&Undo"), &window);
    undoAction_->setObjectName(QStringLiteral("undoAction"));
    undoAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    redoAction_ = new QAction(tr("&Redo"), &window);
    redoAction_->setObjectName(QStringLiteral("redoAction"));
    redoAction_->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    connect(undoAction_, &QAction::triggered, this, &EditHistory::undo);
    connect(redoAction_, &QAction::triggered, this, &EditHistory::redo);
    connect(&stack_, &QUndoStack::indexChanged, this, &EditHistory::updateActions);
    updateActions();
}

EditHistory::~EditHistory() {
    history_.attach(nullptr);
}

void EditHistory::beginStep(const QString& name) {
    history_.beginStep();
    takeImageSteps(unnamedStep());
    stepName_ = name;
}

void EditHistory::endStep() {
    history_.endStep();
    takeImageSteps(stepName_.isEmpty() ? unnamedStep() : stepName_);
    stepName_.clear();
}

void EditHistory::takeImageSteps(const QString& name) {
    // A new step drops what could be redone, in the history and on the stack alike.
    if (history_.undoCount() < imageSteps_)
        imageSteps_ = history_.undoCount();
    while (imageSteps_ < history_.undoCount()) {
        stack_.push(new ImageStepCommand(history_, name));
        ++imageSteps_;
    }
    updateActions();
}

void EditHistory::recordDefinitions(const QString& name, DefinitionsState before) {
    history_.endStep();
    takeImageSteps(unnamedStep());
    DefinitionsState after = primary_.definitionsState();
    if (sameDefinitions(before, after))
        return;
    history_.dropRedo();
    imageSteps_ = history_.undoCount();
    stack_.push(new DefinitionsCommand(name, std::move(before), std::move(after),
                                       [this](const DefinitionsState& s) {
                                           if (restoreDefinitions_)
                                               restoreDefinitions_(s);
                                       }));
    updateActions();
}

bool EditHistory::nextIsImageStep(int index) const {
    const QUndoCommand* c = stack_.command(index);
    return c && dynamic_cast<const ImageStepCommand*>(c) != nullptr;
}

// Image steps are not replayed while editing is disabled, as no edit is; the
// definitions can be changed either way, so their steps can be undone.
void EditHistory::undo() {
    history_.endStep();
    takeImageSteps(unnamedStep());
    if (!stack_.canUndo())
        return;
    const bool image = nextIsImageStep(stack_.index() - 1);
    if (image && primary_.readOnly)
        return;
    stack_.undo();
    if (image)
        --imageSteps_;
    else
        primary_.SetDefinitionsModified(true);
    afterReplay();
}

void EditHistory::redo() {
    history_.endStep();
    takeImageSteps(unnamedStep());
    if (!stack_.canRedo())
        return;
    const bool image = nextIsImageStep(stack_.index());
    if (image && primary_.readOnly)
        return;
    stack_.redo();
    if (image)
        ++imageSteps_;
    else
        primary_.SetDefinitionsModified(true);
    afterReplay();
}

// Back at the state last saved, nothing is unsaved any more.
void EditHistory::afterReplay() {
    if (stack_.isClean()) {
        primary_.SetDataModified(false);
        primary_.SetDefinitionsModified(false);
    }
    graph_.Refresh();
    updateActions();
}

void EditHistory::clear() {
    history_.clear();
    imageSteps_ = 0;
    stepName_.clear();
    stack_.clear();
    if (primary_.dataModified() || primary_.definitionsModified())
        stack_.resetClean();
    updateActions();
}

void EditHistory::markSaved() {
    if (primary_.dataModified() || primary_.definitionsModified())
        return;
    history_.endStep();
    takeImageSteps(unnamedStep());
    stack_.setClean();
}

void EditHistory::updateActions() {
    undoAction_->setEnabled(stack_.canUndo());
    redoAction_->setEnabled(stack_.canRedo());
    undoAction_->setText(stack_.canUndo() ? tr("&Undo %1").arg(stack_.undoText()) : tr("&Undo"));
    redoAction_->setText(stack_.canRedo() ? tr("&Redo %1").arg(stack_.redoText()) : tr("&Redo"));
}

} // namespace tevra
