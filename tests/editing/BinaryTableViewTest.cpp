// Binary Table View: the table rows of each 2D layout, the hex dump at the image
// edges and the Secondary toggle.
#include "BinaryTableView.h"

#include "../view/ViewFixture.h"
#include "BinaryListing.h"

#include <QFontDatabase>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

using namespace tevra;
using tevra::testing::OneEntry;

namespace {

QStringList rowTexts(const CalEntry& e) {
    QStringList out;
    for (const auto& r : binaryListing::tableRows(e))
        out << r.compare + QLatin1Char('|') + r.result + QLatin1Char('|') + r.slope;
    return out;
}

QStringList listTexts(const QTreeWidget* list) {
    QStringList out;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        QStringList cells;
        for (int c = 0; c < list->columnCount(); ++c)
            cells << list->topLevelItem(i)->text(c);
        out << cells.join(QLatin1Char('|'));
    }
    return out;
}

QString header(const QTreeWidget* list, int c) {
    return list->headerItem()->text(c);
}

QPushButton* button(const BinaryTableView& d, const char* name) {
    return d.findChild<QPushButton*>(QLatin1String(name));
}

} // namespace

class BinaryTableViewTest : public QObject {
    Q_OBJECT

private slots:
    void eightBitRowsLeaveTheLastSlopeEmpty() {
        OneEntry f(EntryType::Unsigned8Table,
                   {3, 0x00, 0x00, 0x00, 0x80, 0x80, 0x40, 0xFF, 0x00, 0xFF, 0x80, 0x12, 0x34});
        f.entry->xMin = "-40";
        f.entry->xMax = "216";
        QCOMPARE(rowTexts(*f.entry),
                 (QStringList{"00 (-40.00)|00 (0.00)|0080 (0.500)",
                              "80 (88.00)|40 (64.00)|FF00 (-1.000)", "FF (215.00)|80 (128.00)|"}));
    }

    void signedRowsCountFromTheBottomOfTheRange() {
        OneEntry f(EntryType::Signed8Table, {2, 0x00, 0x80, 0x01, 0x00, 0x10, 0x7F, 0x00, 0x00});
        f.entry->yMin = "-10";
        f.entry->yMax = "246";
        QCOMPARE(rowTexts(*f.entry),
                 (QStringList{"00 (0.00)|80 (-10.00)|0100 (1.000)", "10 (16.00)|7F (245.00)|"}));
    }

    void sixteenBitRowsAllHaveASlopeAndStopBeforeTheMarker() {
        OneEntry f(EntryType::Unsigned16Table, {0x00, 0x00, 0x00, 0x01, 0x00, //
                                                0x40, 0x2F, 0xFF, 0xFF, 0x00, //
                                                0x80, 0x10, 0x00, 0x00, 0x80, //
                                                0xFF, 0x01, 0x02, 0x03, 0x04});
        f.entry->yMax = "12287";
        QCOMPARE(rowTexts(*f.entry), (QStringList{"00 (0.00)|0000 (0.00)|0100 (1.000)",
                                                  "40 (64.00)|2FFF (12287.00)|FF00 (255.000)",
                                                  "80 (128.00)|1000 (4096.00)|0080 (0.500)"}));
    }

    void rowsStopWhereTheTableLeavesTheImage() {
        // A count of 200 points at 0xC0F0: only three records fit before 0xC100.
        OneEntry f(EntryType::Unsigned8Table, {}, true, 0xC0F0);
        f.cal.setImageByte(0xF0, 200);
        for (int k = 1; k < 16; ++k)
            f.cal.setImageByte(0xF0 + k, k);
        const auto rows = binaryListing::tableRows(*f.entry);
        QCOMPARE(static_cast<int>(rows.size()), 4);
        QVERIFY(!rows[2].slope.isEmpty());
        QVERIFY(rows[3].slope.isEmpty()); // the slope bytes lie past the end
        // A 16-bit table running off the end shows the whole records only.
        f.entry->type = EntryType::Unsigned16Table;
        QCOMPARE(static_cast<int>(binaryListing::tableRows(*f.entry).size()), 3);
        // Below the image start nothing is listed.
        f.entry->Relocate(0xBFF0);
        QVERIFY(binaryListing::tableRows(*f.entry).empty());
    }

