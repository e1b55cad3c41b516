#include "GraphWidget.h"

#include "GraphGeometry.h"
#include "ViewFixture.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include <memory>

using namespace tevra;
using tevra::testing::OneEntry;

namespace {

const PlotRect kPlot = plotRect(kGraphWidth, kGraphHeight);

// The control in a window of its own, beside another focusable widget, with
// the readout labels of the main window.
struct Window {
    QWidget window;
    GraphWidget* graph = new GraphWidget;
    QLineEdit* other = new QLineEdit;
    QLabel* x = new QLabel(QStringLiteral("X: 00000.00"));
    QLabel* y = new QLabel(QStringLiteral("Y: 00000.00"));

    explicit Window(CalEntry* entry) {
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(graph);
        layout->addWidget(other);
        layout->addWidget(x);
        layout->addWidget(y);
        graph->SetReadoutLabels(x, y);
        graph->SetEntry(entry);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        other->setFocus();
        graph->setFocus();
        QVERIFY(graph->hasFocus());
    }

    void keys(std::initializer_list<Qt::Key> list, Qt::KeyboardModifiers m = Qt::NoModifier) {
        for (Qt::Key k : list)
            QTest::keyClick(graph, k, m);
    }
    void move(QPoint p, Qt::MouseButtons buttons = Qt::NoButton,
              Qt::KeyboardModifiers m = Qt::NoModifier) {
        QMouseEvent e(QEvent::MouseMove, p, graph->mapToGlobal(p), Qt::NoButton, buttons, m);
        QApplication::sendEvent(graph, &e);
    }
};

QPoint pixelOf(const CalEntry& e, int i) {
    return {pointPixelX(kPlot, e.GetX(i)), pointPixelY(kPlot, e.type, e.GetY(i))};
}

// The pixel whose unit-square position gives the raw 8-bit point (x, y) on a drag.
QPoint pixelForDrag(int rawX, int rawY) {
    const int px = kPlot.left + (rawX * kPlot.width() + 254) / 255;
    const int py = kPlot.bottom - (rawY * kPlot.height() + 254) / 255;
    return {px, py};
}

} // namespace

class GraphWidgetTest : public QObject {
    Q_OBJECT

private slots:
    void focusSelectsTheRememberedPoint();
    void sixteenBitEndPointKeys();
    void arrowNudgesKeepSlopesConsistent();
    void arrowsNeverMoveFocus();
    void dragFollowsThePointer();
    void refusedDragLeavesBytes();
    void pressFarFromEveryPointStartsNoDrag();
    void dragStartsPastTheDragDistance_data();
    void dragStartsPastTheDragDistance();
    void constantsStopAtTheirEnds_data();
    void constantsStopAtTheirEnds();
    void constantTakesThePointersHeight();
    void digitKeys();
    void boxClicks();
    void gridCursorAndCells();
    void gridCellsStopAtTheirRange();
    void rightPressOpensNoMenuOfTheWindow();
    void cursorStaysInsideANewGrid();
    void readOnlyChangesNoByte();
    void readoutTexts_data();
    void readoutTexts();
    void editGestures();
    void paintsTheSelectionOnlyWhileFocused();
};

void GraphWidgetTest::focusSelectsTheRememberedPoint() {
    OneEntry f(EntryType::Unsigned8Table, testing::eightBitTable());
    Window w(f.entry);
    QCOMPARE(w.graph->selectedPoint(), 0);
    QCOMPARE(w.graph->cellCursor(), (CellIndex{0, 0}));
    w.keys({Qt::Key_PageDown, Qt::Key_PageDown});
    QCOMPARE(w.graph->selectedPoint(), 2);
    w.other->setFocus();
    QCOMPARE(w.graph->selectedPoint(), -1);
    QCOMPARE(w.graph->cellCursor(), (CellIndex{-1, -1}));
    w.graph->setFocus();
    QCOMPARE(w.graph->selectedPoint(), 2);
    w.keys({Qt::Key_PageDown});
    QCOMPARE(w.graph->selectedPoint(), 2); // the last point stays selected
    w.keys({Qt::Key_PageUp, Qt::Key_PageUp, Qt::Key_PageUp});
    QCOMPARE(w.graph->selectedPoint(), 0);
}

