// The values view driven with real key and mouse events, checked against the bytes.
#include "ValuesWidget.h"

#include "GraphFonts.h"
#include "ValuesPainter.h"
#include "ValuesPanel.h"
#include "ViewFixture.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <memory>

using namespace tevra;
using tevra::testing::OneEntry;

namespace {

// A 3 x 3 grid of cells 10..90 (unsigned), at the fixture's address.
std::vector<int> grid() {
    return {3, 3, 0, 10, 20, 30, 40, 50, 60, 70, 80, 90};
}

struct Panel {
    QWidget window;
    ValuesPanel* panel = new ValuesPanel(&window);
    ValuesWidget* values = panel->values();

    explicit Panel(CalEntry* entry) {
        panel->setGeometry(0, 0, 420, 400);
        values->SetEntry(entry);
        window.resize(420, 400);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        values->setFocus();
        QVERIFY(values->hasFocus());
    }
    void type(const QString& text) {
        for (QChar c : text)
            QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
    }
    void key(Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) {
        QTest::keyClick(QApplication::focusWidget(), k, m);
    }
    QPoint cellCentre(int column, int row) const {
        return values->painter().layout(values->showsRaw()).cellRect(column, row).center();
    }
    QPushButton* button(const char* name) const {
        return panel->findChild<QPushButton*>(QLatin1String(name));
    }
};

} // namespace

class ValuesWidgetTest : public QObject {
    Q_OBJECT

private slots:
    void typedValue_data();
    void typedValue();
    void shiftArrowsSelectAndStepIsOneGesture();
    void mouseBlockInterpolatesAndAmountsApply();
    void clipboardRoundTripAndBlocksThatDoNotFit();
    void sixteenBitEndPointShowsAndTakesTheExtrapolatedValue();
    void readOnlyRefusesWithAMessage();
    void cellsAreColouredBlueToRed();
};

void ValuesWidgetTest::typedValue_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<std::vector<int>>("bytes");
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<Qt::Key>("finish");
    QTest::addColumn<int>("byte");     // offset of the byte to check
    QTest::addColumn<int>("expected"); // its value afterwards
    QTest::addColumn<QString>("message");
    const auto u8 = int(EntryType::Unsigned8Table);
    const auto g = int(EntryType::Table3D);
    const std::vector<int> table = testing::eightBitTable();
    QTest::newRow("Y in range") << u8 << table << 1 << 1 << "100" << Qt::Key_Return << 6 << 100
                                << "";
    QTest::newRow("Y above range is clamped")
        << u8 << table << 1 << 1 << "999" << Qt::Key_Enter << 6 << 255 << "Out of range";
    QTest::newRow("X between its neighbours")
        << u8 << table << 0 << 1 << "100" << Qt::Key_Return << 5 << 100 << "";
    QTest::newRow("X past its neighbour is refused")
        << u8 << table << 0 << 1 << "0" << Qt::Key_Return << 5 << 128 << "Not stored";
    QTest::newRow("Escape cancels")
        << u8 << table << 1 << 1 << "7" << Qt::Key_Escape << 6 << 64 << "";
    QTest::newRow("not a number") << u8 << table << 1 << 1 << "12x" << Qt::Key_Return << 6 << 64
                                  << "\"12x\" is not a number.";
    QTest::newRow("3D cell") << g << grid() << 2 << 1 << "-5" << Qt::Key_Return << 3 + 5 << 0
                             << "Out of range";
    QTest::newRow("3D cell in range")
        << g << grid() << 0 << 2 << "200" << Qt::Key_Return << 3 + 6 << 200 << "";
}

