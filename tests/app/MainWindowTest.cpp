#include "MainWindow.h"

#include "GraphWidget.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <deque>
#include <memory>

using namespace tevra;

namespace {

// Records what the window asks and answers from a script (No when it runs out).
class ScriptedAppPrompter final : public AppPrompter {
public:
    QStringList shown;
    std::deque<Answer> answers;

    void message(const std::string& text, const std::string&) override {
        shown << QString::fromStdString(text);
    }
    bool askYesNo(const std::string& text, const std::string&) override {
        shown << QString::fromStdString(text);
        return false;
    }
    Answer askYesNoCancel(const std::string& text, const std::string& caption) override {
        shown << QString::fromStdString(caption + ": " + text);
        if (answers.empty())
            return Answer::No;
        const Answer a = answers.front();
        answers.pop_front();
        return a;
    }
};

struct Def {
    const char* name;
    std::int32_t address;
    EntryType type;
};

std::string path(const QString& s) {
    return QFile::encodeName(s).toStdString();
}

// A 16 KB image at 0xC000 with a definition file beside it. Every 8-bit table
// gets two real points so that edits change bytes.
QString writeCalibration(const QString& file, std::initializer_list<Def> defs) {
    Calibration cal;
    cal.SetImage(std::vector<std::uint8_t>(0x4000, 0));
    for (const Def& d : defs) {
        CalEntry* e = cal.NewEntry();
        e->name = d.name;
        e->type = d.type;
        e->Relocate(d.address);
        e->description = std::string("About ") + d.name;
        if (d.type == EntryType::Unsigned8Table) {
            const std::int64_t at = d.address - cal.baseAddress;
            const int bytes[] = {2, 0, 10, 0, 0, 200, 50, 0, 0};
            for (int k = 0; k < 9; ++k)
                cal.setImageByte(at + k, bytes[k]);
        }
    }
    const std::string stem = path(file);
    if (!cal.SaveBinary(stem + ".bin") || !cal.SaveDefinitions(stem + ".tbl"))
        qFatal("cannot write the test calibration");
    return file + QStringLiteral(".bin");
}

const std::initializer_list<Def> kThree = {{"b", 0xC010, EntryType::Unsigned8Table},
                                           {"a", 0xC000, EntryType::Unknown},
                                           {"C", 0xC008, EntryType::Table3D}};

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir_;
    ScriptedAppPrompter prompter_;
    QString nextFile_;
    std::optional<SaveValues> saveAnswer_;
    std::optional<OptionsValues> optionsAnswer_;
    std::optional<ScanValues> scanAnswer_;
    int fileDialogs_ = 0;
    std::unique_ptr<MainWindow> window_;