void GraphWidgetTest::sixteenBitEndPointKeys() {
    OneEntry f(EntryType::Unsigned16Table, testing::sixteenBitTable());
    Window w(f.entry);
    w.keys(
        {Qt::Key_PageDown, Qt::Key_PageDown, Qt::Key_PageDown, Qt::Key_PageDown, Qt::Key_PageDown});
    QCOMPARE(w.graph->selectedPoint(), 4); // the end point
    const std::vector<int> before = f.bytes(21);
    w.keys({Qt::Key_Left, Qt::Key_Right});
    QCOMPARE(f.bytes(21), before);
    w.keys({Qt::Key_Up});
    QCOMPARE(f.entry->GetSlope(3), 0x0108);
    w.keys({Qt::Key_Down, Qt::Key_Down});
    QCOMPARE(f.entry->GetSlope(3), 0x00F8);
    QCOMPARE(f.entry->GetX(3), 192);
    QVERIFY(f.cal.dataModified());
}

void GraphWidgetTest::arrowNudgesKeepSlopesConsistent() {
    OneEntry f(EntryType::Unsigned8Table, testing::eightBitTable());
    Window w(f.entry);
    w.keys({Qt::Key_PageDown, Qt::Key_Up, Qt::Key_Up, Qt::Key_Right});
    QCOMPARE(f.entry->GetX(1), 129);
    QCOMPARE(f.entry->GetY(1), 66);
    // Slopes of both segments next to the moved point follow it.
    QCOMPARE(f.bytes(13), (std::vector<int>{3, 0, 0, 0, (66 * 256 / 129) & 0xFF, 129, 66, 0,
                                            (62 * 256) / 126, 255, 128, 0, 0}));
    // X stops short of the neighbours: moving onto them is refused.
    f.entry->OffsetPoint(1, 0, 0);
    w.keys({Qt::Key_PageUp, Qt::Key_Left});
    QCOMPARE(f.entry->GetX(0), 0);
}

void GraphWidgetTest::arrowsNeverMoveFocus() {
    OneEntry f(EntryType::FlagByte, {0});
    Window w(f.entry);
    w.keys({Qt::Key_Down, Qt::Key_Right, Qt::Key_Up, Qt::Key_Left, Qt::Key_Down});
    QVERIFY(w.graph->hasFocus());
    w.graph->SetEntry(nullptr);
    w.keys({Qt::Key_Down, Qt::Key_Right});
    QVERIFY(w.graph->hasFocus());
}

void GraphWidgetTest::dragFollowsThePointer() {
    OneEntry f(EntryType::Unsigned8Table, testing::eightBitTable());
    Window w(f.entry);
    QTest::mousePress(w.graph, Qt::LeftButton, {}, pixelOf(*f.entry, 1));
    QCOMPARE(w.graph->selectedPoint(), 1);
    QVERIFY(w.graph->dragging());
    w.move(pixelForDrag(160, 100), Qt::LeftButton);
    QCOMPARE(f.entry->GetX(1), 160);
    QCOMPARE(f.entry->GetY(1), 100);
    QCOMPARE(f.bytes(5)[3] * 256 + f.bytes(5)[4], 100 * 256 / 160); // slope 0 follows
    w.move(pixelForDrag(300, 30), Qt::LeftButton); // past point 2: X refused, Y taken
    QCOMPARE(f.entry->GetX(1), 160);
    QTest::mouseRelease(w.graph, Qt::LeftButton, {}, pixelForDrag(160, 30));
    QVERIFY(!w.graph->dragging());
    const std::vector<int> after = f.bytes(13);
    w.move(pixelForDrag(60, 60), Qt::LeftButton); // button held again, but no press here
    QCOMPARE(f.bytes(13), after);
}

