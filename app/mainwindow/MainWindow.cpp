#include "MainWindow.h"

#include "BinaryTableView.h"
#include "DialogUnits.h"
#include "EntryText.h"
#include "FilePathText.h"
#include "FlashDialog.h"
#include "GraphWidget.h"
#include "ModifyAllPointsDialog.h"
#include "QtPrompter.h"
#include "ViewResources.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QResizeEvent>
#include <QTimer>
#include <QUrl>

#include <algorithm>

namespace tevra {

namespace {

const char* const kSaveBeforeExiting = "You have unsaved changes. \n\nSave before exiting?";

} // namespace

MainWindow::MainWindow(MainWindowServices services, QWidget* parent)
    : QDialog(parent), services_(std::move(services)) {
    setObjectName(QStringLiteral("MainWindow"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setMouseTracking(true);
    setWindowIcon(programIcon());

    startupFolder_ =
        services_.startupFolder.isEmpty() ? QDir::currentPath() : services_.startupFolder;
    if (services_.prompter) {
        prompter_ = services_.prompter;
    } else {
        ownPrompter_ = std::make_unique<QtPrompter>(this);
        prompter_ = ownPrompter_.get();
    }
    primary_.setPrompter(prompter_);
    comparison_.setPrompter(prompter_);

    c_ = MainWindowControls::build(this);
    history_ = std::make_unique<EditHistory>(primary_, *c_.graph, *this);
    history_->setDefinitionsRestorer(
        [this](const DefinitionsState& state) { restoreDefinitions(state); });
    buildMenus();
    // Opens at the classic size; it may grow, never shrink below it.
    setMinimumSize(defaultSize());
    resize(defaultSize());
    connectCommands();
    connectValuesView();
    installDialogDefaults();
}

MainWindow::~MainWindow() {
    // The graph must let go of the entries before the calibrations destroy them.
    c_.graph->SetEntry(nullptr);
    c_.graph->SetSecondaryEntry(nullptr);
    primary_.setModifiedCallback(nullptr);
    if (mouseHidden_)
        setMouseHidden(false);
}

void MainWindow::connectCommands() {
    using C = MainWindowControls;
    const std::array<void (MainWindow::*)(), C::CommandCount> handlers{
        &MainWindow::onLoad,    &MainWindow::onSave,   &MainWindow::onOptions, &MainWindow::onFlash,
        &MainWindow::onCalData, &MainWindow::onBinary, &MainWindow::onScan,    &MainWindow::onScale,
        &MainWindow::onNew,     &MainWindow::onDelete, &MainWindow::onHelp,    nullptr};
    for (int k = 0; k < C::Exit; ++k)
        connect(c_.commands[static_cast<std::size_t>(k)], &QPushButton::clicked, this,
                handlers[static_cast<std::size_t>(k)]);
    // E&xit takes the same path as the close box.
    connect(c_.commands[C::Exit], &QPushButton::clicked, this, &QWidget::close);

    for (QRadioButton* b : {c_.byName, c_.byAddress, c_.byType}) {
        connect(b, &QRadioButton::toggled, this, [this](bool on) {
            if (on)
                refreshList();
        });
    }
    connect(c_.list, &QListWidget::itemSelectionChanged, this, &MainWindow::showSelection);
    connect(c_.list, &QListWidget::itemDoubleClicked, this, &MainWindow::onEditEntry);
    connect(c_.problems, &QPushButton::clicked, this, &MainWindow::showDefinitionProblems);
    connect(c_.disableEditing, &QCheckBox::toggled, this, [this](bool on) {
        primary_.readOnly = on;
        c_.commands[C::Scale]->setEnabled(!on);
    });

    // A portable stand-in for the system menu's item: the window's context menu.
    auto* separator = new QAction(this);
    separator->setSeparator(true);
    auto* about = new QAction(QStringLiteral("&About Tevra"), this);
    about->setObjectName(QStringLiteral("aboutAction"));
    connect(about, &QAction::triggered, this, &MainWindow::onAbout);
    addAction(separator);
    addAction(about);
    setContextMenuPolicy(Qt::ActionsContextMenu);
}

void MainWindow::buildMenus() {
    menuBar_ = new QMenuBar(this);
    menuBar_->setObjectName(QStringLiteral("menuBar"));
    QMenu* edit = menuBar_->addMenu(tr("&Edit"));
    edit->setObjectName(QStringLiteral("editMenu"));
    edit->addAction(history_->undoAction());
    edit->addAction(history_->redoAction());
}

QSize MainWindow::defaultSize() const {
    return MainWindowControls::classicSize() + QSize(0, menuBar_->sizeHint().height());
}

void MainWindow::resizeEvent(QResizeEvent* e) {
    QDialog::resizeEvent(e);
    layoutControls();
}

void MainWindow::layoutControls() {
    const int bar = menuBar_->sizeHint().height();
    menuBar_->setGeometry(0, 0, width(), bar);
    c_.arrange(QRect(0, bar, width(), height() - bar));
}

// The size of the last run, when Config.cfg holds one; never below the classic size.
void MainWindow::restoreWindowSize() {
    if (settings_.windowWidth > 0 && settings_.windowHeight > 0)
        resize(QSize(settings_.windowWidth, settings_.windowHeight).expandedTo(defaultSize()));
    if (settings_.windowMaximized)
        setWindowState(windowState() | Qt::WindowMaximized);
}

void MainWindow::initialise() {
    c_.graph->SetReadoutLabels(c_.mouseX, c_.mouseY);
    {
        const QSignalBlocker block(c_.byAddress);
        c_.byAddress->setChecked(true);
    }
    c_.disableEditing->setChecked(true);
    primary_.readOnly = true;
    closeCalibration();
    readSettings();
    restoreWindowSize();
    if (settings_.hideMouse)
        setMouseHidden(true);
    // Set only now, so that reopening at start offers no library definitions and
    // puts no "*" into the title.
    primary_.libraryFolder = toPath(startupFolder_ + QStringLiteral("/Library"));
    primary_.setModifiedCallback([this] {
        updateTitleMark();
        // An edit marks the data modified before it changes the bytes: marks and
        // checks are made again once the edit is done.
        if (!marksPending_) {
            marksPending_ = true;
            QTimer::singleShot(0, this, [this] {
                updateChangeMarks();
                // A count or terminator byte may have changed under an entry.
                updateDefinitionProblems();
            });
        }
    });
}

void MainWindow::readSettings() {
    std::string problem;
    if (auto s = Settings::load(configPath(), &problem))
        settings_ = *s;
    else if (!problem.empty())
        prompter_->message(problem, "Error");
    showValuesView(settings_.valuesView);
    if (!settings_.reloadLast)
        return;
    if (primary_.OpenCalibration(settings_.lastPath)) {
        afterOpen();
        return;
    }
    closeCalibration();
    // The model's message does not say which file; at start nobody chose it.
    if (!settings_.lastPath.empty())
        prompter_->message("Could not reopen the last calibration:\n" + settings_.lastPath,
                           "Error");
}

std::string MainWindow::configPath() const {
    return toPath(startupFolder_ + QStringLiteral("/Config.cfg"));
}

bool MainWindow::hasUnsavedChanges() const {
    return primary_.dataModified() || primary_.definitionsModified();
}

ListOrder MainWindow::currentOrder() const {
    if (c_.byName->isChecked())
        return ListOrder::Name;
    if (c_.byType->isChecked())
        return ListOrder::Type;
    return ListOrder::Address;
}

int MainWindow::selectedRow() const {
    const auto items = c_.list->selectedItems();
    return items.isEmpty() ? -1 : c_.list->row(items.front());
}

CalEntry* MainWindow::selectedEntry() const {
    const int row = selectedRow();
    return row >= 0 && row < static_cast<int>(rows_.size()) ? rows_[static_cast<std::size_t>(row)]
                                                            : nullptr;
}

void MainWindow::refreshList() {
    const int remembered = selectedRow();
    {
        const QSignalBlocker block(c_.list);
        c_.list->clear();
        rows_ = orderedEntries(primary_, currentOrder());
        for (const CalEntry* e : rows_)
            c_.list->addItem(entryText(e->name));
        const int row = remembered < 0 ? 0 : remembered;
        if (row < c_.list->count())
            c_.list->setCurrentRow(row);
    }
    updateChangeMarks();
    updateDefinitionProblems();
    showSelection();
}

void MainWindow::showSelection() {
    c_.commands[MainWindowControls::Scale]->setEnabled(false);
    c_.commands[MainWindowControls::Binary]->setEnabled(false);
    CalEntry* entry = selectedEntry();
    if (!entry) {
        c_.description->clear();
        c_.infoLine->clear();
        c_.graph->SetEntry(nullptr);
        c_.graph->SetSecondaryEntry(nullptr);
        c_.graph->Refresh();
        return;
    }
    c_.graph->SetEntry(entry);
    c_.graph->SetSecondaryEntry(comparison_.FindByName(entry->name, nullptr));
    c_.graph->Refresh();
    c_.description->setPlainText(entryText(entry->description));
    const EntryCommands allowed = commandsFor(*entry, primary_.readOnly);
    c_.commands[MainWindowControls::Scale]->setEnabled(allowed.scale);
    c_.commands[MainWindowControls::Binary]->setEnabled(allowed.binary);
    c_.infoLine->setText(QString::fromStdString(infoLineText(*entry)));
}

void MainWindow::closeCalibration() {
    {
        const QSignalBlocker block(c_.list);
        c_.list->clear();
        rows_.clear();
    }
    c_.graph->SetEntry(nullptr);
    c_.graph->SetSecondaryEntry(nullptr);
    primary_.Clear();
    comparison_.Clear();
    readDumpUnsaved_ = false;
    // Steps of another image must not be undone into this one.
    history_->clear();
    setTitleFromPath();
    updateDefinitionProblems();
    showSelection();
}

void MainWindow::afterOpen() {
    setTitleFromPath();
    if (!primary_.definitionPath.empty())
        refreshList();
    else
        newCalibrationForm();
    // The opened state is the one undo returns to; it is clean only without
    // unsaved changes (the new-calibration form makes some).
    history_->clear();
}

// The "*" of unsaved changes is Qt's own mark at the title's end, so a path
// holding "*" (or the mark's placeholder itself) shows as it is.
void MainWindow::setTitleFromPath() {
    QString path = fromPath(primary_.imagePath);
    path.replace(QStringLiteral("[*]"), QStringLiteral("[*][*]"));
    setWindowTitle(QStringLiteral("Tevra  ") + path + QStringLiteral("[*]"));
    // A new title starts unmarked, as it always has: the mark comes with the
    // next change of a modified flag (or the explicit update after a save).
    setWindowModified(false);
}

void MainWindow::updateTitleMark() {
    setWindowModified(hasUnsavedChanges());
}

QString MainWindow::shownTitle() const {
    QString title = windowTitle();
    const QString mark = isWindowModified() ? QStringLiteral("*") : QString();
    // Qt's rule: "[*][*]" stands for a literal "[*]", a single "[*]" for the mark.
    QString out;
    for (qsizetype i = 0; i < title.size();) {
        if (title.mid(i, 6) == QLatin1String("[*][*]")) {
            out += QStringLiteral("[*]");
            i += 6;
        } else if (title.mid(i, 3) == QLatin1String("[*]")) {
            out += mark;
            i += 3;
        } else {
            out += title[i++];
        }
    }
    return out;
}

bool MainWindow::settleUnsavedChanges(const char* question) {
    if (!hasUnsavedChanges())
        return true;
    switch (prompter_->askYesNoCancel(question, "Save Changes")) {
    case AppPrompter::Answer::Yes:
        onSave(); // whatever its outcome, the command goes on
        return true;
    case AppPrompter::Answer::No:
        return true;
    case AppPrompter::Answer::Cancel:
        break;
    }
    return false;
}

void MainWindow::onDelete() {
    CalEntry* entry = selectedEntry();
    if (!entry)
        return;
    DefinitionsState before = primary_.definitionsState();
    c_.graph->SetEntry(nullptr);
    rows_.clear();
    primary_.DeleteEntry(entry);
    refreshList();
    primary_.SetDefinitionsModified(true);
    history_->recordDefinitions(tr("Delete Entry"), std::move(before));
}

void MainWindow::restoreDefinitions(const DefinitionsState& state) {
    // Restoring replaces every entry object: nothing may show an old one.
    c_.graph->SetEntry(nullptr);
    c_.graph->SetSecondaryEntry(nullptr);
    rows_.clear();
    primary_.RestoreDefinitions(state);
    refreshList();
}

void MainWindow::onHelp() {
    // Nothing is reported when the desktop cannot open the page.
    QDesktopServices::openUrl(
        QUrl::fromLocalFile(startupFolder_ + QStringLiteral("/Help/help.html")));
}

void MainWindow::onAbout() {
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("About Tevra"),
                    QStringLiteral("Tevra Version 1.20"), QMessageBox::Ok, this);
    box.setObjectName(QStringLiteral("aboutBox"));
    box.setWindowIcon(windowIcon());
    if (!windowIcon().isNull())
        box.setIconPixmap(windowIcon().pixmap(48, 48));
    box.exec();
}

void MainWindow::setMouseHidden(bool hidden) {
    if (hidden == mouseHidden_)
        return;
    if (hidden)
        QApplication::setOverrideCursor(Qt::BlankCursor);
    else
        QApplication::restoreOverrideCursor();
    mouseHidden_ = hidden;
}

void MainWindow::mouseMoveEvent(QMouseEvent* e) {
    c_.mouseX->setText(QStringLiteral("X:"));
    c_.mouseY->setText(QStringLiteral("Y:"));
    QDialog::mouseMoveEvent(e);
}

void MainWindow::closeEvent(QCloseEvent* e) {
    if (!settleUnsavedChanges(kSaveBeforeExiting)) {
        e->ignore();
        return;
    }
    shutdown();
    e->accept();
}

void MainWindow::shutdown() {
    if (shutDown_)
        return;
    shutDown_ = true;
    // A read dump never saved is no file: the last path stays the one before.
    if (!readDumpUnsaved_)
        settings_.lastPath = primary_.imagePath;
    const QSize kept = isMaximized() || isFullScreen() ? normalGeometry().size() : size();
    settings_.windowWidth = kept.width();
    settings_.windowHeight = kept.height();
    settings_.windowMaximized = isMaximized();
    settings_.valuesView = c_.valuesToggle->isChecked();
    // A settings file that cannot be written loses this run's settings, silently.
    (void)settings_.save(configPath());
    setMouseHidden(false);
    primary_.setModifiedCallback(nullptr);
    closeCalibration();
    lastFlashCopy_.reset();
}

void MainWindow::onBinary() {
    CalEntry* entry = c_.graph->entry();
    if (!entry)
        return;
    BinaryTableView view(*entry, comparison_.FindByName(entry->name, nullptr), this);
    view.exec();
}

void MainWindow::onScale() {
    CalEntry* entry = selectedEntry();
    if (!entry)
        return;
    std::optional<ScaleValues> chosen;
    if (services_.askScale) {
        chosen = services_.askScale(*entry);
    } else {
        ModifyAllPointsDialog dialog(entry->type, entryText(entry->yUnit), {}, this);
        if (dialog.exec() == QDialog::Accepted)
            chosen = dialog.values();
    }
    if (!chosen)
        return;
    // The whole operation is one undo step.
    history_->beginStep(tr("Modify All Points"));
    applyScaleValues(*entry, *chosen);
    history_->endStep();
    c_.graph->Refresh();
}

} // namespace tevra