void ValuesWidgetTest::typedValue() {
    QFETCH(int, type);
    QFETCH(std::vector<int>, bytes);
    QFETCH(int, column);
    QFETCH(int, row);
    QFETCH(QString, typed);
    QFETCH(Qt::Key, finish);
    QFETCH(int, byte);
    QFETCH(int, expected);
    QFETCH(QString, message);
    OneEntry one(EntryType(type), bytes);
    Panel p(one.entry);
    const std::vector<int> before = one.bytes(int(bytes.size()));
    QSignalSpy started(p.values, &ValuesWidget::editGestureStarted);
    QTest::mouseClick(p.values->viewport(), Qt::LeftButton, {}, p.cellCentre(column, row));
    QCOMPARE(p.values->cursorColumn(), column);
    QCOMPARE(p.values->cursorRow(), row);
    p.type(typed);
    QVERIFY(p.values->editing());
    p.key(finish);
    QCOMPARE(one.byte(byte), expected);
    if (message.isEmpty())
        QVERIFY(p.values->lastMessage().isEmpty());
    else
        QVERIFY(p.values->lastMessage().startsWith(message));
    if (message.contains(QLatin1String("not a number"))) {
        // The editor stays open with the text, and nothing else changed.
        QVERIFY(p.values->editing());
        QCOMPARE(one.bytes(int(bytes.size())), before);
        QCOMPARE(p.panel->messageLine()->text(), message);
        p.key(Qt::Key_Escape);
        QVERIFY(!p.values->editing());
        QCOMPARE(started.count(), 0);
        QVERIFY(!one.cal.dataModified());
        return;
    }
    QVERIFY(!p.values->editing());
    QVERIFY(p.values->hasFocus());
    QCOMPARE(started.count(), finish == Qt::Key_Escape ? 0 : 1);
    if (finish == Qt::Key_Escape)
        QCOMPARE(one.bytes(int(bytes.size())), before);
}

void ValuesWidgetTest::shiftArrowsSelectAndStepIsOneGesture() {
    OneEntry one(EntryType::Unsigned8Table, testing::eightBitTable());
    Panel p(one.entry);
    QSignalSpy started(p.values, &ValuesWidget::editGestureStarted);
    QSignalSpy finished(p.values, &ValuesWidget::editGestureFinished);
    p.key(Qt::Key_Down, Qt::ShiftModifier);
    p.key(Qt::Key_Down, Qt::ShiftModifier);
    QCOMPARE(p.values->selection(), (ValueBlock{1, 0, 1, 2}));
    p.key(Qt::Key_Up, Qt::ControlModifier);
    QCOMPARE(one.entry->GetY(0), 1);
    QCOMPARE(one.entry->GetY(1), 65);
    QCOMPARE(one.entry->GetY(2), 129);
    QCOMPARE(started.count(), 1);
    QCOMPARE(finished.count(), 1);
    QCOMPARE(started.front().front().toString(), QStringLiteral("Step Up"));
    // The slopes follow: (65 - 1) * 256 / 128.
    QCOMPARE(one.entry->GetSlope(0), 128);
    // A plain arrow collapses the selection.
    p.key(Qt::Key_Up);
    QCOMPARE(p.values->selection(), (ValueBlock{1, 1, 1, 1}));
}

void ValuesWidgetTest::mouseBlockInterpolatesAndAmountsApply() {
    OneEntry one(EntryType::Table3D, grid());
    Panel p(one.entry);
    QTest::mouseClick(p.values->viewport(), Qt::LeftButton, {}, p.cellCentre(0, 0));
    QTest::mouseClick(p.values->viewport(), Qt::LeftButton, Qt::ShiftModifier, p.cellCentre(2, 2));
    QCOMPARE(p.values->selection(), (ValueBlock{0, 0, 2, 2}));
    // Corners 10, 30 / 70, 90 already lie on a plane; make the middle wrong first.
    one.entry->SetCell(1, 1, 0);
    p.key(Qt::Key_I, Qt::ControlModifier);
    QCOMPARE(one.entry->GetCell(1, 1), 50);

    p.panel->amountField()->setText(QStringLiteral("150"));
    QTest::mouseClick(p.button("valuesScale"), Qt::LeftButton);
    QCOMPARE(one.entry->GetCell(0, 0), 15);
    QCOMPARE(one.entry->GetCell(2, 2), 135);
    p.panel->amountField()->setText(QStringLiteral("5"));
    QTest::mouseClick(p.button("valuesMinus"), Qt::LeftButton);
    QCOMPARE(one.entry->GetCell(0, 0), 10);
    p.panel->amountField()->setText(QStringLiteral("abc"));
    const std::vector<int> before = one.bytes(12);
    QTest::mouseClick(p.button("valuesSet"), Qt::LeftButton);
    QCOMPARE(one.bytes(12), before);
    QCOMPARE(p.panel->messageLine()->text(), QStringLiteral("The amount \"abc\" is not a number."));
    p.panel->amountField()->clear();
    QTest::mouseClick(p.button("valuesPlus"), Qt::LeftButton);
    QCOMPARE(one.entry->GetCell(0, 0), 11);
}