void GraphWidgetTest::refusedDragLeavesBytes() {
    OneEntry f(EntryType::Unsigned16Table, testing::sixteenBitTable());
    Window w(f.entry);
    const std::vector<int> before = f.bytes(21);
    QTest::mousePress(w.graph, Qt::LeftButton, {}, pixelOf(*f.entry, 1));
    QCOMPARE(w.graph->selectedPoint(), 1);
    // Beyond point 2 in X and above it in Y: both refused, nothing changes.
    w.move({pointPixelX(kPlot, 140), pointPixelY(kPlot, EntryType::Unsigned16Table, 0x900)},
           Qt::LeftButton);
    QCOMPARE(f.bytes(21), before);
    QTest::mouseRelease(w.graph, Qt::LeftButton);
}

void GraphWidgetTest::pressFarFromEveryPointStartsNoDrag() {
    OneEntry f(EntryType::Unsigned8Table, testing::eightBitTable());
    Window w(f.entry);
    w.keys({Qt::Key_PageDown});
    QTest::mousePress(w.graph, Qt::LeftButton, {}, QPoint(kPlot.left + 60, kPlot.top + 20));
    QCOMPARE(w.graph->selectedPoint(), 1);
    QVERIFY(!w.graph->dragging());
}

// Offsets are in units of the platform's drag distance d, plus a few pixels.
void GraphWidgetTest::dragStartsPastTheDragDistance_data() {
    QTest::addColumn<QList<QPointF>>("moves"); // (x, y): x * d + sign, in pixels
    QTest::addColumn<bool>("xMoves");
    QTest::addColumn<bool>("yMoves");
    // A jiggle while clicking: no byte changes, nothing is marked modified.
    QTest::newRow("jiggle inside the distance")
        << QList<QPointF>{{0.4, 0}, {0, -0.4}, {-0.4, 0.4}} << false << false;
    QTest::newRow("vertical drag keeps X")
        << QList<QPointF>{{0, -2}, {0.5, -3}, {-0.9, -4}} << false << true;
    QTest::newRow("vertical, then sideways past the distance")
        << QList<QPointF>{{0, -2}, {2, -3}} << true << true;
    QTest::newRow("sideways from the start") << QList<QPointF>{{3, -1}} << true << true;
}

void GraphWidgetTest::dragStartsPastTheDragDistance() {
    QFETCH(QList<QPointF>, moves);
    QFETCH(bool, xMoves);
    QFETCH(bool, yMoves);
    OneEntry f(EntryType::Unsigned8Table, testing::eightBitTable());
    Window w(f.entry);
    const int d = QApplication::startDragDistance();
    const QPoint press = pixelOf(*f.entry, 1);
    QTest::mousePress(w.graph, Qt::LeftButton, {}, press);
    QCOMPARE(w.graph->selectedPoint(), 1);
    for (const QPointF& m : moves)
        w.move(press + QPoint(qRound(m.x() * d), qRound(m.y() * d)), Qt::LeftButton);
    QTest::mouseRelease(w.graph, Qt::LeftButton, {}, press);
    QCOMPARE(f.entry->GetX(1) != 128, xMoves);
    QCOMPARE(f.entry->GetY(1) != 64, yMoves);
    QCOMPARE(f.cal.dataModified(), xMoves || yMoves);
}

