// The main window's commands that change definitions through a dialog: "Cal Data"
// (and the new-calibration form after opening a bare image), "S&can", "&New" and
// the list's double-click. Kept apart from the window's other commands; the rules
// they apply live in CalibrationDataRules and EntryPropertiesRules.

#include "CalibrationDataDialog.h"
#include "CalibrationDataRules.h"
#include "EntryPropertiesDialog.h"
#include "EntryPropertiesRules.h"
#include "GraphWidget.h"
#include "MainWindow.h"
#include "OptionsDialog.h"
#include "SaveDialog.h"
#include "ScanDialog.h"
#include "TextRules.h"

#include <QApplication>
#include <QListWidget>

namespace tevra {

namespace {

const char* const kNoFreeSlot = "The calibration already holds 1000 entries!";

// Threshold of cross-identification for the slider's 0..100: 0.5 to 1.0.
float matchThreshold(int quality) {
    return 0.5f + 0.5f * static_cast<float>(quality) / 100.0f;
}

} // namespace

void MainWindow::installDialogDefaults() {
    MainWindowServices& s = services_;
    if (!s.askSave)
        s.askSave = [this](const SaveValues& v) { return SaveDialog::ask(v, this); };
    if (!s.askOptions)
        s.askOptions = [this](const OptionsValues& v) { return OptionsDialog::ask(v, this); };
    if (!s.askCalData)
        s.askCalData = [this](const CalDataValues& v) {
            return CalibrationDataDialog::ask(v, nullptr, this);
        };
    if (!s.askProperties)
        s.askProperties = [this](const PropertiesValues& v) {
            return EntryPropertiesDialog::ask(v, this);
        };
    if (!s.askScan)
        s.askScan = [this](const ScanValues& v) { return ScanDialog::ask(v, this); };
}

void MainWindow::newCalibrationForm() {
    const auto chosen = services_.askCalData(caldata::newCalibrationValues(
        proposedBaseAddress(primary_.imagePath, primary_), primary_.imageLength()));
    if (chosen)
        caldata::applyNew(primary_, *chosen);
}

void MainWindow::onCalData() {
    const auto chosen = services_.askCalData(caldata::valuesOf(primary_));
    if (!chosen)
        return;
    // Rebasing may delete entries: nothing may show one until the list is rebuilt,
    // which it is also after No, when the list comes back as it was.
    DefinitionsState before = primary_.definitionsState();
    c_.graph->SetEntry(nullptr);
    rows_.clear();
    (void)caldata::applyEdit(primary_, *chosen, *prompter_);
    refreshList();
    history_->recordDefinitions(tr("Calibration Data"), std::move(before));
}

void MainWindow::onScan() {
    const auto chosen = services_.askScan(ScanValues{});
    DefinitionsState before = primary_.definitionsState();
    c_.graph->SetEntry(nullptr);
    rows_.clear();
    if (chosen) {
        // The scan is quick for images of this size, and cross-identification may
        // report a file it cannot load, so it runs here rather than on a worker.
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const std::uint64_t fingerprint = definitionsFingerprint(primary_);
        if (chosen->choice == ScanValues::HeuristicOnly)
            primary_.ScanHeuristic();
        else if (chosen->choice == ScanValues::Carry && !chosen->otherPath.empty())
            carryDefinitions(chosen->otherPath);
        else if (!chosen->otherPath.empty())
            primary_.CrossIdentify(chosen->otherPath, matchThreshold(chosen->quality));
        QApplication::restoreOverrideCursor();
        // Cross-identification renames entries without marking the definitions
        // modified when its heuristic step added nothing; unmarked, the names
        // would be lost at exit without the save question.
        if (definitionsFingerprint(primary_) != fingerprint)
            primary_.SetDefinitionsModified(true);
    }
    refreshList();
    history_->recordDefinitions(tr("Scan"), std::move(before));
}

void MainWindow::onEditEntry() {
    if (!primary_.hasImage())
        return;
    for (;;) {
        CalEntry* entry = selectedEntry();
        if (!entry)
            return;
        const PropertiesResult result = services_.askProperties(properties::valuesOf(*entry));
        c_.graph->Refresh();
        if (result.accepted) {
            // A refusal opens the dialog again on the entry's stored values.
            if (auto problem = properties::check(primary_, *entry, result.values)) {
                prompter_->message(*problem, properties::kCaption);
                continue;
            }
            DefinitionsState before = primary_.definitionsState();
            properties::apply(*entry, result.values, *properties::addressOf(result.values));
            refreshList();
            primary_.SetDefinitionsModified(true);
            history_->recordDefinitions(tr("Data Properties"), std::move(before));
            return;
        }
        const int count = c_.list->count();
        if (result.navigationStep == 0 || count == 0)
            return;
        // Next past the last line goes to the first, Prev before the first to the last.
        const int row = ((selectedRow() + result.navigationStep) % count + count) % count;
        c_.list->setCurrentRow(row);
        showSelection();
    }
}

void MainWindow::onNew() {
    if (!primary_.hasImage())
        return;
    DefinitionsState before = primary_.definitionsState();
    CalEntry* entry = primary_.NewEntry();
    if (!entry) {
        prompter_->message(kNoFreeSlot, properties::kCaption);
        return;
    }
    PropertiesValues values = properties::newEntryValues(*entry);
    for (;;) {
        const PropertiesResult result = services_.askProperties(values);
        c_.graph->Refresh();
        if (!result.accepted) {
            primary_.DeleteEntry(entry); // never listed, never shown
            return;
        }
        // A refusal opens the dialog again with what the user typed.
        values = result.values;
        if (auto problem = properties::check(primary_, *entry, values)) {
            prompter_->message(*problem, properties::kCaption);
            continue;
        }
        break;
    }
    properties::apply(*entry, values, *properties::addressOf(values));
    entry->userFlag = false;
    refreshList();
    primary_.SetDefinitionsModified(true);
    int row = -1;
    for (int i = 0; i < static_cast<int>(rows_.size()) && row < 0; ++i)
        if (text::equalsNoCase(rows_[static_cast<std::size_t>(i)]->name, entry->name))
            row = i;
    if (row >= 0) {
        c_.list->setCurrentRow(row);
    } else {
        c_.list->clearSelection();
        c_.list->setCurrentRow(-1);
    }
    showSelection();
    history_->recordDefinitions(tr("New Entry"), std::move(before));
}

} // namespace tevra
