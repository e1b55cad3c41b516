#include "ImageStepCommand.h"

#include "ImageHistory.h"

namespace tevra {

ImageStepCommand::ImageStepCommand(ImageHistory& history, const QString& name) : history_(history) {
    setText(name);
}

void ImageStepCommand::undo() {
    history_.undo();
    done_ = false;
}

void ImageStepCommand::redo() {
    if (done_)
        return;
    history_.redo();
    done_ = true;
}

} // namespace tevra
