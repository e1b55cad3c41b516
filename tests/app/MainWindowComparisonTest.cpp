// The main window's comparisons on the demo calibration: the list marks of the
// entries that differ from the comparison, the definition problems line, and
// carrying definitions from the Scan command.
#include "MainWindow.h"
#include "ReportWindow.h"

#include <QCheckBox>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <fstream>
#include <memory>

using namespace tevra;

namespace {

const QString kDemo = QStringLiteral(TEVRA_SOURCE_DIR "/resources/demo/demo");

class SilentAppPrompter final : public AppPrompter {
public:
    QStringList shown;
    void message(const std::string& text, const std::string&) override {
        shown << QString::fromStdString(text);
    }
    bool askYesNo(const std::string&, const std::string&) override { return false; }
    Answer askYesNoCancel(const std::string&, const std::string&) override { return Answer::No; }
};

// The demo's files under another name, with bytes changed.
QString demoCopy(const QTemporaryDir& dir, const QString& name,
                 std::initializer_list<std::pair<int, int>> pokes = {}, bool withTbl = true) {
    QFile in(kDemo + QStringLiteral(".bin"));
    if (!in.open(QIODevice::ReadOnly))
        qFatal("no demo image");
    QByteArray bytes = in.readAll();
    for (auto [address, v] : pokes)
        bytes[address - 0xC000] = static_cast<char>(v);
    const QString bin = dir.filePath(name + QStringLiteral(".bin"));
    QFile out(bin);
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size())
        qFatal("cannot write the copy");
    if (withTbl)
        QFile::copy(kDemo + QStringLiteral(".tbl"), dir.filePath(name + QStringLiteral(".tbl")));
    return bin;
}

std::string path(const QString& s) {
    return QFile::encodeName(s).toStdString();
}

} // namespace

class MainWindowComparisonTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir_;
    SilentAppPrompter prompter_;
    QString nextFile_;
    std::optional<OptionsValues> optionsAnswer_;
    std::optional<ScanValues> scanAnswer_;
    std::unique_ptr<MainWindow> window_;

    MainWindow& openFile(const QString& file) {
        MainWindowServices s;
        s.startupFolder = dir_->path();
        s.prompter = &prompter_;
        s.chooseImageFile = [this] { return nextFile_; };
        s.askOptions = [this](const OptionsValues&) { return optionsAnswer_; };
        s.askScan = [this](const ScanValues&) { return scanAnswer_; };
        // A bare image: the Calibration Data form is accepted as proposed.
        s.askCalData = [](const CalDataValues& v) { return std::optional<CalDataValues>(v); };
        window_ = std::make_unique<MainWindow>(std::move(s));
        window_->initialise();
        window_->show();
        nextFile_ = file;
        button("loadButton")->click();
        return *window_;
    }
    template <typename T = QWidget> T* find(const char* name) {
        T* w = window_->findChild<T*>(QString::fromLatin1(name));
        if (!w)
            qFatal("no widget %s", name);
        return w;
    }
    QPushButton* button(const char* name) { return find<QPushButton>(name); }
    QListWidget* list() { return find<QListWidget>("entryList"); }
    // The names of the marked lines, in list order.
    QStringList marked() {
        QStringList out;
        for (int i = 0; i < list()->count(); ++i)
            if (list()->item(i)->foreground().color() == MainWindowControls::changedEntryColour())
                out << list()->item(i)->text();
        return out;
    }
    void compareWith(const QString& file) {
        optionsAnswer_ = OptionsValues{false, false, path(file), 100};
        button("optionsButton")->click();
    }

