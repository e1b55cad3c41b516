#include "DefinitionsCommand.h"

namespace tevra {

DefinitionsCommand::DefinitionsCommand(const QString& name, DefinitionsState before,
                                       DefinitionsState after, Restore restore)
    : before_(std::move(before)), after_(std::move(after)), restore_(std::move(restore)) {
    setText(name);
}

void DefinitionsCommand::undo() {
    restore_(before_);
    done_ = false;
}

void DefinitionsCommand::redo() {
    if (done_)
        return;
    restore_(after_);
    done_ = true;
}

} // namespace tevra
