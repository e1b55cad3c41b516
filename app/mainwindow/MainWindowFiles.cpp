// The main window's commands that move whole calibrations: "&Load", "&Save",
// "Options" (which reopens the comparison calibration) and "&Flash".

#include "FilePathText.h"
#include "FlashDialog.h"
#include "GraphWidget.h"
#include "MainWindow.h"

#include <QFileDialog>

#include <algorithm>

namespace tevra {

namespace {
const char* const kSaveBeforeLoading = "You have unsaved changes. \n\nSave before loading another?";
} // namespace

void MainWindow::onLoad() {
    if (!settleUnsavedChanges(kSaveBeforeLoading))
        return;
    const QString chosen =
        services_.chooseImageFile
            ? services_.chooseImageFile()
            : QFileDialog::getOpenFileName(this, QString(), QString(),
                                           QStringLiteral("Calibration Files (*.bin *.s19)"));
    if (chosen.isEmpty())
        return;
    closeCalibration();
    if (primary_.OpenCalibration(toPath(chosen)))
        afterOpen();
    else
        closeCalibration();
}

void MainWindow::onSave() {
    const SaveValues proposed{primary_.imagePath, primary_.dataModified(),
                              primary_.definitionsModified(), false};
    const std::optional<SaveValues> chosen =
        services_.askSave ? services_.askSave(proposed) : std::nullopt;
    if (!chosen)
        return;
    if (chosen->saveBinary)
        primary_.SetDataModified(true);
    if (chosen->saveTables)
        primary_.SetDefinitionsModified(true);
    const std::string imagePath = primary_.imagePath;
    const std::string definitionPath = primary_.definitionPath;
    // An empty definition path makes the definitions go beside the new name.
    primary_.imagePath = chosen->name;
    primary_.definitionPath.clear();
    const bool saved = primary_.SaveCalibration();
    history_->markSaved();
    if (chosen->makeCurrentEdit) {
        if (saved)
            readDumpUnsaved_ = false;
        setTitleFromPath();
        // A save that failed keeps its flags; the title must keep saying so.
        updateTitleMark();
    } else {
        primary_.imagePath = imagePath;
        primary_.definitionPath = definitionPath;
    }
}

void MainWindow::onOptions() {
    const OptionsValues proposed{settings_.reloadLast, settings_.hideMouse, comparison_.imagePath,
                                 settings_.flashSpeed};
    const std::optional<OptionsValues> chosen =
        services_.askOptions ? services_.askOptions(proposed) : std::nullopt;
    if (!chosen)
        return;
    settings_.reloadLast = chosen->reloadLast;
    settings_.flashSpeed = std::clamp(chosen->flashSpeed, 0, 100);
    if (chosen->hideMouse != settings_.hideMouse) {
        setMouseHidden(chosen->hideMouse);
        settings_.hideMouse = chosen->hideMouse;
    }
    // The graph drops the old comparison entry before reopening can show a message.
    c_.graph->SetSecondaryEntry(nullptr);
    comparison_.OpenCalibration(chosen->comparisonPath);
    updateChangeMarks();
    showSelection();
    c_.graph->Refresh();
}

void MainWindow::onFlash() {
    FlashContext context;
    context.calibration = &primary_;
    context.lastFlash = &lastFlashCopy_;
    context.prompter = prompter_;
    context.flashSpeed = settings_.flashSpeed;
    context.ports = withFoundDevices(settings_.ports, systemSerialDevices());
    context.closeCalibration = [this] { closeCalibration(); };
    context.settleUnsavedChanges = [this] { return settleUnsavedChanges(kSaveBeforeLoading); };
    context.openChannel = services_.openFlashChannel;
    context.clock = services_.flashClock;
    FlashDialog dialog(std::move(context), this);
    if (services_.runFlash)
        services_.runFlash(dialog);
    else
        dialog.exec();
    if (dialog.portsChanged())
        settings_.ports = dialog.ports();
    const std::optional<FlashResult>& result = dialog.lastResult();
    if (!result)
        return;
    if (dialog.settings().operation == FlashOperationKind::Read) {
        if (result->outcome == FlashOutcome::Completed) {
            // The image read has no definitions yet; the title names it "EPROM Dump.bin".
            // It is no file until it is saved, so it does not become the last path.
            readDumpUnsaved_ = true;
            setTitleFromPath();
            refreshList();
            history_->clear();
        }
        return;
    }
    // A write may have fixed up the checksum byte: show what was sent.
    showSelection();
}

} // namespace tevra