void GraphWidgetTest::constantsStopAtTheirEnds_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<QList<int>>("bytes");
    QTest::addColumn<int>("key");
    QTest::addColumn<QList<int>>("expected");
    QTest::addColumn<bool>("modified");
    QTest::newRow("8-bit up to 0xFF")
        << 3 << QList<int>{0xFE} << int(Qt::Key_Up) << QList<int>{0xFF} << true;
    QTest::newRow("8-bit down to 0")
        << 3 << QList<int>{0x01} << int(Qt::Key_Down) << QList<int>{0x00} << true;
    QTest::newRow("8-bit stays at 0xFF")
        << 3 << QList<int>{0xFF} << int(Qt::Key_Up) << QList<int>{0xFF} << false;
    QTest::newRow("8-bit stays at 0")
        << 3 << QList<int>{0x00} << int(Qt::Key_Down) << QList<int>{0x00} << false;
    QTest::newRow("16-bit carries")
        << 4 << QList<int>{0x12, 0xFF} << int(Qt::Key_Up) << QList<int>{0x13, 0x00} << true;
    QTest::newRow("16-bit stays at 0xFFFF")
        << 4 << QList<int>{0xFF, 0xFF} << int(Qt::Key_Up) << QList<int>{0xFF, 0xFF} << false;
    QTest::newRow("16-bit stays at 0")
        << 4 << QList<int>{0, 0} << int(Qt::Key_Down) << QList<int>{0, 0} << false;
    QTest::newRow("sideways does nothing")
        << 3 << QList<int>{0x40} << int(Qt::Key_Left) << QList<int>{0x40} << false;
}

void GraphWidgetTest::constantsStopAtTheirEnds() {
    QFETCH(int, type);
    QFETCH(QList<int>, bytes);
    QFETCH(int, key);
    QFETCH(QList<int>, expected);
    QFETCH(bool, modified);
    OneEntry f(static_cast<EntryType>(type), std::vector<int>(bytes.begin(), bytes.end()));
    Window w(f.entry);
    w.keys({static_cast<Qt::Key>(key)});
    QCOMPARE(f.bytes(static_cast<int>(expected.size())),
             std::vector<int>(expected.begin(), expected.end()));
    QCOMPARE(f.cal.dataModified(), modified);
}

void GraphWidgetTest::constantTakesThePointersHeight() {
    OneEntry f(EntryType::Constant8, {0x10});
    Window w(f.entry);
    QTest::mousePress(w.graph, Qt::LeftButton, {}, QPoint(100, 300));
    QVERIFY(w.graph->dragging());
    w.move(QPoint(100, kPlot.top), Qt::LeftButton);
    QCOMPARE(f.byte(0), 0xFF);
    w.move(QPoint(100, kPlot.bottom), Qt::LeftButton);
    QCOMPARE(f.byte(0), 0x00);
}

void GraphWidgetTest::digitKeys() {
    OneEntry flags(EntryType::FlagByte, {0x00});
    flags.entry->itemNames[2] = "A/C";
    Window w(flags.entry);
    w.keys({Qt::Key_5, Qt::Key_0});                          // "Unused" names do nothing
    QTest::keyClick(w.graph, Qt::Key_2, Qt::KeypadModifier); // not the main keyboard
    QCOMPARE(flags.byte(0), 0x00);
    QVERIFY(!flags.cal.dataModified());
    w.keys({Qt::Key_2});
    QCOMPARE(flags.byte(0), 0x04);
    QVERIFY(flags.cal.dataModified());
    w.keys({Qt::Key_2});
    QCOMPARE(flags.byte(0), 0x00);

    OneEntry list(EntryType::ValueList, {0x00});
    list.entry->itemNames[1] = "Manual";
    list.entry->itemValues[1] = 0x1A5; // only the low 8 bits are stored
    w.graph->SetEntry(list.entry);
    w.keys({Qt::Key_1});
    QCOMPARE(list.byte(0), 0xA5);
    w.keys({Qt::Key_6});
    QCOMPARE(list.byte(0), 0xA5);
}

void GraphWidgetTest::boxClicks() {
    OneEntry f(EntryType::FlagByte, {0x00});
    f.entry->itemNames[3] = "Fan";
    Window w(f.entry);
    const PixelPoint o = boxOrigin(kPlot);
    QTest::mouseClick(w.graph, Qt::LeftButton, {}, QPoint(o.x + 24, o.y + 90 + 24));
    QCOMPARE(f.byte(0), 0x08);
    QTest::mouseClick(w.graph, Qt::LeftButton, {}, QPoint(o.x + 25, o.y + 90)); // edge excluded
    QTest::mouseClick(w.graph, Qt::LeftButton, {}, QPoint(o.x + 5, o.y + 5));   // unused row 0
    QCOMPARE(f.byte(0), 0x08);
}

