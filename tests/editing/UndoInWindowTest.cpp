// Undo and redo in the main window, on the demo calibration: every kind of edit
// round-trips byte for byte, a drag is one step, and the history follows the
// calibration's lifecycle and the "Disable Editing Binary" box.
#include "CalibrationDataRules.h"
#include "GraphGeometry.h"
#include "GraphWidget.h"
#include "MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <memory>

using namespace tevra;

namespace {

using Bytes = std::vector<std::uint8_t>;

const PlotRect kPlot = plotRect(kGraphWidth, kGraphHeight);

QPoint pointPixel(const CalEntry& e, int i) {
    return {pointPixelX(kPlot, e.GetX(i)), pointPixelY(kPlot, e.type, e.GetY(i))};
}

void moveWithButton(GraphWidget* g, QPoint p) {
    QMouseEvent e(QEvent::MouseMove, p, g->mapToGlobal(p), Qt::NoButton, Qt::LeftButton,
                  Qt::NoModifier);
    QApplication::sendEvent(g, &e);
}

// Answers every question Yes and shows nothing.
class YesPrompter final : public AppPrompter {
public:
    void message(const std::string&, const std::string&) override {}
    bool askYesNo(const std::string&, const std::string&) override { return true; }
    Answer askYesNoCancel(const std::string&, const std::string&) override { return Answer::No; }
};

} // namespace

class UndoInWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<MainWindow> window_;
    std::optional<ScaleValues> scaleAnswer_;
    std::optional<CalDataValues> calDataAnswer_;
    YesPrompter prompter_;
    QString demo_;

    GraphWidget* graph() const { return window_->controls().graph; }
    const Bytes& image() const { return window_->primary().image(); }

    void select(const char* name) {
        QListWidget* list = window_->controls().list;
        const auto found = list->findItems(QLatin1String(name), Qt::MatchExactly);
        QVERIFY(!found.isEmpty());
        list->setCurrentItem(found.front());
        graph()->setFocus();
        QVERIFY(graph()->hasFocus());
    }

    void undoKey() { QTest::keyClick(graph(), Qt::Key_Z, Qt::ControlModifier); }
    void redoKey(bool withY) {
        if (withY)
            QTest::keyClick(graph(), Qt::Key_Y, Qt::ControlModifier);
        else
            QTest::keyClick(graph(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    }

    void setEditing(bool on) { window_->controls().disableEditing->setChecked(!on); }

private slots:
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        demo_ = dir_->filePath(QStringLiteral("demo.bin"));
        QVERIFY(QFile::copy(QStringLiteral(TEVRA_SOURCE_DIR "/resources/demo/demo.bin"), demo_));
        QVERIFY(QFile::copy(QStringLiteral(TEVRA_SOURCE_DIR "/resources/demo/demo.tbl"),
                            dir_->filePath(QStringLiteral("demo.tbl"))));
        MainWindowServices s;
        s.startupFolder = dir_->path();
        s.chooseImageFile = [this] { return demo_; };
        s.askScale = [this](const CalEntry&) { return scaleAnswer_; };
        s.prompter = &prompter_;
        s.askCalData = [this](const CalDataValues&) { return calDataAnswer_; };
        // Save writes the copy over the loaded files and keeps their names.
        s.askSave = [](const SaveValues& v) { return std::optional<SaveValues>(v); };
        window_ = std::make_unique<MainWindow>(std::move(s));
        window_->initialise();
        window_->show();
        window_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
        window_->onLoad();
        QVERIFY(window_->primary().hasImage());
        setEditing(true);
    }
    void cleanup() {
        window_->primary().SetDataModified(false);
        window_->primary().SetDefinitionsModified(false);
        window_.reset();
        dir_.reset();
    }

    void everyEditRoundTrips_data() {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<std::function<void(UndoInWindowTest&)>>("edit");
        QTest::addColumn<bool>("redoWithY");
        auto key = [](Qt::Key k) {
            return std::function<void(UndoInWindowTest&)>(
                [k](UndoInWindowTest& t) { QTest::keyClick(t.graph(), k); });
        };
        QTest::newRow("8-bit point up") << "Spark Advance" << key(Qt::Key_Up) << false;
        QTest::newRow("8-bit point right") << "Spark Advance" << key(Qt::Key_Right) << true;
        QTest::newRow("16-bit point down") << "Fuel Pulse Width" << key(Qt::Key_Down) << false;
        QTest::newRow("signed point up") << "Coolant Correction" << key(Qt::Key_Up) << true;
        QTest::newRow("constant up") << "Overboost Limit" << key(Qt::Key_Up) << false;
        QTest::newRow("16-bit constant down") << "Rev Limit" << key(Qt::Key_Down) << true;
        QTest::newRow("flag digit") << "Option Flags" << key(Qt::Key_0) << false;
        QTest::newRow("value list digit") << "Transmission Type" << key(Qt::Key_2) << true;
        QTest::newRow("3D cell page down")
            << "Volumetric Efficiency" << key(Qt::Key_PageDown) << false;
        QTest::newRow("3D cell click")
            << "Knock Retard" << std::function<void(UndoInWindowTest&)>([](UndoInWindowTest& t) {
                   const CalEntry* e = t.graph()->entry();
                   const GridRect g = gridRect(kGraphWidth, kGraphHeight, e->Columns(), e->Rows());
                   QTest::mouseClick(t.graph(), Qt::RightButton, {}, QPoint(g.x0 + 30, g.y0 + 30));
               })
            << true;
        QTest::newRow("modify all points")
            << "Boost Target" << std::function<void(UndoInWindowTest&)>([](UndoInWindowTest& t) {
                   ScaleValues v;
                   v.yPercent = 50;
                   t.scaleAnswer_ = v;
                   t.window_->onScale();
               })
            << false;
        QTest::newRow("modify all cells")
            << "Volumetric Efficiency"
            << std::function<void(UndoInWindowTest&)>([](UndoInWindowTest& t) {
                   ScaleValues v;
                   v.mode = ScaleValues::Add;
                   v.addValue = -7;
                   t.scaleAnswer_ = v;
                   t.window_->onScale();
               })
            << true;
    }
    void everyEditRoundTrips() {
        QFETCH(QString, entry);
        QFETCH(std::function<void(UndoInWindowTest&)>, edit);
        QFETCH(bool, redoWithY);
        select(entry.toLatin1().constData());
        const Bytes before = image();
        edit(*this);
        const Bytes after = image();
        QVERIFY2(after != before, "the edit must change the image");
        QVERIFY(window_->shownTitle().endsWith(QLatin1Char('*')));
        undoKey();
        QVERIFY(image() == before);
        // Back where the file was opened: nothing is unsaved.
        QVERIFY(!window_->primary().dataModified());
        QVERIFY(!window_->shownTitle().endsWith(QLatin1Char('*')));
        redoKey(redoWithY);
        QVERIFY(image() == after);
        QVERIFY(window_->primary().dataModified());
        undoKey();
        QVERIFY(image() == before);
    }

    void aDragIsOneStep() {
        select("Spark Advance");
        const Bytes before = image();
        const CalEntry* e = graph()->entry();
        const QPoint start = pointPixel(*e, 2);
        QTest::mousePress(graph(), Qt::LeftButton, {}, start);
        QVERIFY(graph()->dragging());
        for (int k = 1; k <= 10; ++k)
            moveWithButton(graph(), start + QPoint(k / 3, -6 * k));
        QTest::mouseRelease(graph(), Qt::LeftButton, {}, start + QPoint(3, -60));
        const Bytes dragged = image();
        QVERIFY(dragged != before);
        // One more step after the drag, so that undo must stop between them.
        QTest::keyClick(graph(), Qt::Key_Up);
        undoKey();
        QVERIFY(image() == dragged);
        undoKey();
        QVERIFY(image() == before);
        QCOMPARE(window_->editHistory().history().undoCount(), std::size_t{0});
    }

    void nothingIsUndoneWhileEditingIsDisabled() {
        select("Spark Advance");
        QTest::keyClick(graph(), Qt::Key_Up);
        const Bytes edited = image();
        setEditing(false);
        graph()->setFocus();
        window_->primary().SetDataModified(false);
        undoKey();
        QVERIFY(image() == edited);
        QVERIFY(!window_->primary().dataModified());
        setEditing(true);
        graph()->setFocus();
        undoKey();
        QVERIFY(image() != edited);
    }

    // The Edit menu says what Ctrl+Z would undo, and is greyed out with nothing to undo.
    void undoAndRedoAreNamedByTheEdit() {
        QAction* undo = window_->editHistory().undoAction();
        QAction* redo = window_->editHistory().redoAction();
        QVERIFY(!undo->isEnabled());
        QVERIFY(!redo->isEnabled());
        select("Spark Advance");
        QTest::keyClick(graph(), Qt::Key_Up);
        QCOMPARE(undo->text(), QStringLiteral("&Undo Move Point"));
        const QPoint start = pointPixel(*graph()->entry(), 2);
        QTest::mousePress(graph(), Qt::LeftButton, {}, start);
        moveWithButton(graph(), start + QPoint(0, -40));
        QTest::mouseRelease(graph(), Qt::LeftButton, {}, start + QPoint(0, -40));
        QVERIFY(undo->isEnabled());
        QCOMPARE(undo->text(), QStringLiteral("&Undo Drag Point"));
        undo->trigger();
        QCOMPARE(undo->text(), QStringLiteral("&Undo Move Point"));
        QVERIFY(redo->isEnabled());
        QCOMPARE(redo->text(), QStringLiteral("&Redo Drag Point"));
        undoKey();
        QVERIFY(!undo->isEnabled());
        QCOMPARE(undo->text(), QStringLiteral("&Undo"));
        select("Option Flags");
        QTest::keyClick(graph(), Qt::Key_0);
        QCOMPARE(undo->text(), QStringLiteral("&Undo Toggle Bit"));
        QVERIFY(!redo->isEnabled()); // a new edit drops what could be redone
    }

    // Undo and redo past the state last saved put the "*" on and off the title.
    void undoingToTheSavedStateClearsTheMark() {
        const QString clean = QStringLiteral("Tevra  ") + demo_;
        QCOMPARE(window_->shownTitle(), clean);
        select("Overboost Limit");
        QTest::keyClick(graph(), Qt::Key_Up);
        QTest::keyClick(graph(), Qt::Key_Up);
        QCOMPARE(window_->shownTitle(), clean + QLatin1Char('*'));
        undoKey();
        QCOMPARE(window_->shownTitle(), clean + QLatin1Char('*'));
        undoKey();
        QCOMPARE(window_->shownTitle(), clean);
        QVERIFY(!window_->hasUnsavedChanges());
        redoKey(false);
        QCOMPARE(window_->shownTitle(), clean + QLatin1Char('*'));
        // Saved with one step done: that is now the clean state, on both sides.
        window_->onSave();
        QCOMPARE(window_->shownTitle(), clean);
        undoKey();
        QCOMPARE(window_->shownTitle(), clean + QLatin1Char('*'));
        redoKey(true);
        QCOMPARE(window_->shownTitle(), clean);
        // A definition change counts too.
        window_->onDelete();
        QCOMPARE(window_->shownTitle(), clean + QLatin1Char('*'));
        undoKey();
        QCOMPARE(window_->shownTitle(), clean);
    }

    // Definition changes are steps of the same history, in order with byte edits.
    void definitionChangesAreUndoable() {
        QListWidget* list = window_->controls().list;
        const int lines = list->count();
        select("Spark Advance");
        QTest::keyClick(graph(), Qt::Key_Up);
        const Bytes edited = image();
        window_->onDelete();
        QCOMPARE(list->count(), lines - 1);
        QCOMPARE(window_->editHistory().undoAction()->text(), QStringLiteral("&Undo Delete Entry"));
        undoKey();
        QCOMPARE(list->count(), lines);
        QVERIFY(!list->findItems(QStringLiteral("Spark Advance"), Qt::MatchExactly).isEmpty());
        QVERIFY(image() == edited);
        undoKey(); // then the byte edit before it
        QVERIFY(image() != edited);
        redoKey(false);
        redoKey(false);
        QCOMPARE(list->count(), lines - 1);
        QVERIFY(image() == edited);

        // A rebase that drops entries outside 64 KB comes back whole.
        undoKey();
        const std::int32_t base = window_->primary().baseAddress;
        CalDataValues v = caldata::valuesOf(window_->primary());
        v.baseAddress = "F000";
        calDataAnswer_ = v;
        window_->onCalData(); // the "Warning" question is answered Yes by the prompter
        QVERIFY(window_->primary().baseAddress != base);
        QCOMPARE(window_->editHistory().undoAction()->text(),
                 QStringLiteral("&Undo Calibration Data"));
        undoKey();
        QCOMPARE(window_->primary().baseAddress, base);
        QCOMPARE(list->count(), lines);
    }

    void loadingOrClosingForgetsTheHistory() {
        select("Spark Advance");
        QTest::keyClick(graph(), Qt::Key_Up);
        QVERIFY(window_->editHistory().history().canUndo());
        window_->primary().SetDataModified(false);
        window_->onLoad();
        setEditing(true);
        QVERIFY(!window_->editHistory().history().canUndo());
        select("Spark Advance");
        QTest::keyClick(graph(), Qt::Key_Up);
        window_->closeCalibration();
        QVERIFY(!window_->editHistory().history().canUndo());
    }
};

QTEST_MAIN(UndoInWindowTest)
#include "UndoInWindowTest.moc"
