// The main window's commands that run the definition dialogs: what each command
// opens its dialog with and what it does with the answer. The dialogs themselves
// are answered by scripts so that no modal loop runs.

#include "EntryPropertiesRules.h"
#include "GraphWidget.h"
#include "MainWindow.h"

#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <deque>
#include <functional>
#include <memory>

using namespace tevra;

namespace {

class ScriptedAppPrompter final : public AppPrompter {
public:
    QStringList shown;
    std::deque<bool> answers;

    void message(const std::string& text, const std::string& caption) override {
        shown << QString::fromStdString(caption + ": " + text);
    }
    bool askYesNo(const std::string& text, const std::string& caption) override {
        shown << QString::fromStdString(caption + ": " + text);
        if (answers.empty())
            return false;
        const bool a = answers.front();
        answers.pop_front();
        return a;
    }
    Answer askYesNoCancel(const std::string&, const std::string&) override { return Answer::No; }
};

std::string path(const QString& s) {
    return QFile::encodeName(s).toStdString();
}

struct Def {
    const char* name;
    std::int32_t address;
};

// An image of `size` bytes ending at 0xFFFF, with a definition file when defs are given.
QString writeImage(const QString& stem, std::size_t size, std::initializer_list<Def> defs,
                   const std::vector<std::pair<std::size_t, std::uint8_t>>& bytes = {}) {
    Calibration cal;
    std::vector<std::uint8_t> image(size, 0);
    for (auto [at, b] : bytes)
        image[at] = b;
    cal.SetImage(std::move(image));
    cal.baseAddress = static_cast<std::int32_t>(0x10000 - size);
    for (const Def& d : defs) {
        CalEntry* e = cal.NewEntry();
        e->name = d.name;
        e->type = EntryType::Constant8;
        e->Relocate(d.address);
    }
    if (!cal.SaveBinary(path(stem) + ".bin"))
        qFatal("cannot write the test image");
    if (defs.size() > 0 && !cal.SaveDefinitions(path(stem) + ".tbl"))
        qFatal("cannot write the test definitions");
    return stem + QStringLiteral(".bin");
}

const std::initializer_list<Def> kThree = {{"b", 0xC010}, {"a", 0xC000}, {"C", 0xC008}};

} // namespace

class MainWindowDialogsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir_;
    ScriptedAppPrompter prompter_;
    QString nextFile_;
    // Each dialog hook records what it was opened with and answers from its script.
    std::vector<CalDataValues> calDataShown_;
    std::deque<std::function<std::optional<CalDataValues>(CalDataValues)>> calDataAnswers_;
    std::vector<PropertiesValues> propertiesShown_;
    std::deque<std::function<PropertiesResult(PropertiesValues)>> propertiesAnswers_;
    std::optional<ScanValues> scanAnswer_;
    std::optional<SaveValues> saveAnswer_;
    std::vector<OptionsValues> optionsShown_;
    std::optional<OptionsValues> optionsAnswer_;
    int scans_ = 0;
    std::unique_ptr<MainWindow> window_;

    MainWindow& open() {
        MainWindowServices s;
        s.startupFolder = dir_->path();
        s.prompter = &prompter_;
        s.chooseImageFile = [this] { return nextFile_; };
        s.askSave = [this](const SaveValues&) { return saveAnswer_; };
        s.askOptions = [this](const OptionsValues& v) {
            optionsShown_.push_back(v);
            return optionsAnswer_;
        };
        s.askCalData = [this](const CalDataValues& v) -> std::optional<CalDataValues> {
            calDataShown_.push_back(v);
            if (calDataAnswers_.empty())
                return std::nullopt;
            auto answer = calDataAnswers_.front();
            calDataAnswers_.pop_front();
            return answer(v);
        };
        s.askProperties = [this](const PropertiesValues& v) {
            propertiesShown_.push_back(v);
            if (propertiesAnswers_.empty())
                return PropertiesResult{false, 0, v};
            auto answer = propertiesAnswers_.front();
            propertiesAnswers_.pop_front();
            return answer(v);
        };
        s.askScan = [this](const ScanValues&) {
            ++scans_;
            return scanAnswer_;
        };
        window_ = std::make_unique<MainWindow>(std::move(s));
        window_->initialise();
        window_->show();
        return *window_;
    }
    MainWindow& openFile(const QString& file) {
        MainWindow& w = open();
        nextFile_ = file;
        button("loadButton")->click();
        return w;
    }
    MainWindow& openThree() {
        return openFile(writeImage(dir_->filePath(QStringLiteral("cal")), 0x4000, kThree));
    }
    QPushButton* button(const char* name) {
        auto* b = window_->findChild<QPushButton*>(QString::fromLatin1(name));
        if (!b)
            qFatal("no button %s", name);
        return b;
    }
    GraphWidget* graph() { return window_->findChild<GraphWidget*>(QStringLiteral("graph")); }
    QListWidget* list() { return window_->findChild<QListWidget*>(QStringLiteral("entryList")); }
    QStringList names() {
        QStringList out;
        for (int i = 0; i < list()->count(); ++i)
            out << list()->item(i)->text();
        return out;
    }
    QString selected() {
        const auto items = list()->selectedItems();
        return items.isEmpty() ? QString() : items.front()->text();
    }
    void doubleClick() {
        QListWidgetItem* item = list()->currentItem();
        emit list()->itemDoubleClicked(item);
    }
    int liveEntries() {
        int n = 0;
        for (int i = 0; i < window_->primary().entryCount(); ++i)
            n += window_->primary().EntryAt(i) != nullptr;
        return n;
    }
    static std::function<PropertiesResult(PropertiesValues)>
    ok(std::function<void(PropertiesValues&)> edit) {
        return [edit](PropertiesValues v) {
            edit(v);
            return PropertiesResult{true, 0, v};
        };
    }
    static std::function<PropertiesResult(PropertiesValues)> step(int s) {
        return [s](PropertiesValues v) { return PropertiesResult{false, s, v}; };
    }