void GraphWidgetTest::gridCursorAndCells() {
    std::vector<int> bytes{3, 4, 0x00};
    bytes.resize(3 + 12, 0x10);
    OneEntry f(EntryType::Table3D, bytes);
    Window w(f.entry);
    w.keys({Qt::Key_Right, Qt::Key_Right, Qt::Key_Right, Qt::Key_Right, Qt::Key_Down, Qt::Key_Down,
            Qt::Key_Down});
    QCOMPARE(w.graph->cellCursor(), (CellIndex{3, 2})); // stops at the last column and row
    w.keys({Qt::Key_PageDown});
    QCOMPARE(f.entry->GetCell(3, 2), 0x11);
    w.keys({Qt::Key_PageUp, Qt::Key_PageUp});
    QCOMPARE(f.entry->GetCell(3, 2), 0x0F);
    const GridRect g = gridRect(kGraphWidth, kGraphHeight, 4, 3);
    const QPoint cell10(g.x0 + 21 + 5, g.y0 + 5);
    QTest::mouseClick(w.graph, Qt::LeftButton, {}, cell10);
    QCOMPARE(f.entry->GetCell(1, 0), 0x11);
    QCOMPARE(w.graph->cellCursor(), (CellIndex{3, 2})); // a click does not move the cursor
    QTest::mouseClick(w.graph, Qt::RightButton, {}, cell10);
    QTest::mouseClick(w.graph, Qt::RightButton, {}, cell10);
    QCOMPARE(f.entry->GetCell(1, 0), 0x0F);
    w.keys({Qt::Key_Left, Qt::Key_Left, Qt::Key_Left, Qt::Key_Left, Qt::Key_Up, Qt::Key_Up,
            Qt::Key_Up});
    QCOMPARE(w.graph->cellCursor(), (CellIndex{0, 0}));
}

void GraphWidgetTest::gridCellsStopAtTheirRange() {
    struct Case {
        int signedByte, cell;
        Qt::Key key;
        int expected;
    };
    for (const Case c :
         {Case{0xFF, 0x7F, Qt::Key_PageDown, 0x7F}, Case{0xFF, 0x80, Qt::Key_PageUp, 0x80},
          Case{0x00, 0xFF, Qt::Key_PageDown, 0xFF}, Case{0x00, 0x00, Qt::Key_PageUp, 0x00},
          Case{0xFF, 0xFF, Qt::Key_PageDown, 0x00}}) {
        std::vector<int> bytes{3, 3, c.signedByte, c.cell};
        bytes.resize(3 + 9, 0);
        OneEntry f(EntryType::Table3D, bytes);
        Window w(f.entry);
        w.keys({c.key});
        QCOMPARE(f.byte(3), c.expected);
    }
}

// A right press is the 3D table's minus button; the window's own context menu
// (which carries "&About Tevra") must not open over it and take the keyboard.
void GraphWidgetTest::rightPressOpensNoMenuOfTheWindow() {
    std::vector<int> bytes{3, 3, 0x00};
    bytes.resize(3 + 9, 0x10);
    OneEntry f(EntryType::Table3D, bytes);
    Window w(f.entry);
    struct MenuRequests : QObject {
        int count = 0;
        bool eventFilter(QObject*, QEvent* e) override {
            count += e->type() == QEvent::ContextMenu;
            return false;
        }
    } requests;
    w.window.installEventFilter(&requests);
    const GridRect g = gridRect(kGraphWidth, kGraphHeight, 3, 3);
    const QPoint cell(g.x0 + 5, g.y0 + 5);
    QContextMenuEvent menu(QContextMenuEvent::Mouse, cell, w.graph->mapToGlobal(cell));
    QApplication::sendEvent(w.graph, &menu);
    QCOMPARE(requests.count, 0);
}