void ValuesWidgetTest::clipboardRoundTripAndBlocksThatDoNotFit() {
    OneEntry one(EntryType::Table3D, grid());
    Panel p(one.entry);
    p.key(Qt::Key_Right, Qt::ShiftModifier);
    p.key(Qt::Key_Down, Qt::ShiftModifier);
    p.key(Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("10\t20\n40\t50\n"));
    // Pasted one cell right and down: the block lands on 50 60 / 80 90.
    p.key(Qt::Key_Down);
    p.key(Qt::Key_Up);
    QSignalSpy started(p.values, &ValuesWidget::editGestureStarted);
    p.key(Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(one.bytes(12), (std::vector<int>{3, 3, 0, 10, 20, 30, 40, 10, 20, 70, 40, 50}));
    QCOMPARE(started.count(), 1);
    QCOMPARE(p.values->selection(), (ValueBlock{1, 1, 2, 2}));

    // Text from a spreadsheet, CR LF and all, that is one column too wide here.
    QApplication::clipboard()->setText(QStringLiteral("1\t2\t3\r\n4\t5\t6\r\n"));
    const std::vector<int> before = one.bytes(12);
    p.key(Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(one.bytes(12), before);
    QCOMPARE(started.count(), 1);
    QCOMPARE(p.panel->messageLine()->text(),
             QStringLiteral("The pasted block of 3 x 2 values (columns x rows) does not fit: "
                            "from the selected value there is room for 2 x 2."));
    QApplication::clipboard()->setText(QStringLiteral("1\tfoo\n"));
    p.key(Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(one.bytes(12), before);
    QCOMPARE(p.panel->messageLine()->text(),
             QStringLiteral("Line 1, value 2 is not a number: \"foo\"."));
}

void ValuesWidgetTest::sixteenBitEndPointShowsAndTakesTheExtrapolatedValue() {
    OneEntry one(EntryType::Unsigned16Table, testing::sixteenBitTable());
    Panel p(one.entry);
    // 0x0C00 + 0x0100 * (255 - 192) / 256 = 3135 counts of 12288 on 0..256.
    QCOMPARE(p.values->painter().valueText(1, 4, false), QStringLiteral("65.31"));
    QCOMPARE(p.values->painter().valueText(0, 4, false), QStringLiteral("255.0"));
    // Its X is the end marker: no editor opens on it.
    QTest::mouseClick(p.values->viewport(), Qt::LeftButton, {}, p.cellCentre(0, 4));
    p.type(QStringLiteral("1"));
    QVERIFY(!p.values->editing());
    // Its Y sets the extrapolation slope: (3360 - 3072) * 256 / 63 = 1170.
    p.key(Qt::Key_Right);
    p.type(QStringLiteral("70"));
    p.key(Qt::Key_Return);
    QCOMPARE(one.entry->GetSlope(3), 1170);
    QCOMPARE(p.values->painter().valueText(1, 4, false), QStringLiteral("69.98"));
}

void ValuesWidgetTest::readOnlyRefusesWithAMessage() {
    OneEntry one(EntryType::Unsigned8Table, testing::eightBitTable(), false);
    Panel p(one.entry);
    p.type(QStringLiteral("5"));
    QVERIFY(!p.values->editing());
    p.key(Qt::Key_Up, Qt::ControlModifier);
    QCOMPARE(one.bytes(13), testing::eightBitTable());
    QVERIFY(p.values->lastMessage().contains(QLatin1String("read-only")));
}

void ValuesWidgetTest::cellsAreColouredBlueToRed() {
    OneEntry one(EntryType::Table3D, grid());
    ValuesPainter painter;
    painter.SetEntry(one.entry);
    QImage image(400, 200, QImage::Format_RGB32);
    {
        QPainter p(&image);
        painter.paint(p, image.size(), {});
    }
    const ValuesLayout l = painter.layout(false);
    auto corner = [&](int c, int r) {
        return image.pixelColor(l.cellRect(c, r).topLeft() + QPoint(2, 2));
    };
    QCOMPARE(corner(0, 0).hue(), 240); // the lowest value
    QCOMPARE(corner(2, 2).hue(), 0);   // the highest
    QCOMPARE(corner(1, 1).hue(), 120); // half way
    QCOMPARE(painter.valueText(2, 2, false), QStringLiteral("90"));
    QCOMPARE(painter.valueText(2, 2, true), QStringLiteral("5A"));
}

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ValuesWidgetTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "ValuesWidgetTest.moc"