    void hexRowsAtTheImageEdges() {
        // 40 bytes before the end of a 0xC000..0xC0FF image.
        OneEntry f(EntryType::Table3D, {}, true, 0xC0D8);
        for (int k = 0; k < 40; ++k)
            f.cal.setImageByte(0xD8 + k, k);
        const QStringList rows = binaryListing::hexRows(*f.entry);
        QCOMPARE(rows.size(), 16);
        QCOMPARE(rows[0], QStringLiteral("C0D8: 00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F "));
        QCOMPARE(rows[1].size(), 6 + 16 * 3);
        QCOMPARE(rows[2], QStringLiteral("C0F8: 20 21 22 23 24 25 26 27 "));
        for (int r = 3; r < 16; ++r)
            QCOMPARE(rows[r], QStringLiteral("C100: "));

        // An image that ends at 0xFFFF: the dump stops with the address space.
        Calibration top;
        top.baseAddress = 0xFF00;
        top.SetImage(std::vector<std::uint8_t>(0x100, 0xAB));
        CalEntry* e = top.NewEntry();
        e->Relocate(0xFFD8);
        QCOMPARE(binaryListing::hexRows(*e).size(), 3);

        // Bytes below the image start are not invented.
        f.entry->Relocate(0xBFFC);
        const QStringList below = binaryListing::hexRows(*f.entry);
        QVERIFY(below[0].startsWith(QStringLiteral("BFFC: -- -- -- -- FF FF ")));
    }

    void opensInTableViewWithoutAComparison() {
        OneEntry f(EntryType::Unsigned8Table, {1, 0x10, 0x20, 0, 0});
        f.entry->xUnit = "rpm";
        f.entry->yUnit = "deg";
        BinaryTableView d(*f.entry, nullptr);
        QCOMPARE(d.windowTitle(), QStringLiteral("Binary Table View"));
        QCOMPARE(d.view(), BinaryTableView::View::Table);
        QVERIFY(!button(d, "secondaryButton")->isEnabled());
        QCOMPARE(d.list()->font().family(),
                 QFontDatabase::systemFont(QFontDatabase::FixedFont).family());
        QCOMPARE(d.list()->columnCount(), 3);
        QCOMPARE(header(d.list(), 0), QStringLiteral("Compare (rpm)"));
        QCOMPARE(header(d.list(), 1), QStringLiteral("Return (deg)"));
        QCOMPARE(header(d.list(), 2), QStringLiteral("Slope"));
        QCOMPARE(d.list()->columnWidth(0), d.list()->width() / 3 - 2);
        QCOMPARE(listTexts(d.list()), QStringList{"10 (16.00)|20 (32.00)|"});
        QTest::mouseClick(button(d, "hexButton"), Qt::LeftButton);
        QCOMPARE(d.list()->columnCount(), 1);
        QCOMPARE(header(d.list(), 0), QStringLiteral("Hex View"));
        QCOMPARE(d.list()->columnWidth(0), d.list()->width() - 5);
        QVERIFY(d.list()->topLevelItem(0)->text(0).startsWith(QStringLiteral("C010: 01 10 20 ")));
        QTest::mouseClick(button(d, "tableButton"), Qt::LeftButton);
        QCOMPARE(d.view(), BinaryTableView::View::Table);
    }

    void aGridOpensInHexViewWithTableDisabled() {
        OneEntry f(EntryType::Table3D, {3, 3, 0});
        BinaryTableView d(*f.entry, nullptr);
        QCOMPARE(d.view(), BinaryTableView::View::Hex);
        QVERIFY(!button(d, "tableButton")->isEnabled());
    }