void GraphWidgetTest::cursorStaysInsideANewGrid() {
    std::vector<int> big{5, 5, 0};
    big.resize(3 + 25, 0);
    OneEntry f(EntryType::Table3D, big);
    Window w(f.entry);
    w.keys({Qt::Key_Right, Qt::Key_Right, Qt::Key_Right, Qt::Key_Right, Qt::Key_Down});
    QCOMPARE(w.graph->cellCursor(), (CellIndex{4, 1}));
    OneEntry small(EntryType::Table3D, {3, 3, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9});
    w.graph->SetEntry(small.entry);
    const CellIndex c = w.graph->cellCursor();
    QVERIFY(c.column >= 0 && c.column < 3 && c.row >= 0 && c.row < 3);
    w.keys({Qt::Key_PageDown});
    QCOMPARE(small.entry->GetCell(c.column, c.row), 3 * c.row + c.column + 2);
}

void GraphWidgetTest::readOnlyChangesNoByte() {
    OneEntry table(EntryType::Unsigned8Table, testing::eightBitTable(), false);
    Window w(table.entry);
    const std::vector<int> before = table.bytes(13);
    w.keys({Qt::Key_PageDown, Qt::Key_Up, Qt::Key_Right, Qt::Key_Down, Qt::Key_Left});
    QCOMPARE(w.graph->selectedPoint(), 1); // the selection still moves
    QCOMPARE(w.x->text(), QStringLiteral("X:128.0 X"));
    QCOMPARE(w.y->text(), QStringLiteral("Y:64.00 Y"));
    QTest::mousePress(w.graph, Qt::LeftButton, {}, pixelOf(*table.entry, 2));
    QCOMPARE(w.graph->selectedPoint(), 2);
    w.move(pixelForDrag(200, 20), Qt::LeftButton);
    QTest::mouseRelease(w.graph, Qt::LeftButton);
    QCOMPARE(table.bytes(13), before);

    OneEntry flags(EntryType::FlagByte, {0x00}, false);
    flags.entry->itemNames[0] = "Bit";
    w.graph->SetEntry(flags.entry);
    w.keys({Qt::Key_0});
    const PixelPoint o = boxOrigin(kPlot);
    QTest::mouseClick(w.graph, Qt::LeftButton, {}, QPoint(o.x + 5, o.y + 5));
    QCOMPARE(flags.byte(0), 0x00);

    OneEntry constant(EntryType::Constant8, {0x40}, false);
    w.graph->SetEntry(constant.entry);
    w.keys({Qt::Key_Up});
    QCOMPARE(constant.byte(0), 0x40);

    OneEntry grid(EntryType::Table3D, {3, 3, 0, 5, 5, 5, 5, 5, 5, 5, 5, 5}, false);
    w.graph->SetEntry(grid.entry);
    w.keys({Qt::Key_PageDown, Qt::Key_Right});
    QCOMPARE(w.graph->cellCursor(), (CellIndex{1, 0}));
    const GridRect g = gridRect(kGraphWidth, kGraphHeight, 3, 3);
    QTest::mouseClick(w.graph, Qt::LeftButton, {}, QPoint(g.x0 + 5, g.y0 + 5));
    QCOMPARE(grid.bytes(12), (std::vector<int>{3, 3, 0, 5, 5, 5, 5, 5, 5, 5, 5, 5}));
    QVERIFY(!table.cal.dataModified() && !flags.cal.dataModified() &&
            !constant.cal.dataModified() && !grid.cal.dataModified());
}

