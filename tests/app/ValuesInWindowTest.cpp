// The values view in the real main window, on the demo calibration: shown and
// hidden with its button and key and remembered in Config.cfg, in step with the
// graph, and its edits undone like the graph's.
#include "GraphWidget.h"
#include "MainWindow.h"
#include "ValuesPanel.h"
#include "ValuesWidget.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace tevra;

class ValuesInWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<MainWindow> window_;
    int fileChoices_ = 0;

    GraphWidget* graph() const { return window_->controls().graph; }
    ValuesWidget* values() const { return window_->controls().valuesPanel->values(); }

    void open() {
        MainWindowServices s;
        s.startupFolder = dir_->path();
        s.chooseImageFile = [this] {
            ++fileChoices_;
            return dir_->filePath(QStringLiteral("demo.bin"));
        };
        window_ = std::make_unique<MainWindow>(std::move(s));
        window_->initialise();
        window_->show();
        window_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    }
    void select(const char* name) {
        QListWidget* list = window_->controls().list;
        const auto found = list->findItems(QLatin1String(name), Qt::MatchExactly);
        QVERIFY(!found.isEmpty());
        list->setCurrentItem(found.front());
    }
    QString config() const {
        QFile f(dir_->filePath(QStringLiteral("Config.cfg")));
        return f.open(QIODevice::ReadOnly) ? QString::fromLatin1(f.readAll()) : QString();
    }

private slots:
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        for (const char* name : {"demo.bin", "demo.tbl"})
            QVERIFY(QFile::copy(QStringLiteral(TEVRA_SOURCE_DIR "/resources/demo/") +
                                    QLatin1String(name),
                                dir_->filePath(QLatin1String(name))));
        open();
        window_->onLoad();
        QVERIFY(window_->primary().hasImage());
        window_->controls().disableEditing->setChecked(false);
    }
    void cleanup() {
        window_->primary().SetDataModified(false);
        window_.reset();
        dir_.reset();
    }

    void buttonAndKeyShowItAndConfigKeepsIt() {
        ValuesPanel* panel = window_->controls().valuesPanel;
        const int narrow = window_->width();
        QVERIFY(!panel->isVisible());
        QTest::mouseClick(window_->controls().valuesToggle, Qt::LeftButton);
        QVERIFY(panel->isVisible());
        QVERIFY(window_->width() > narrow);
        QVERIFY(panel->geometry().left() >= graph()->geometry().right());
        QTest::keyClick(window_.get(), Qt::Key_T, Qt::ControlModifier);
        QVERIFY(!panel->isVisible());
        QCOMPARE(window_->width(), narrow);
        QTest::keyClick(window_.get(), Qt::Key_T, Qt::ControlModifier);
        QVERIFY(panel->isVisible());

        window_->close();
        // The new key comes after the existing ones, which keep their order.
        const QStringList lines = config().split(QLatin1Char('\n'));
        QVERIFY(lines.size() >= 6);
        QVERIFY(lines[1].startsWith(QLatin1String("reload_last ")));
        QVERIFY(lines[3].startsWith(QLatin1String("flash_speed ")));
        QVERIFY(lines.mid(4).contains(QStringLiteral("values_view y")));
        window_.reset();
        open();
        QVERIFY(window_->controls().valuesPanel->isVisible());
        QVERIFY(window_->controls().valuesToggle->isChecked());
    }

    void graphAndValuesShowTheSameEntrySelectionAndEdits() {
        QTest::mouseClick(window_->controls().valuesToggle, Qt::LeftButton);
        select("Spark Advance");
        QCOMPARE(values()->entry(), graph()->entry());
        graph()->setFocus();
        QTest::keyClick(graph(), Qt::Key_PageDown);
        QTest::keyClick(graph(), Qt::Key_PageDown);
        QCOMPARE(values()->cursorRow(), 2);
        // A nudge in the graph is what the sheet shows at once.
        const QString before = values()->painter().valueText(1, 2, false);
        QTest::keyClick(graph(), Qt::Key_Up);
        QVERIFY(values()->painter().valueText(1, 2, false) != before);

        values()->setFocus();
        QTest::keyClick(values(), Qt::Key_Down);
        QCOMPARE(graph()->selectedPoint(), 3);

        select("Volumetric Efficiency");
        QCOMPARE(values()->entry()->type, EntryType::Table3D);
        values()->setFocus();
        QTest::keyClick(values(), Qt::Key_Right);
        QTest::keyClick(values(), Qt::Key_Down);
        QCOMPARE(graph()->cellCursor(), (CellIndex{1, 1}));
        graph()->setFocus();
        QCOMPARE(graph()->cellCursor(), (CellIndex{1, 1}));
        QTest::keyClick(graph(), Qt::Key_Right);
        QCOMPARE(values()->cursorColumn(), 2);
    }

    void typedValuesAreUndoneOneByOne() {
        QTest::mouseClick(window_->controls().valuesToggle, Qt::LeftButton);
        select("Volumetric Efficiency");
        const std::vector<std::uint8_t> start = window_->primary().image();
        values()->setFocus();
        for (const char* typed : {"11", "22", "33"}) {
            for (const char* c = typed; *c; ++c)
                QTest::keyClick(QApplication::focusWidget(), *c);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            QTest::keyClick(values(), Qt::Key_Right);
        }
        const CalEntry* e = values()->entry();
        QCOMPARE(e->GetCell(0, 0), 11);
        QCOMPARE(e->GetCell(2, 0), 33);
        QVERIFY(window_->shownTitle().endsWith(QLatin1Char('*')));
        // Interpolate the first row: one more step.
        QTest::keyClick(values(), Qt::Key_Home);
        values()->selectBlock({0, 0, e->Columns() - 1, 0});
        QTest::keyClick(values(), Qt::Key_I, Qt::ControlModifier);
        QCOMPARE(window_->editHistory().history().undoCount(), std::size_t{4});
        // Enter in the amount field is not the window's default button ("&Load").
        const int choices = fileChoices_;
        QLineEdit* amount = window_->controls().valuesPanel->amountField();
        amount->setFocus();
        QTest::keyClick(amount, Qt::Key_Return);
        QCOMPARE(fileChoices_, choices);
        for (int k = 0; k < 4; ++k)
            QTest::keyClick(values(), Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(window_->primary().image() == start);
    }
};

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ValuesInWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "ValuesInWindowTest.moc"