private slots:
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        prompter_ = {};
        calDataShown_.clear();
        calDataAnswers_.clear();
        propertiesShown_.clear();
        propertiesAnswers_.clear();
        scanAnswer_.reset();
        scans_ = 0;
        saveAnswer_.reset();
        optionsShown_.clear();
        optionsAnswer_.reset();
    }
    void cleanup() { window_.reset(); }

    // ---------------------------------------------------------------- Calibration Data
    void bareImageProposesTheBaseBelow0x10000_data() {
        QTest::addColumn<int>("size");
        QTest::addColumn<QString>("proposed");
        QTest::newRow("16 KB") << 0x4000 << "C000";
        QTest::newRow("32 KB") << 0x8000 << "8000";
        QTest::newRow("8 KB") << 0x2000 << "E000";
    }
    void bareImageProposesTheBaseBelow0x10000() {
        QFETCH(int, size);
        QFETCH(QString, proposed);
        calDataAnswers_.push_back([](CalDataValues v) {
            v.maxBoost = 20;
            v.author = "me";
            return v;
        });
        MainWindow& w =
            openFile(writeImage(dir_->filePath(QStringLiteral("bare")), std::size_t(size), {}));
        QCOMPARE(calDataShown_.size(), std::size_t{1});
        const CalDataValues& shown = calDataShown_[0];
        QCOMPARE(QString::fromStdString(shown.baseAddress), proposed);
        QCOMPARE(shown.imageLength, size);
        QCOMPARE(shown.description, std::string("Tevra Calibration"));
        QVERIFY(shown.checksumAddress.empty() && shown.fixupAddress.empty());
        QCOMPARE(w.primary().baseAddress, 0x10000 - size);
        QCOMPARE(w.primary().maxBoost, 20.0f);
        QCOMPARE(w.primary().author, std::string("me"));
        QVERIFY(w.primary().definitionsModified());
    }

    void bareImageFormCancelledKeepsTheDefaults() {
        MainWindow& w = openFile(writeImage(dir_->filePath(QStringLiteral("bare")), 0x4000, {}));
        QCOMPARE(calDataShown_.size(), std::size_t{1});
        QCOMPARE(w.primary().author, std::string("Tevra"));
        QVERIFY(!w.primary().definitionsModified());
    }

    void calDataRebasesAndRefreshesTheList() {
        MainWindow& w = openThree();
        list()->setCurrentRow(0);
        calDataAnswers_.push_back([](CalDataValues v) {
            v.baseAddress = "8000";
            return v;
        });
        button("calDataButton")->click();
        QCOMPARE(calDataShown_.back().baseAddress, std::string("C000"));
        QCOMPARE(w.primary().FindByName("C", nullptr)->address, 0x8008);
        QCOMPARE(names(), (QStringList{"a", "C", "b"}));
        QVERIFY(w.primary().definitionsModified());
        QVERIFY(prompter_.shown.isEmpty());
    }

    void calDataRebaseThatLosesEntriesAsks() {
        for (bool yes : {false, true}) {
            MainWindow& w = openThree();
            prompter_ = {};
            prompter_.answers = {yes};
            calDataAnswers_.push_back([](CalDataValues v) {
                v.baseAddress = "FFF8";
                v.description = "changed";
                return v;
            });
            list()->setCurrentRow(2);
            button("calDataButton")->click();
            QCOMPARE(prompter_.shown,
                     QStringList{QStringLiteral("Warning: New base address will cause some\ntables "
                                                "to be deleted. Continue anyway?")});
            // Only "a" at offset 0 stays inside 0x0000-0xFFFF.
            QCOMPARE(names(), yes ? QStringList{"a"} : (QStringList{"a", "C", "b"}));
            QCOMPARE(w.primary().description,
                     yes ? std::string("changed") : std::string("Tevra Calibration"));
            QCOMPARE(selected(), yes ? QString() : QStringLiteral("b"));
            // The graph shows what the list selects, and nothing once it was deleted.
            QCOMPARE(graph()->entry(), yes ? nullptr : w.primary().FindByName("b", nullptr));
        }
    }

    // ---------------------------------------------------------------- Save and Options
    void saveWritesTheTablesTheDialogAsksFor() {
        MainWindow& w = openThree();
        const QString copy = dir_->filePath(QStringLiteral("copy.bin"));
        saveAnswer_ = SaveValues{path(copy), true, true, true};
        button("saveButton")->click();
        // Both boxes checked: image and definitions go beside the new name, which
        // the document now carries.
        QVERIFY(QFile::exists(copy));
        QVERIFY(QFile::exists(dir_->filePath(QStringLiteral("copy.tbl"))));
        QCOMPARE(w.shownTitle(), QStringLiteral("Tevra  ") + copy);
        QCOMPARE(QString::fromStdString(w.primary().definitionPath),
                 dir_->filePath(QStringLiteral("copy.tbl")));
    }

    void optionsReopenTheComparisonEveryTime() {
        MainWindow& w = openThree();
        const QString stem = dir_->filePath(QStringLiteral("other"));
        const QString other = writeImage(stem, 0x4000, {{"first", 0xC000}});
        optionsAnswer_ = OptionsValues{true, false, path(other), 100};
        button("optionsButton")->click();
        QVERIFY(w.comparison().FindByName("first", nullptr));
        // The same path again, its definitions changed meanwhile: read afresh.
        writeImage(stem, 0x4000, {{"second", 0xC000}});
        button("optionsButton")->click();
        QCOMPARE(optionsShown_.back().comparisonPath, path(other));
        QVERIFY(!w.comparison().FindByName("first", nullptr));
        QVERIFY(w.comparison().FindByName("second", nullptr));
        // A path naming nothing loadable: the message, and no comparison.
        optionsAnswer_->comparisonPath = path(dir_->filePath(QStringLiteral("none.bin")));
        button("optionsButton")->click();
        QCOMPARE(prompter_.shown,
                 QStringList{QStringLiteral("Error: Failed to load binary file!")});
        QVERIFY(!w.comparison().hasImage());
    }

    // ---------------------------------------------------------------- Scan For Tables
    void scanRunsTheChosenScanAndRefreshesTheList() {
        // CE C1 00: the code loads 0xC100 into X.
        const QString file = writeImage(dir_->filePath(QStringLiteral("code")), 0x4000, {},
                                        {{0x20, 0xCE}, {0x21, 0xC1}, {0x22, 0x00}});
        MainWindow& w = openFile(file);
        button("scanButton")->click(); // cancelled
        QCOMPARE(scans_, 1);
        QCOMPARE(list()->count(), 0);
        scanAnswer_ = ScanValues{ScanValues::CrossIdentify, "", 50};
        button("scanButton")->click(); // no path: nothing
        QCOMPARE(list()->count(), 0);
        scanAnswer_ = ScanValues{};
        button("scanButton")->click();
        QCOMPARE(names().size(), 1);
        QVERIFY(names().front().startsWith(QStringLiteral("TC100")));
        QCOMPARE(selected(), names().front());
        QVERIFY(w.primary().definitionsModified());
    }

    void crossIdentifyThresholdFollowsTheSlider_data() {
        QTest::addColumn<int>("quality");
        QTest::addColumn<bool>("named");
        // Identical partners score 1.0: taken above 0.5, never above 1.0.
        QTest::newRow("0") << 0 << true;
        QTest::newRow("100") << 100 << false;
    }
    void crossIdentifyThresholdFollowsTheSlider() {
        QFETCH(int, quality);
        QFETCH(bool, named);
        const std::vector<std::pair<std::size_t, std::uint8_t>> code{
            {0x20, 0xCE}, {0x21, 0xC1}, {0x22, 0x00}, {0x100, 0x42}};
        const QString known = writeImage(dir_->filePath(QStringLiteral("known")), 0x4000,
                                         {{"Idle Speed", 0xC100}}, code);
        const QString bare = writeImage(dir_->filePath(QStringLiteral("bare")), 0x4000, {}, code);
        MainWindow& w = openFile(bare);
        scanAnswer_ = ScanValues{ScanValues::CrossIdentify, path(known), quality};
        button("scanButton")->click();
        QCOMPARE(w.primary().FindByName("Idle Speed", nullptr) != nullptr, named);
        QCOMPARE(list()->count(), 1);
    }

    // ---------------------------------------------------------------- Data Properties, editing
    void editingRenamesTheSelectedEntry() {
        MainWindow& w = openThree();
        list()->setCurrentRow(1); // C at C008
        propertiesAnswers_.push_back(ok([](PropertiesValues& v) {
            v.name = "Coolant";
            v.hexAddress = "C020";
            properties::applyQuickSet(v, 4); // X = Coolant Temp
        }));
        doubleClick();
        QCOMPARE(propertiesShown_.size(), std::size_t{1});
        QCOMPARE(propertiesShown_[0].name, std::string("C"));
        QCOMPARE(propertiesShown_[0].hexAddress, std::string("C008"));
        QCOMPARE(names(), (QStringList{"a", "b", "Coolant"}));
        CalEntry* e = w.primary().FindByName("Coolant", nullptr);
        QVERIFY(e);
        QCOMPARE(e->address, 0xC020);
        QCOMPARE(e->dataOffset(), 0x20);
        QCOMPARE(e->xName, std::string("Coolant Temperature"));
        QVERIFY(w.primary().definitionsModified());
        QVERIFY(w.shownTitle().endsWith(QLatin1Char('*')));
    }

    void editingRefusesDuplicatesAndReopensOnTheStoredValues_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("message");
        QTest::newRow("name in another case") << "A"
                                              << "C010"
                                              << "Error: An entry with that name already exists!";
        QTest::newRow("address") << "b2"
                                 << "c000"
                                 << "Error: An entry with that address already exists!";
        QTest::newRow("no digit") << "b2"
                                  << "zz"
                                  << "Error: Please enter the address in hexadecimal.";
        QTest::newRow("outside") << "b2"
                                 << "8000"
                                 << "Error: That address lies outside the image (C000 to FFFF)!";
    }
    void editingRefusesDuplicatesAndReopensOnTheStoredValues() {
        QFETCH(QString, name);
        QFETCH(QString, address);
        QFETCH(QString, message);
        MainWindow& w = openThree();
        list()->setCurrentRow(2); // b at C010
        propertiesAnswers_.push_back(ok([&](PropertiesValues& v) {
            v.name = name.toStdString();
            v.hexAddress = address.toStdString();
        }));
        doubleClick();
        QCOMPARE(prompter_.shown, QStringList{message});
        QCOMPARE(propertiesShown_.size(), std::size_t{2});
        QCOMPARE(propertiesShown_[1].name, std::string("b"));
        QCOMPARE(propertiesShown_[1].hexAddress, std::string("C010"));
        QCOMPARE(names(), (QStringList{"a", "C", "b"}));
        QVERIFY(!w.primary().definitionsModified());
    }

    void editingKeepsItsOwnNameAndAddress() {
        MainWindow& w = openThree();
        list()->setCurrentRow(0);
        propertiesAnswers_.push_back(ok([](PropertiesValues& v) { v.description = "kept"; }));
        doubleClick();
        QVERIFY(prompter_.shown.isEmpty());
        QCOMPARE(w.primary().FindByName("a", nullptr)->description, std::string("kept"));
    }

    void nextAndPrevWrapAroundTheList() {
        openThree(); // a, C, b by address
        list()->setCurrentRow(0);
        propertiesAnswers_ = {step(-1), step(+1), step(+1),
                              ok([](PropertiesValues& v) { v.name = "renamed"; })};
        doubleClick();
        QStringList opened;
        for (const PropertiesValues& v : propertiesShown_)
            opened << QString::fromStdString(v.name);
        // Prev on the first line opens the last; Next on the last opens the first.
        QCOMPARE(opened, (QStringList{"a", "b", "a", "C"}));
        QCOMPARE(names(), (QStringList{"a", "renamed", "b"}));
    }

    void nextDiscardsTheEdits() {
        MainWindow& w = openThree();
        list()->setCurrentRow(0);
        propertiesAnswers_.push_back([](PropertiesValues v) {
            v.name = "changed";
            return PropertiesResult{false, +1, v};
        });
        doubleClick();
        QCOMPARE(names(), (QStringList{"a", "C", "b"}));
        QCOMPARE(selected(), QStringLiteral("C"));
        QVERIFY(!w.primary().definitionsModified());
    }

    // ---------------------------------------------------------------- Data Properties, creating
    void newCreatesAndSelectsTheEntry() {
        MainWindow& w = openThree();
        list()->setCurrentRow(0);
        propertiesAnswers_.push_back(ok([](PropertiesValues& v) {
            v.name = "Fresh";
            v.hexAddress = "C004";
            v.type = EntryType::FlagByte;
        }));
        button("newButton")->click();
        const PropertiesValues& shown = propertiesShown_.at(0);
        QCOMPARE(shown.name, std::string("New Table"));
        QCOMPARE(shown.hexAddress, std::string("C000"));
        QCOMPARE(shown.xMax, std::string("255"));
        QCOMPARE(shown.itemNames[0], std::string("Unused"));
        QCOMPARE(names(), (QStringList{"a", "Fresh", "C", "b"}));
        QCOMPARE(selected(), QStringLiteral("Fresh"));
        CalEntry* e = w.primary().FindByName("fresh", nullptr);
        QCOMPARE(e->type, EntryType::FlagByte);
        QVERIFY(!e->userFlag);
        QVERIFY(w.primary().definitionsModified());
    }

    void newRefusalReopensWithTheTypedValues() {
        MainWindow& w = openThree();
        // The default address C000 is taken by "a".
        propertiesAnswers_ = {ok([](PropertiesValues& v) { v.name = "Typed"; }),
                              ok([](PropertiesValues& v) { v.hexAddress = "C030"; })};
        button("newButton")->click();
        QCOMPARE(prompter_.shown,
                 QStringList{QStringLiteral("Error: An entry with that address already exists!")});
        QCOMPARE(propertiesShown_.at(1).name, std::string("Typed"));
        QCOMPARE(w.primary().FindByName("Typed", nullptr)->address, 0xC030);
        QCOMPARE(liveEntries(), 4);
    }

    void newCancelledOrNavigatedLeavesNoEntry() {
        for (int s : {0, 1, -1}) {
            MainWindow& w = openThree();
            propertiesAnswers_.push_back(step(s));
            button("newButton")->click();
            QCOMPARE(liveEntries(), 3);
            QCOMPARE(list()->count(), 3);
            QVERIFY(!w.primary().definitionsModified());
        }
    }

    void newWithEveryEntryInUseSaysSo() {
        MainWindow& w = openThree();
        while (w.primary().NewEntry()) {
        }
        button("newButton")->click();
        QVERIFY(propertiesShown_.empty());
        QCOMPARE(prompter_.shown,
                 QStringList{QStringLiteral("Error: The calibration already holds 1000 entries!")});
    }

    void withoutAnImageNewAndDoubleClickDoNothing() {
        open();
        button("newButton")->click();
        window_->onEditEntry();
        QVERIFY(propertiesShown_.empty());
        QVERIFY(prompter_.shown.isEmpty());
    }
};

QTEST_MAIN(MainWindowDialogsTest)
#include "MainWindowDialogsTest.moc"
