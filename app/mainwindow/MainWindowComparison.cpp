// The main window's comparisons: the list marks of entries that differ from the
// comparison calibration, the definition checks under the list, and carrying
// another calibration's definitions.
#include "CalibrationDiff.h"
#include "DefinitionCarrier.h"
#include "DefinitionLint.h"
#include "FilePathText.h"
#include "MainWindow.h"
#include "ReportWindow.h"

#include <QApplication>
#include <QListWidget>
#include <QPushButton>

namespace tevra {

namespace {

// Shows a report window, making it first when there is none.
ReportWindow* showReport(QPointer<ReportWindow>& window, QWidget* parent, const char* objectName,
                         const QString& title, const QString& text) {
    if (!window) {
        window = new ReportWindow(QString::fromLatin1(objectName), title, parent);
        window->setAttribute(Qt::WA_DeleteOnClose);
    }
    window->setText(text);
    window->show();
    window->raise();
    return window;
}

QString lines(const std::vector<std::string>& texts) {
    QString out;
    for (const std::string& t : texts)
        out += QString::fromStdString(t) + QLatin1Char('\n');
    return out;
}

} // namespace

void MainWindow::updateChangeMarks() {
    marksPending_ = false;
    const QColor changed = MainWindowControls::changedEntryColour();
    for (int row = 0; row < c_.list->count() && row < static_cast<int>(rows_.size()); ++row) {
        QListWidgetItem* item = c_.list->item(row);
        const bool differs =
            CalibrationDiff::differsFrom(comparison_, *rows_[static_cast<std::size_t>(row)]);
        QFont font = item->font();
        font.setBold(differs);
        item->setFont(font);
        item->setForeground(differs ? QBrush(changed) : QBrush());
        item->setToolTip(differs ? QStringLiteral("Differs from the comparison calibration")
                                 : QString());
    }
}

void MainWindow::updateDefinitionProblems() {
    problems_.clear();
    if (primary_.hasImage())
        for (const DefinitionLint::Finding& f : DefinitionLint::check(primary_))
            problems_.push_back(f.message);
    const auto n = static_cast<int>(problems_.size());
    c_.problems->setText(n == 1 ? QStringLiteral("1 definition problem...")
                                : QStringLiteral("%1 definition problems...").arg(n));
    c_.showProblemsLine(n > 0);
    if (problemsWindow_)
        problemsWindow_->setText(lines(problems_));
}

void MainWindow::showDefinitionProblems() {
    showReport(problemsWindow_, this, "definitionProblemsWindow",
               QStringLiteral("Definition Problems"), lines(problems_));
}

void MainWindow::carryDefinitions(const std::string& path) {
    primary_.ScanHeuristic();
    Calibration lender;
    lender.setPrompter(prompter_);
    // The model has said why when the file cannot be loaded.
    if (!lender.OpenCalibration(path))
        return;
    if (lender.entriesInUse() == 0) {
        prompter_->message("The other calibration has no definitions to carry.", "Scan For Tables");
        return;
    }
    const DefinitionCarrier::Result r = DefinitionCarrier::carry(primary_, lender);
    const QString summary = QStringLiteral("%1 of %2 entries of %3 carried.\n\n")
                                .arg(r.carried.size())
                                .arg(r.carried.size() + r.missed.size())
                                .arg(fromPath(path));
    showReport(carryWindow_, this, "carryReportWindow", QStringLiteral("Carry Report"),
               summary + QString::fromStdString(DefinitionCarrier::report(r, lender)));
}

} // namespace tevra