void GraphWidgetTest::readoutTexts_data() {
    QTest::addColumn<QString>("xUnit");
    QTest::addColumn<QPoint>("at");
    QTest::addColumn<bool>("shift");
    QTest::addColumn<QString>("x");
    QTest::addColumn<QString>("y");
    // X spans -14.7..14.7, Y 0..256; the table's first point is (0, 0).
    QTest::newRow("vacuum") << "psi" << QPoint(kPlot.left, kPlot.top) << false
                            << "X:-14.7 psi (-30\")"
                            << "Y: 0.00 Y";
    QTest::newRow("shift shows the pointer's height")
        << "psi" << QPoint(kPlot.left, kPlot.top) << true << "X:-14.7 psi (-30\")"
        << "Y:256.00 Y";
    QTest::newRow("capitals, no suffix")
        << "PSI" << QPoint(kPlot.left, kPlot.top) << false << "X:-14.7 PSI"
        << "Y: 0.00 Y";
    QTest::newRow("boost") << "psi" << QPoint(kPlot.right, kPlot.bottom) << false << "X: 14.7 psi"
                           << "Y:128.00 Y";
    QTest::newRow("outside") << "psi" << QPoint(kPlot.right + 2, kPlot.bottom) << false << "X:"
                             << "Y:";
}

void GraphWidgetTest::readoutTexts() {
    QFETCH(QString, xUnit);
    QFETCH(QPoint, at);
    QFETCH(bool, shift);
    QFETCH(QString, x);
    QFETCH(QString, y);
    OneEntry f(EntryType::Unsigned8Table, testing::eightBitTable());
    f.entry->xMin = "-14.7";
    f.entry->xMax = "14.7";
    f.entry->xUnit = xUnit.toStdString();
    Window w(f.entry);
    w.move(at, Qt::NoButton, shift ? Qt::ShiftModifier : Qt::NoModifier);
    QCOMPARE(w.x->text(), x);
    QCOMPARE(w.y->text(), y);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(w.graph, &leave);
    QCOMPARE(w.x->text(), QStringLiteral("X:"));
    QCOMPARE(w.y->text(), QStringLiteral("Y:"));
}

void GraphWidgetTest::editGestures() {
    OneEntry f(EntryType::Unsigned8Table, testing::eightBitTable());
    Window w(f.entry);
    QSignalSpy started(w.graph, &GraphWidget::editGestureStarted);
    QSignalSpy finished(w.graph, &GraphWidget::editGestureFinished);
    int changedInside = 0;
    bool open = false;
    connect(w.graph, &GraphWidget::editGestureStarted, [&] { open = true; });
    connect(w.graph, &GraphWidget::editGestureFinished, [&] { open = false; });
    f.cal.setByteObserver([&](std::int64_t, std::uint8_t) { changedInside += open ? 1 : -1000; });

    w.keys({Qt::Key_Up});
    QCOMPARE(started.count(), 1);
    QCOMPARE(finished.count(), 1);
    QTest::mousePress(w.graph, Qt::LeftButton, {}, pixelOf(*f.entry, 1));
    w.move(pixelForDrag(140, 90), Qt::LeftButton);
    w.move(pixelForDrag(150, 95), Qt::LeftButton);
    QCOMPARE(started.count(), 2);
    QCOMPARE(finished.count(), 1); // one gesture for the whole drag
    QTest::mouseRelease(w.graph, Qt::LeftButton);
    QCOMPARE(finished.count(), 2);
    QVERIFY(changedInside > 0); // every byte changed inside a gesture

    f.cal.readOnly = true;
    w.keys({Qt::Key_Up, Qt::Key_PageDown});
    QCOMPARE(started.count(), 2);
}

void GraphWidgetTest::paintsTheSelectionOnlyWhileFocused() {
    OneEntry f(EntryType::Unsigned8Table, testing::eightBitTable());
    Window w(f.entry);
    w.keys({Qt::Key_PageDown});
    const QPoint p = pixelOf(*f.entry, 1);
    QCOMPARE(w.graph->grab().toImage().pixelColor(p.x() - 3, p.y() - 3), QColor(255, 0, 0));
    w.other->setFocus();
    QCOMPARE(w.graph->grab().toImage().pixelColor(p.x() - 3, p.y() - 3), QColor(255, 255, 255));
}

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    GraphWidgetTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "GraphWidgetTest.moc"
