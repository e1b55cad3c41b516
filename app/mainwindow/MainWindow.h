#pragma once

#include "AppPrompter.h"
#include "Calibration.h"
#include "CommandValues.h"
#include "DialogValues.h"
#include "EditHistory.h"
#include "FlashContext.h"
#include "MainWindowControls.h"
#include "MainWindowRules.h"
#include "ScaleValues.h"
#include "Settings.h"

#include <QDialog>
#include <QMenuBar>
#include <QPointer>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace tevra {

class QtPrompter;
class ReportWindow;
class FlashDialog;

// What the main window asks the outside world for. Every member may stay empty:
// the window then uses the desktop (working directory, message boxes, file-open
// dialog) and its real dialogs. Tests fill them in so that no modal loop blocks.
struct MainWindowServices {
    QString startupFolder;
    AppPrompter* prompter = nullptr;
    std::function<QString()> chooseImageFile;
    std::function<std::optional<SaveValues>(const SaveValues&)> askSave;
    std::function<std::optional<OptionsValues>(const OptionsValues&)> askOptions;
    // The Calibration Data dialog, both forms; nothing on Cancel.
    std::function<std::optional<CalDataValues>(const CalDataValues&)> askCalData;
    // The Data Properties dialog: OK, Cancel, or a step to the next or previous line.
    std::function<PropertiesResult(const PropertiesValues&)> askProperties;
    std::function<std::optional<ScanValues>(const ScanValues&)> askScan;
    // Runs the Flash dialog (exec unless a test drives it), with the line to the
    // controller and its clock (the serial port and the wall clock when empty).
    std::function<void(FlashDialog&)> runFlash;
    ChannelFactory openFlashChannel;
    Clock* flashClock = nullptr;
    // Modify All Points for the selected entry; nothing on Cancel.
    std::function<std::optional<ScaleValues>(const CalEntry&)> askScale;
};

// The main window: owns the primary and the comparison calibration, the entry
// list, the graph and the row of commands. Each command is one slot that opens
// its dialog with a value struct and applies what comes back.
class MainWindow : public QDialog {
    Q_OBJECT

public:
    explicit MainWindow(MainWindowServices services = {}, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The opening steps, in their order; the window is shown only after them so
    // that the messages of reopening the last calibration come first.
    void initialise();

    Calibration& primary() { return primary_; }
    Calibration& comparison() { return comparison_; }
    const Settings& settings() const { return settings_; }
    int flashSpeed() const { return settings_.flashSpeed; }
    LastFlashCopy& lastFlashCopy() { return lastFlashCopy_; }
    EditHistory& editHistory() { return *history_; }
    const QString& startupFolder() const { return startupFolder_; }
    const MainWindowControls& controls() const { return c_; }

    // Steps other windows run by name.
    void refreshList();
    void showSelection();
    void closeCalibration();
    void afterOpen();
    bool hasUnsavedChanges() const;
    // The title as the window's frame shows it: "Tevra  " and the path, with "*"
    // while there are unsaved changes.
    QString shownTitle() const;
    // The classic size of the window, at which it opens the first time.
    QSize defaultSize() const;

    // Marks the list lines whose entry's bytes differ from the comparison
    // calibration's entry of the same name (the texts and the order stay).
    void updateChangeMarks();
    // Checks the definitions and shows or hides the problems line under the list.
    void updateDefinitionProblems();
    // Lists the problems in a window that does not block this one.
    void showDefinitionProblems();
    // Carries the definitions of the calibration at path onto the primary one,
    // after the heuristic scan, and shows the report in a window of its own.
    void carryDefinitions(const std::string& path);
    const std::vector<std::string>& definitionProblems() const { return problems_; }

public slots:
    void onLoad();
    void onSave();
    void onOptions();
    void onFlash();
    void onCalData();
    void onBinary();
    void onScan();
    void onScale();
    void onNew();
    void onDelete();
    void onHelp();
    void onEditEntry();
    void onAbout();
    // Shows or hides the values view beside the graph (the window grows by it).
    void showValuesView(bool shown);

protected:
    void closeEvent(QCloseEvent* e) override;
    // Escape: the window has no cancel action.
    void reject() override {}
    void mouseMoveEvent(QMouseEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    void connectCommands();
    void buildMenus();
    void restoreDefinitions(const DefinitionsState& state);
    void restoreWindowSize();
    void connectValuesView();
    // Places the menu bar and every control for the window's present size.
    void layoutControls();
    // Fills every empty dialog hook with the real dialog.
    void installDialogDefaults();
    void newCalibrationForm();
    // Asks the "Save Changes" question; false when the user cancels.
    bool settleUnsavedChanges(const char* question);
    void setTitleFromPath();
    void updateTitleMark();
    void setMouseHidden(bool hidden);
    void readSettings();
    void shutdown();
    ListOrder currentOrder() const;
    int selectedRow() const;
    CalEntry* selectedEntry() const;
    std::string configPath() const;

    MainWindowServices services_;
    std::unique_ptr<QtPrompter> ownPrompter_;
    AppPrompter* prompter_ = nullptr;
    MainWindowControls c_;
    Calibration primary_;
    Calibration comparison_;
    // After the calibrations: it lets go of the primary before that is destroyed.
    std::unique_ptr<EditHistory> history_;
    QString startupFolder_;
    Settings settings_;
    LastFlashCopy lastFlashCopy_;
    std::vector<CalEntry*> rows_;       // the entry of each list line
    std::vector<std::string> problems_; // the definition checks' messages
    QPointer<ReportWindow> problemsWindow_;
    QPointer<ReportWindow> carryWindow_;
    bool marksPending_ = false;
    QMenuBar* menuBar_ = nullptr;
    bool mouseHidden_ = false;
    bool shutDown_ = false;
    // A calibration read from the controller and not yet saved under a name.
    bool readDumpUnsaved_ = false;
};

} // namespace tevra