    void secondaryTogglesTitleCaptionAndEntry() {
        OneEntry primary(EntryType::Unsigned8Table, {1, 0x10, 0x20, 0, 0});
        OneEntry comparison(EntryType::Constant8, {0x77});
        BinaryTableView d(*primary.entry, comparison.entry);
        d.show();
        QCOMPARE(d.windowTitle(), QStringLiteral("Binary Table View (Primary)"));
        QPushButton* secondary = button(d, "secondaryButton");
        QVERIFY(secondary->isEnabled());
        QTest::mouseClick(secondary, Qt::LeftButton);
        QCOMPARE(d.windowTitle(), QStringLiteral("Binary Table View (Secondary)"));
        QCOMPARE(secondary->text(), QStringLiteral("Primary"));
        // The comparison entry is not a 2D table: the table view is empty, and
        // "&Table" keeps the state it opened with.
        QCOMPARE(d.list()->topLevelItemCount(), 0);
        QVERIFY(button(d, "tableButton")->isEnabled());
        QTest::mouseClick(button(d, "hexButton"), Qt::LeftButton);
        QVERIFY(d.list()->topLevelItem(0)->text(0).startsWith(QStringLiteral("C010: 77 ")));
        QTest::mouseClick(secondary, Qt::LeftButton);
        QCOMPARE(d.windowTitle(), QStringLiteral("Binary Table View (Primary)"));
        QCOMPARE(secondary->text(), QStringLiteral("Secondary"));
        QVERIFY(!d.showingComparison());
        QVERIFY(d.list()->topLevelItem(0)->text(0).startsWith(QStringLiteral("C010: 01 10 20 ")));
    }

    void changesListEachDifferenceFromTheComparison() {
        // Two points; the comparison has a lower second Y and another Y unit.
        OneEntry primary(EntryType::Unsigned8Table, {2, 0x10, 0x20, 0, 0, 0x40, 0x60, 0, 0});
        OneEntry comparison(EntryType::Unsigned8Table, {2, 0x10, 0x20, 0, 0, 0x40, 0x50, 0, 0});
        primary.entry->yUnit = "deg";
        BinaryTableView d(*primary.entry, comparison.entry);
        QPushButton* changes = button(d, "changesButton");
        QVERIFY(changes->isEnabled());
        // The differing point is coloured in the table.
        QVERIFY(d.list()->topLevelItem(1)->foreground(0).color() != QColor(Qt::black) &&
                d.list()->topLevelItem(1)->foreground(0).style() != Qt::NoBrush);
        QCOMPARE(d.list()->topLevelItem(0)->foreground(0).style(), Qt::NoBrush);
        QTest::mouseClick(changes, Qt::LeftButton);
        QCOMPARE(d.view(), BinaryTableView::View::Changes);
        QCOMPARE(listTexts(d.list()), (QStringList{"yUnit|'Y' -> 'deg'",
                                                   "point 1|X 64 X -> 64 X   Y 80 deg -> 96 deg"}));

        OneEntry same(EntryType::Unsigned8Table, {2, 0x10, 0x20, 0, 0, 0x40, 0x60, 0, 0});
        same.entry->yUnit = "deg";
        BinaryTableView alike(*primary.entry, same.entry);
        QVERIFY(!button(alike, "changesButton")->isEnabled());
        BinaryTableView alone(*primary.entry, nullptr);
        QVERIFY(!button(alone, "changesButton")->isEnabled());
    }

    void escapeClosesTheDialog() {
        OneEntry f(EntryType::Unsigned8Table, {1, 0x10, 0x20, 0, 0});
        BinaryTableView d(*f.entry, nullptr);
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        QTest::keyClick(&d, Qt::Key_Escape);
        QVERIFY(!d.isVisible());
    }
};

QTEST_MAIN(BinaryTableViewTest)
#include "BinaryTableViewTest.moc"
