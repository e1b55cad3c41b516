#pragma once

#include "DefinitionsState.h"

#include <QUndoCommand>

#include <functional>

namespace tevra {

// One change of definitions (a deleted or new entry, Data Properties, Cal Data
// with its rebase, a scan) on the main window's undo stack: the definitions
// before and after it. Restoring goes through the window, which lets go of the
// entries first and rebuilds its list after. Pushed after the change was made:
// the first redo does nothing.
class DefinitionsCommand : public QUndoCommand {
public:
    using Restore = std::function<void(const DefinitionsState&)>;

    DefinitionsCommand(const QString& name, DefinitionsState before, DefinitionsState after,
                       Restore restore);

    void undo() override;
    void redo() override;

private:
    DefinitionsState before_;
    DefinitionsState after_;
    Restore restore_;
    bool done_ = true;
};

} // namespace tevra
