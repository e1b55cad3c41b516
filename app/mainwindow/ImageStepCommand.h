#pragma once

#include <QUndoCommand>

namespace tevra {

class ImageHistory;

// One step of image edits on the main window's undo stack. The bytes themselves
// live in the ImageHistory; the command only replays its top step, so commands
// and history steps stay in the same order. The edit has already been made when
// the command is pushed: the first redo does nothing.
class ImageStepCommand : public QUndoCommand {
public:
    ImageStepCommand(ImageHistory& history, const QString& name);

    void undo() override;
    void redo() override;

private:
    ImageHistory& history_;
    bool done_ = true;
};

} // namespace tevra