private slots:
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        prompter_.shown.clear();
    }
    void cleanup() { window_.reset(); }

    void marksTheEntriesThatDifferFromTheComparison() {
        openFile(demoCopy(*dir_, QStringLiteral("primary")));
        const QStringList before = [&] {
            QStringList out;
            for (int i = 0; i < list()->count(); ++i)
                out << list()->item(i)->text();
            return out;
        }();
        QVERIFY(marked().isEmpty());
        compareWith(demoCopy(*dir_, QStringLiteral("tuned"),
                             {{0xC100 + 2, 30},        // Spark Advance
                              {0xC200 + 3 + 10, 0x20}, // Volumetric Efficiency
                              {0xC304, 0x0A},          // Option Flags
                              {0xC010, 0x00}}));       // code: no entry
        QStringList changed = marked();
        changed.sort();
        QCOMPARE(changed,
                 (QStringList{QStringLiteral("Option Flags"), QStringLiteral("Spark Advance"),
                              QStringLiteral("Volumetric Efficiency")}));
        // The texts and the order stay as they were.
        for (int i = 0; i < list()->count(); ++i)
            QCOMPARE(list()->item(i)->text(), before[i]);

        // An edit that makes an entry equal to its partner takes its mark away
        // once the edit is done.
        find<QCheckBox>("disableEditing")->setChecked(false);
        CalEntry* flags = window_->primary().FindByName("Option Flags", nullptr);
        flags->owner()->SetDataModified(true);
        flags->setByte(0, 0x0A);
        QTRY_COMPARE(marked().size(), 2);

        // Without a comparison nothing is marked.
        compareWith(QString());
        QVERIFY(marked().isEmpty());
    }

    void listsDefinitionProblemsWithoutBlocking() {
        openFile(demoCopy(*dir_, QStringLiteral("clean")));
        QVERIFY(!button("definitionProblems")->isVisible());

        const QString messy = demoCopy(*dir_, QStringLiteral("messy"));
        std::ofstream(path(dir_->filePath(QStringLiteral("messy.tbl"))), std::ios::app)
            << "C104 3 n Spark_Byte IN 0 256 X OUT 0 256 Y NAME Description\r\n"
            << "C300 4 n overboost_limit IN 0 256 X OUT 0 256 Y NAME Description\r\n";
        openFile(messy);
        QVERIFY(prompter_.shown.isEmpty()); // no message box on load
        QPushButton* line = button("definitionProblems");
        QVERIFY(line->isVisible());
        QCOMPARE(line->text(), QStringLiteral("3 definition problems..."));
        line->click();
        auto* report = find<ReportWindow>("definitionProblemsWindow");
        QVERIFY(report->isVisible());
        QVERIFY(!report->isModal());
        QVERIFY(report->text().contains(
            QStringLiteral("Spark Advance (C100-C128) overlaps Spark Byte (C104-C104)")));
        QVERIFY(report->text().contains(QStringLiteral("differ only in letter case")));
    }

    void carriesDefinitionsOntoABareImageFromTheScanCommand() {
        openFile(demoCopy(*dir_, QStringLiteral("bare"), {}, false));
        QCOMPARE(list()->count(), 0);
        scanAnswer_ = ScanValues{ScanValues::Carry, path(kDemo + QStringLiteral(".bin")), 0};
        button("scanButton")->click();
        QVERIFY(!list()->findItems(QStringLiteral("Knock Retard"), Qt::MatchExactly).isEmpty());
        QVERIFY(
            !list()->findItems(QStringLiteral("Transmission Type"), Qt::MatchExactly).isEmpty());
        QVERIFY(window_->primary().definitionsModified());
        auto* report = find<ReportWindow>("carryReportWindow");
        QVERIFY(report->isVisible());
        QVERIFY(report->text().startsWith(QStringLiteral("10 of 11 entries of ")));
        QVERIFY(report->text().contains(
            QStringLiteral("C260 <- C260 Knock Retard: score 1.00, code 1.00")));

        // A lender without definitions carries nothing and says so.
        scanAnswer_ = ScanValues{ScanValues::Carry,
                                 path(demoCopy(*dir_, QStringLiteral("plain"), {}, false)), 0};
        button("scanButton")->click();
        QCOMPARE(prompter_.shown.last(),
                 QStringLiteral("The other calibration has no definitions to carry."));
    }
};

QTEST_MAIN(MainWindowComparisonTest)
#include "MainWindowComparisonTest.moc"