    MainWindow& open() {
        MainWindowServices s;
        s.startupFolder = dir_->path();
        s.prompter = &prompter_;
        s.chooseImageFile = [this] {
            ++fileDialogs_;
            return nextFile_;
        };
        s.askSave = [this](const SaveValues&) { return saveAnswer_; };
        s.askOptions = [this](const OptionsValues&) { return optionsAnswer_; };
        s.askScan = [this](const ScanValues&) { return scanAnswer_; };
        window_ = std::make_unique<MainWindow>(std::move(s));
        window_->initialise();
        window_->show();
        return *window_;
    }
    MainWindow& openWith(std::initializer_list<Def> defs) {
        MainWindow& w = open();
        nextFile_ = writeCalibration(dir_->filePath(QStringLiteral("cal")), defs);
        button("loadButton")->click();
        return w;
    }
    template <typename T = QWidget> T* find(const char* name) {
        T* w = window_->findChild<T*>(QString::fromLatin1(name));
        if (!w)
            qFatal("no widget %s", name);
        return w;
    }
    QPushButton* button(const char* name) { return find<QPushButton>(name); }
    QListWidget* list() { return find<QListWidget>("entryList"); }
    QStringList names() {
        QStringList out;
        for (int i = 0; i < list()->count(); ++i)
            out << list()->item(i)->text();
        return out;
    }
    void select(const QString& name) {
        const auto items = list()->findItems(name, Qt::MatchExactly);
        QVERIFY(items.size() == 1);
        list()->setCurrentItem(items.front());
    }
    void writeConfig(const QByteArray& text) {
        QFile f(dir_->filePath(QStringLiteral("Config.cfg")));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
    QByteArray readConfig() {
        QFile f(dir_->filePath(QStringLiteral("Config.cfg")));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

private slots:
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        prompter_ = {};
        nextFile_.clear();
        saveAnswer_.reset();
        optionsAnswer_.reset();
        scanAnswer_.reset();
        fileDialogs_ = 0;
    }
    void cleanup() { window_.reset(); }

    // The list and the graph take the room of a larger window, the rows below
    // them stay at the bottom, and the size comes back at the next start.
    void windowGrowsAndKeepsItsSize() {
        MainWindow& w = open();
        auto* graph = find<GraphWidget>("graph");
        auto* exit = button("exitButton");
        const QSize classic = w.size();
        const QSize graphClassic = graph->size();
        const int listClassic = list()->height();
        const int exitGap = classic.height() - exit->geometry().bottom();
        QCOMPARE(w.minimumSize(), classic);
        QVERIFY(w.windowFlags() & Qt::WindowMaximizeButtonHint);

        const QSize grown = classic + QSize(500, 300);
        w.resize(grown);
        QTRY_COMPARE(w.size(), grown);
        QCOMPARE(graph->size(), graphClassic + QSize(500, 300));
        QCOMPARE(list()->height(), listClassic + 300);
        QCOMPARE(grown.height() - exit->geometry().bottom(), exitGap);
        QVERIFY(!graph->grab().isNull());

        QVERIFY(w.close());
        QFile config(dir_->filePath(QStringLiteral("Config.cfg")));
        QVERIFY(config.open(QIODevice::ReadOnly));
        const QByteArray text = config.readAll();
        QVERIFY2(text.contains(QStringLiteral("\nwindow_size %1 %2\nwindow_maximized n\n")
                                   .arg(grown.width())
                                   .arg(grown.height())
                                   .toLatin1()),
                 text.constData());
        config.close();
        window_.reset();
        MainWindow& again = open();
        QCOMPARE(again.size(), grown);
    }

    void startsEmptyReadOnlyAndSortedByAddress() {
        MainWindow& w = open();
        // The classic 780 x 544 below the Edit menu, the graph at its classic size.
        QCOMPARE(w.size() - QSize(0, find<QMenuBar>("menuBar")->height()), QSize(780, 544));
        QCOMPARE(find<GraphWidget>("graph")->size(), QSize(kGraphWidth, kGraphHeight));
        QCOMPARE(w.shownTitle(), QStringLiteral("Tevra  "));
        QCOMPARE(list()->count(), 0);
        QVERIFY(find<QRadioButton>("sortByAddress")->isChecked());
        QVERIFY(find<QCheckBox>("disableEditing")->isChecked());
        QVERIFY(w.primary().readOnly);
        QVERIFY(!button("scaleButton")->isEnabled());
        QVERIFY(!button("binaryButton")->isEnabled());
        QVERIFY(find<QLabel>("infoLine")->text().isEmpty());
        QVERIFY(find<QPlainTextEdit>("descriptionBox")->toPlainText().isEmpty());
        QVERIFY(prompter_.shown.isEmpty());
        QVERIFY(button("loadButton")->isDefault());
        QVERIFY(!w.windowIcon().isNull());
    }

    void aboutShowsTheVersionAndTheProgramIcon() {
        MainWindow& w = open();
        QString title, text;
        bool icon = false;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            title = box->windowTitle();
            text = box->text();
            icon = !box->iconPixmap().isNull() && !box->windowIcon().isNull();
            box->accept();
        });
        w.onAbout();
        QCOMPARE(title, QStringLiteral("About Tevra"));
        QCOMPARE(text, QStringLiteral("Tevra Version 1.20"));
        QVERIFY(icon);
    }

    void readsTheSettingsAtStart_data() {
        QTest::addColumn<QByteArray>("config");
        QTest::addColumn<int>("lines");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("reload") << QByteArray("@\nreload_last y\nhide_mouse n\nflash_speed 9\n")
                                << 3 << QStringList();
        QTest::newRow("one line") << QByteArray("@\n") << 3 << QStringList();
        QTest::newRow("CR LF") << QByteArray("@\r\nreload_last y\r\n") << 3 << QStringList();
        QTest::newRow("CR alone") << QByteArray("@\rreload_last y\rhide_mouse n\r") << 3
                                  << QStringList();
        QTest::newRow("no reload") << QByteArray("@\nreload_last n\n") << 0 << QStringList();
        QTest::newRow("capital Y is no") << QByteArray("@\nreload_last Y\n") << 0 << QStringList();
        QTest::newRow("empty path") << QByteArray("\nreload_last y\n") << 0 << QStringList();
        // The message names the file the program tried to reopen.
        QTest::newRow("missing file")
            << QByteArray("@missing\nreload_last y\n") << 0
            << QStringList{QStringLiteral("Failed to load binary file!"),
                           QStringLiteral("Could not reopen the last calibration:\n@missing")};
    }
    void readsTheSettingsAtStart() {
        QFETCH(QByteArray, config);
        QFETCH(int, lines);
        QFETCH(QStringList, messages);
        const QString cal = writeCalibration(dir_->filePath(QStringLiteral("cal")), kThree);
        config.replace('@', QFile::encodeName(cal));
        messages.replaceInStrings(QStringLiteral("@"), cal);
        writeConfig(config);
        MainWindow& w = open();
        QCOMPARE(list()->count(), lines);
        QCOMPARE(prompter_.shown, messages);
        if (lines > 0) {
            // The lowest address is selected and shown.
            QCOMPARE(list()->currentRow(), 0);
            QCOMPARE(list()->selectedItems().front()->text(), QStringLiteral("a"));
            QCOMPARE(find<QLabel>("infoLine")->text(), QStringLiteral("C000: Unknown Type"));
            QCOMPARE(find<GraphWidget>("graph")->entry(), w.primary().FindByName("a", nullptr));
            QCOMPARE(w.shownTitle(), QStringLiteral("Tevra  ") + cal);
        }
    }

    void aConfigThatIsAFolderIsNamedAndLeftAlone() {
        // It aborted the editor at start; now the window opens with the defaults.
        QVERIFY(QDir(dir_->path()).mkdir(QStringLiteral("Config.cfg")));
        const QString config = dir_->filePath(QStringLiteral("Config.cfg"));
        MainWindow& w = open();
        QCOMPARE(prompter_.shown, QStringList{QLatin1Char('"') + config +
                                              QStringLiteral("\" is a folder, not a file.")});
        QCOMPARE(list()->count(), 0);
        w.close();
        window_.reset();
        QVERIFY(QFileInfo(config).isDir());
    }

    void sortsTheListInTheCheckedOrder_data() {
        QTest::addColumn<QString>("radio");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("address") << "sortByAddress" << QStringList{"a", "C", "b", "z"};
        QTest::newRow("name") << "sortByName" << QStringList{"C", "a", "b", "z"};
        // A type outside 0..8 is not listed by type.
        QTest::newRow("type") << "sortByType" << QStringList{"b", "C", "a"};
    }
    void sortsTheListInTheCheckedOrder() {
        QFETCH(QString, radio);
        QFETCH(QStringList, expected);
        openWith({{"b", 0xC010, EntryType::Unsigned8Table},
                  {"z", 0xC020, static_cast<EntryType>(12)},
                  {"a", 0xC000, EntryType::Unknown},
                  {"C", 0xC008, EntryType::Table3D}});
        find<QRadioButton>("sortByName")->click(); // leave the starting order first
        find<QRadioButton>(qPrintable(radio))->click();
        QCOMPARE(names(), expected);
        QCOMPARE(list()->currentRow(), 0);
    }

    void enablesScaleAndBinaryByType_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("readOnly");
        QTest::addColumn<bool>("scale");
        QTest::addColumn<bool>("binary");
        QTest::addColumn<QString>("info");
        QTest::newRow("u8") << "u8" << false << true << true << "C1A4: Unsigned 8-Bit";
        QTest::newRow("u16") << "u16" << false << true << true << "C200: Unsigned 16-Bit";
        QTest::newRow("s8") << "s8" << false << true << true << "C300: Signed 8-Bit";
        QTest::newRow("c8") << "c8" << false << true << false << "C400: Constant 8-Bit";
        QTest::newRow("c16") << "c16" << false << true << false << "C402: Constant 16-Bit";
        QTest::newRow("flag") << "flag" << false << false << false << "C404: 8-Bit Flag Byte";
        QTest::newRow("list") << "list" << false << false << false << "C405: Value List";
        QTest::newRow("3d") << "3d" << false << true << true << "F0: 3D Table";
        QTest::newRow("unknown") << "unknown" << false << true << true << "C500: Unknown Type";
        QTest::newRow("odd type") << "odd" << false << true << true << "C600: ";
        QTest::newRow("u8 read-only") << "u8" << true << false << true << "C1A4: Unsigned 8-Bit";
    }
    void enablesScaleAndBinaryByType() {
        QFETCH(QString, name);
        QFETCH(bool, readOnly);
        QFETCH(bool, scale);
        QFETCH(bool, binary);
        QFETCH(QString, info);
        MainWindow& w = openWith({{"u8", 0xC1A4, EntryType::Unsigned8Table},
                                  {"u16", 0xC200, EntryType::Unsigned16Table},
                                  {"s8", 0xC300, EntryType::Signed8Table},
                                  {"c8", 0xC400, EntryType::Constant8},
                                  {"c16", 0xC402, EntryType::Constant16},
                                  {"flag", 0xC404, EntryType::FlagByte},
                                  {"list", 0xC405, EntryType::ValueList},
                                  {"3d", 0xF0, EntryType::Table3D},
                                  {"unknown", 0xC500, EntryType::Unknown},
                                  {"odd", 0xC600, static_cast<EntryType>(-1)}});
        if (!readOnly)
            find<QCheckBox>("disableEditing")->click();
        QCOMPARE(w.primary().readOnly, readOnly);
        select(name);
        QCOMPARE(button("scaleButton")->isEnabled(), scale);
        QCOMPARE(button("binaryButton")->isEnabled(), binary);
        QCOMPARE(find<QLabel>("infoLine")->text(), info);
        QCOMPARE(find<QPlainTextEdit>("descriptionBox")->toPlainText(),
                 QStringLiteral("About ") + name);
    }

    void disableEditingTiesScaleAndReadOnly() {
        MainWindow& w = openWith(kThree);
        select(QStringLiteral("b"));
        auto* box = find<QCheckBox>("disableEditing");
        box->click();
        QVERIFY(!w.primary().readOnly);
        QVERIFY(button("scaleButton")->isEnabled());
        box->click();
        QVERIFY(w.primary().readOnly);
        QVERIFY(!button("scaleButton")->isEnabled());
    }

    void deleteSelectsTheLineThatMovedUpOrNone() {
        MainWindow& w = openWith(kThree);
        select(QStringLiteral("a"));
        button("deleteButton")->click();
        QCOMPARE(names(), (QStringList{"C", "b"}));
        QCOMPARE(list()->selectedItems().front()->text(), QStringLiteral("C"));
        QCOMPARE(find<GraphWidget>("graph")->entry(), w.primary().FindByName("C", nullptr));
        QVERIFY(w.primary().definitionsModified());
        QVERIFY(w.shownTitle().endsWith(QLatin1Char('*')));

        select(QStringLiteral("b"));
        button("deleteButton")->click();
        QCOMPARE(names(), QStringList{"C"});
        QVERIFY(list()->selectedItems().isEmpty());
        QVERIFY(find<GraphWidget>("graph")->entry() == nullptr);
        QVERIFY(find<QLabel>("infoLine")->text().isEmpty());

        button("deleteButton")->click(); // nothing selected: nothing happens
        QCOMPARE(names(), QStringList{"C"});
    }

    void editMarksTheTitleAndSavingClearsIt_data() {
        QTest::addColumn<bool>("makeCurrent");
        QTest::newRow("make current edit") << true;
        QTest::newRow("save a copy") << false;
    }
    void editMarksTheTitleAndSavingClearsIt() {
        QFETCH(bool, makeCurrent);
        MainWindow& w = openWith(kThree);
        const QString title = QStringLiteral("Tevra  ") + nextFile_;
        CalEntry* b = w.primary().FindByName("b", nullptr);
        b->AddToAll(10.0f); // read-only: ignored
        QCOMPARE(w.shownTitle(), title);

        find<QCheckBox>("disableEditing")->click();
        b->AddToAll(10.0f);
        QCOMPARE(w.shownTitle(), title + QLatin1Char('*'));
        b->AddToAll(10.0f);
        QCOMPARE(w.shownTitle(), title + QLatin1Char('*'));

        const QString copy = dir_->filePath(QStringLiteral("copy.bin"));
        saveAnswer_ = SaveValues{path(copy), true, false, makeCurrent};
        button("saveButton")->click();
        QVERIFY(!w.hasUnsavedChanges());
        QVERIFY(QFile::exists(copy));
        QCOMPARE(w.shownTitle(), QStringLiteral("Tevra  ") + (makeCurrent ? copy : nextFile_));
        QCOMPARE(QString::fromStdString(w.primary().imagePath), makeCurrent ? copy : nextFile_);
    }

    void exitAsksAboutUnsavedChanges_data() {
        QTest::addColumn<bool>("unsaved");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("closes");
        QTest::addColumn<int>("questions");
        QTest::newRow("nothing to save") << false << int(AppPrompter::Answer::Cancel) << true << 0;
        QTest::newRow("cancel stays") << true << int(AppPrompter::Answer::Cancel) << false << 1;
        QTest::newRow("no closes") << true << int(AppPrompter::Answer::No) << true << 1;
        // Yes runs Save, whose dialog is cancelled here: exiting goes on anyway.
        QTest::newRow("yes closes") << true << int(AppPrompter::Answer::Yes) << true << 1;
    }
    void exitAsksAboutUnsavedChanges() {
        QFETCH(bool, unsaved);
        QFETCH(int, answer);
        QFETCH(bool, closes);
        QFETCH(int, questions);
        MainWindow& w = openWith(kThree);
        if (unsaved)
            w.primary().SetDefinitionsModified(true);
        prompter_.answers = {static_cast<AppPrompter::Answer>(answer)};
        button("exitButton")->click();
        QCOMPARE(w.isVisible(), !closes);
        QCOMPARE(prompter_.shown.size(), qsizetype(questions));
        if (questions)
            QCOMPARE(
                prompter_.shown.front(),
                QStringLiteral("Save Changes: You have unsaved changes. \n\nSave before exiting?"));
        if (closes) {
            // The settings name the calibration open at exit, whatever was answered.
            // Then the window's size, as new lines after the classic four.
            const QSize size = w.defaultSize();
            QCOMPARE(readConfig(), QFile::encodeName(nextFile_) +
                                       "\nreload_last y\nhide_mouse n\nflash_speed 100\n" +
                                       QStringLiteral("window_size %1 %2\nwindow_maximized n\n")
                                           .arg(size.width())
                                           .arg(size.height())
                                           .toLatin1());
            QCOMPARE(list()->count(), 0);
        } else {
            QVERIFY(readConfig().isEmpty());
        }
    }

    void escapeAndTheCloseBoxTakeTheirPaths() {
        MainWindow& w = openWith(kThree);
        QTest::keyClick(&w, Qt::Key_Escape);
        QVERIFY(w.isVisible());
        w.primary().SetDataModified(true);
        prompter_.answers = {AppPrompter::Answer::Cancel};
        QVERIFY(!w.close());
        QVERIFY(w.isVisible());
        prompter_.answers = {AppPrompter::Answer::No};
        QVERIFY(w.close());
    }

    void loadAsksFirstAndCancelKeepsTheCalibration() {
        MainWindow& w = openWith(kThree);
        w.primary().SetDataModified(true);
        prompter_.answers = {AppPrompter::Answer::Cancel};
        button("loadButton")->click();
        QCOMPARE(fileDialogs_, 1); // only the first load
        QCOMPARE(list()->count(), 3);
        QCOMPARE(prompter_.shown.front(),
                 QStringLiteral(
                     "Save Changes: You have unsaved changes. \n\nSave before loading another?"));

        // A failed load leaves everything empty; the flags survive.
        nextFile_ = dir_->filePath(QStringLiteral("missing.bin"));
        prompter_.answers = {AppPrompter::Answer::No};
        button("loadButton")->click();
        QCOMPARE(list()->count(), 0);
        QCOMPARE(w.shownTitle(), QStringLiteral("Tevra  "));
        QVERIFY(w.hasUnsavedChanges());
    }

    void hidesThePointerFromOpeningUntilClosing() {
        writeConfig("\nreload_last y\nhide_mouse y\nflash_speed 100\n");
        MainWindow& w = open();
        QVERIFY(QApplication::overrideCursor());
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::BlankCursor);
        QVERIFY(w.close());
        QVERIFY(!QApplication::overrideCursor());
        QVERIFY(readConfig().contains("hide_mouse y\n"));
    }

    void pointerOutsideTheGraphClearsTheReadout() {
        MainWindow& w = open();
        // Left of the list's caption, below the Edit menu.
        QTest::mouseMove(&w, QPoint(5, find<QMenuBar>("menuBar")->height() + 5));
        QTRY_COMPARE(find<QLabel>("mouseX")->text(), QStringLiteral("X:"));
        QCOMPARE(find<QLabel>("mouseY")->text(), QStringLiteral("Y:"));
    }

    // Cross-identification renames an entry it did not add: the definitions must
    // count as changed, or the names would be lost at exit without a question.
    void scanThatRenamesEntriesMarksTheDefinitions_data() {
        QTest::addColumn<int>("quality");
        QTest::addColumn<bool>("renamed");
        QTest::newRow("identical partner taken") << 0 << true;
        QTest::newRow("nothing above 1.0") << 100 << false;
    }
    void scanThatRenamesEntriesMarksTheDefinitions() {
        QFETCH(int, quality);
        QFETCH(bool, renamed);
        MainWindow& w = openWith(kThree);
        const QString known = writeCalibration(
            dir_->filePath(QStringLiteral("known")),
            {{"Fuel", 0xC010, EntryType::Unsigned8Table}, {"Idle", 0xC100, EntryType::Constant8}});
        {
            // Unlike its byte here: the constants pass tries an entry and deletes it.
            QFile bin(known);
            QVERIFY(bin.open(QIODevice::ReadWrite) && bin.seek(0x100));
            bin.putChar(char(0xFF));
        }
        QVERIFY(!w.hasUnsavedChanges());
        scanAnswer_ = ScanValues{ScanValues::CrossIdentify, path(known), quality};
        button("scanButton")->click();
        QCOMPARE(names().contains(QStringLiteral("Fuel")), renamed);
        QCOMPARE(list()->count(), 3); // no image code to scan: nothing added
        QCOMPARE(w.primary().definitionsModified(), renamed);
        QCOMPARE(w.shownTitle().endsWith(QLatin1Char('*')), renamed);
    }

    void comparesTheEntryOfTheSameNameIgnoringCase() {
        MainWindow& w = openWith(kThree);
        const QString other = writeCalibration(dir_->filePath(QStringLiteral("other")),
                                               {{"B", 0xC010, EntryType::Unsigned8Table}});
        select(QStringLiteral("b"));
        auto* graph = find<GraphWidget>("graph");
        QVERIFY(graph->painter().secondaryEntry() == nullptr);

        optionsAnswer_ = OptionsValues{false, false, path(other), 35};
        button("optionsButton")->click();
        QCOMPARE(graph->painter().secondaryEntry(), w.comparison().FindByName("B", nullptr));
        QVERIFY(graph->painter().secondaryEntry() != nullptr);
        QCOMPARE(w.flashSpeed(), 35);
        QVERIFY(!w.settings().reloadLast);

        optionsAnswer_ = OptionsValues{false, false, std::string(), 35};
        button("optionsButton")->click();
        QVERIFY(graph->painter().secondaryEntry() == nullptr);
        QVERIFY(prompter_.shown.isEmpty());
    }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
