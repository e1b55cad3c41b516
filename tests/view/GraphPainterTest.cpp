#include "GraphPainter.h"

#include "GraphFonts.h"
#include "GraphGeometry.h"
#include "ViewFixture.h"

#include <QGuiApplication>
#include <QPainter>
#include <QTest>

using namespace tevra;
using tevra::testing::OneEntry;

namespace {

const QSize kSize(kGraphWidth, kGraphHeight);
const PlotRect kPlot = plotRect(kGraphWidth, kGraphHeight);
const QColor kWhite(255, 255, 255);

QImage render(GraphPainter& painter, const ViewState& state = {}) {
    QImage image(kSize, QImage::Format_RGB32);
    image.fill(Qt::magenta);
    QPainter p(&image);
    painter.paint(p, kSize, state);
    return image;
}

QImage renderEntry(const CalEntry* entry, const ViewState& state = {}) {
    GraphPainter painter;
    painter.SetEntry(entry);
    return render(painter, state);
}

int count(const QImage& image, const QRect& area, const QColor& colour) {
    int n = 0;
    const QRect r = area.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += image.pixelColor(x, y) == colour ? 1 : 0;
    return n;
}

QColor at(const QImage& image, int x, int y) {
    return image.pixelColor(x, y);
}

// The pixels of `colour` in `area` match those of the text drawn alone there.
bool showsText(const QImage& image, const QRect& area, const QColor& colour, const QFont& font,
               int x, int y, const QString& text) {
    QImage ref(image.size(), QImage::Format_RGB32);
    ref.fill(Qt::black);
    {
        QPainter p(&ref);
        p.setPen(colour);
        drawAlignedText(p, font, x, y, text, HAlign::Left, VAlign::Top);
    }
    int inked = 0;
    for (int yy = area.top(); yy <= area.bottom(); ++yy)
        for (int xx = area.left(); xx <= area.right(); ++xx) {
            const bool want = ref.pixelColor(xx, yy) == colour;
            inked += want ? 1 : 0;
            if (want != (image.pixelColor(xx, yy) == colour))
                return false;
        }
    return inked > 0;
}

PixelPoint marker(const CalEntry& e, int i) {
    return {pointPixelX(kPlot, e.GetX(i)), pointPixelY(kPlot, e.type, e.GetY(i))};
}

} // namespace

class GraphPainterTest : public QObject {
    Q_OBJECT

private slots:
    void emptyPicturesShowOnlyTheBackground_data();
    void emptyPicturesShowOnlyTheBackground();
    void frameDotsAndLabels();
    void constantsHaveNoXLabels();
    void markerColours();
    void valuesAreReadOnEveryPaint();
    void constantBar_data();
    void constantBar();
    void guideLinesFollowFocus();
    void gridCells();
    void gridSizeLimitsAndRangeLabels();
    void flagBoxes();
    void emptyDefinitionMessage();
    void comparisonOverlay();
    void comparisonNonTableIsIgnored();
    void entriesOutsideTheImageShowNoValues_data();
    void entriesOutsideTheImageShowNoValues();
};

void GraphPainterTest::emptyPicturesShowOnlyTheBackground_data() {
    QTest::addColumn<int>("type");
    QTest::newRow("none") << -1;
    QTest::newRow("unknown") << static_cast<int>(EntryType::Unknown);
    QTest::newRow("type outside 0..8") << 42;
}

void GraphPainterTest::emptyPicturesShowOnlyTheBackground() {
    QFETCH(int, type);
    OneEntry f(static_cast<EntryType>(type < 0 ? 8 : type), {1, 2, 3});
    const QImage image = renderEntry(type < 0 ? nullptr : f.entry);
    // The gradient's stops, the same in every column.
    QCOMPARE(at(image, 300, 0), QColor(121, 123, 143));
    QCOMPARE(at(image, 5, 200), QColor(108, 108, 115));
    QCOMPARE(at(image, 590, 449), QColor(92, 89, 79));
    QCOMPARE(count(image, image.rect(), kWhite), 0);
}

void GraphPainterTest::frameDotsAndLabels() {
    OneEntry f(EntryType::Unsigned8Table, testing::eightBitTable());
    const QImage image = renderEntry(f.entry);
    // The frame encloses the plot one pixel past its right and bottom edges.
    for (const QPoint p : {QPoint(40, 10), QPoint(300, 10), QPoint(584, 200), QPoint(300, 426),
                           QPoint(40, 200), QPoint(584, 426)})
        QCOMPARE(at(image, p.x(), p.y()), kWhite);
    QVERIFY(at(image, 585, 200) != kWhite);
    QVERIFY(at(image, 300, 427) != kWhite);
    // Dots every fourth pixel on the rows mid - H/4, mid, mid + H/4.
    for (int row : {114, 217, 320}) {
        QCOMPARE(at(image, 44, row), kWhite);
        QCOMPARE(at(image, 100, row), kWhite);
        QVERIFY(at(image, 46, row) != kWhite);
    }
    QCOMPARE(at(image, 580, 114), kWhite); // the last dot left of the right edge
    QVERIFY(at(image, 584 - 1, 114) != kWhite);
    QVERIFY(at(image, 44, 216) != kWhite);
    // Labels where they belong, each with a black shadow.
    const QRect yMax(10, 10, 27, 15), yMin(10, 411, 27, 15), xMin(40, 429, 25, 16),
        xMax(555, 429, 29, 16), xTitle(290, 429, 42, 16), yTitle(4, 180, 17, 75);
    for (const QRect& box : {yMax, yMin, xMin, xMax, xTitle, yTitle}) {
        QVERIFY2(count(image, box, kWhite) > 0,
                 qPrintable(QStringLiteral("no label at %1,%2").arg(box.x()).arg(box.y())));
        QVERIFY(count(image, box.adjusted(0, 0, 3, 3), QColor(0, 0, 0)) > 0);
    }
    // The Y title reads bottom to top: its ink is taller than wide.
    QRect ink;
    for (int y = 30; y < 400; ++y)
        for (int x = 0; x < 38; ++x)
            if (image.pixelColor(x, y) == kWhite)
                ink |= QRect(x, y, 1, 1);
    QVERIFY(ink.height() > 2 * ink.width());
    QVERIFY(ink.right() <= 20 + 4); // baseline at x 20, only descenders to its right
}

void GraphPainterTest::constantsHaveNoXLabels() {
    OneEntry f(EntryType::Constant8, {0x10});
    const QImage image = renderEntry(f.entry);
    QCOMPARE(at(image, 40, 10), kWhite);
    QCOMPARE(count(image, QRect(40, 428, 545, 20), kWhite), 0);
    QVERIFY(count(image, QRect(10, 10, 27, 15), kWhite) > 0);
}

void GraphPainterTest::markerColours() {
    OneEntry f(EntryType::Unsigned16Table, testing::sixteenBitTable());
    const CalEntry& e = *f.entry;
    const int endY = pointPixelY(kPlot, e.type, 0x0C40);
    auto corner = [](const QImage& img, PixelPoint p) { return img.pixelColor(p.x - 3, p.y - 3); };

    const QImage unselected = renderEntry(&e);
    QCOMPARE(corner(unselected, marker(e, 1)), kWhite);
    QCOMPARE(corner(unselected, {kPlot.right, endY}), QColor(0, 255, 0));
    QCOMPARE(count(unselected, unselected.rect(), QColor(255, 0, 0)), 0);
    const int midX = (marker(e, 1).x + marker(e, 2).x) / 2;
    const int midY = (marker(e, 1).y + marker(e, 2).y) / 2;
    QVERIFY(count(unselected, QRect(midX - 1, midY - 1, 3, 3), QColor(0, 0, 255)) > 0);

    ViewState state;
    state.selectedPoint = 1;
    const QImage one = renderEntry(&e, state);
    QCOMPARE(corner(one, marker(e, 1)), QColor(255, 0, 0));
    QCOMPARE(corner(one, marker(e, 2)), kWhite);
    state.selectedPoint = 4;
    const QImage end = renderEntry(&e, state);
    QCOMPARE(corner(end, {kPlot.right, endY}), QColor(255, 0, 0));
    QCOMPARE(count(end, end.rect(), QColor(0, 255, 0)), 0);
}

void GraphPainterTest::valuesAreReadOnEveryPaint() {
    OneEntry f(EntryType::Unsigned8Table, testing::eightBitTable());
    GraphPainter painter;
    painter.SetEntry(f.entry);
    const PixelPoint before = marker(*f.entry, 1);
    QCOMPARE(render(painter).pixelColor(before.x - 3, before.y - 3), kWhite);
    QVERIFY(!painter.backgroundStale());
    f.cal.setImageByte(0x10 + 6, 200); // Y of point 1, behind the painter's back
    const PixelPoint after = marker(*f.entry, 1);
    const QImage image = render(painter);
    QCOMPARE(image.pixelColor(after.x - 3, after.y - 3), kWhite);
    QVERIFY(image.pixelColor(before.x - 3, before.y - 3) != kWhite);
}

void GraphPainterTest::constantBar_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<QList<int>>("bytes");
    QTest::addColumn<int>("barTop");
    QTest::addColumn<int>("halfWidth");
    QTest::newRow("8-bit 0xFF") << 3 << QList<int>{0xFF} << 425 - 255 * 415 / 256 << 27;
    QTest::newRow("8-bit 0x00") << 3 << QList<int>{0x00} << 425 << 27;
    QTest::newRow("16-bit 0x8000") << 4 << QList<int>{0x80, 0x00} << 425 - 415 / 2 << 54;
}

void GraphPainterTest::constantBar() {
    QFETCH(int, type);
    QFETCH(QList<int>, bytes);
    QFETCH(int, barTop);
    QFETCH(int, halfWidth);
    OneEntry f(static_cast<EntryType>(type), std::vector<int>(bytes.begin(), bytes.end()));
    const QImage image = renderEntry(f.entry);
    const QImage bar = QImage(QStringLiteral(":/images/bar.png"));
    QVERIFY(!bar.isNull());
    const int cx = 311;
    // Column left of the centre, clear of the value text near the bottom.
    for (int y = kPlot.top; y < kPlot.bottom - 40; ++y) {
        const bool inBar = y >= barTop;
        QCOMPARE(at(image, cx - halfWidth, y) == bar.pixelColor(0, y), inBar);
    }
    QVERIFY(at(image, cx - halfWidth - 2, 300) != bar.pixelColor(0, 300));
    QVERIFY(at(image, cx + halfWidth, 300) != bar.pixelColor(0, 300));      // right edge excluded
    QVERIFY(count(image, QRect(cx - 30, 395, 60, 18), kWhite) > 0);         // value text
    QVERIFY(count(image, QRect(kPlot.right - 80, 40, 80, 18), kWhite) > 0); // raw text
}

void GraphPainterTest::guideLinesFollowFocus() {
    OneEntry f(EntryType::Constant8, {0x40});
    ViewState state;
    state.focused = true;
    const int x = 311 - 27 - 1;
    const QImage focused = renderEntry(f.entry, state);
    QCOMPARE(count(focused, QRect(x, 10, 1, 415), QColor(128, 0, 0)), 415);
    QCOMPARE(count(focused, QRect(311 + 27, 10, 1, 415), QColor(128, 0, 0)), 415);
    state.focused = false;
    const QImage unfocused = renderEntry(f.entry, state);
    const int dots = count(unfocused, QRect(x, 10, 1, 415), QColor(128, 128, 128));
    QVERIFY2(dots > 150 && dots < 265, qPrintable(QString::number(dots)));
}

void GraphPainterTest::gridCells() {
    // A signed 3 x 3 grid; row 0 holds 0x80, 0xFF, 0x05.
    OneEntry f(EntryType::Table3D, {3, 3, 0xFF, 0x80, 0xFF, 0x05, 0, 0, 0, 0, 0, 0});
    ViewState state;
    state.cursorColumn = 1;
    state.cursorRow = 0;
    const QImage image = renderEntry(f.entry, state);
    const GridRect g = gridRect(kGraphWidth, kGraphHeight, 3, 3);
    const GraphFonts fonts;
    auto cell = [&](int c) { return QRect(g.x0 + 21 * c + 1, g.y0 + 1, 20, 20); };
    auto shows = [&](int c, const QColor& colour, const char* text) {
        return showsText(image, cell(c), colour, fonts.medium, g.x0 + 4 + 21 * c, g.y0 + 3,
                         QString::fromLatin1(text));
    };
    QVERIFY(shows(0, QColor(0, 0, 255), "80")); // -128: magnitude 80, blue
    QVERIFY(shows(1, kWhite, "FF"));            // under the cursor: the byte unchanged
    QVERIFY(shows(2, QColor(0, 255, 0), "05"));
    state.cursorColumn = -1;
    const QImage unfocused = renderEntry(f.entry, state);
    QVERIFY(showsText(unfocused, cell(1), QColor(0, 0, 255), fonts.medium, g.x0 + 25, g.y0 + 3,
                      QStringLiteral("01"))); // -1 shows 01 in blue
    QCOMPARE(at(image, g.x0, g.y0), kWhite);
    QCOMPARE(at(image, g.x0 + 63, g.y0 + 63), kWhite);
    QCOMPARE(at(image, g.x0 + 21, g.y0 + 10), QColor(180, 180, 220));
    QCOMPARE(at(image, g.x0 + 10, g.y0 + 42), QColor(180, 180, 220));
}

void GraphPainterTest::gridSizeLimitsAndRangeLabels() {
    struct Case {
        int columns, rows;
        bool drawn, xLabels;
    };
    for (const Case c : {Case{2, 4, false, false}, Case{4, 33, false, false},
                         Case{8, 4, true, false}, Case{9, 4, true, true}}) {
        std::vector<int> bytes{c.rows, c.columns, 0};
        bytes.resize(3 + static_cast<std::size_t>(c.rows * c.columns), 0x11);
        OneEntry f(EntryType::Table3D, bytes, true, 0xC000 + 0x10);
        const QImage image = renderEntry(f.entry);
        if (!c.drawn) {
            QCOMPARE(count(image, image.rect(), kWhite), 0);
            continue;
        }
        const GridRect g = gridRect(kGraphWidth, kGraphHeight, c.columns, c.rows);
        QCOMPARE(at(image, g.x0, g.y0), kWhite);
        QCOMPARE(count(image, QRect(g.x0, g.y0 - 24, 12, 16), kWhite) > 0, c.xLabels);
    }
}

void GraphPainterTest::flagBoxes() {
    OneEntry f(EntryType::FlagByte, {0x08});
    f.entry->itemNames[3] = "Fan";
    const QImage image = renderEntry(f.entry);
    const PixelPoint o = boxOrigin(kPlot);
    const QColor outline(192, 192, 192);
    QCOMPARE(at(image, o.x, o.y + 90), outline);
    QCOMPARE(at(image, o.x + 25, o.y + 115), outline);
    QCOMPARE(count(image, QRect(o.x - 1, o.y - 1, 30, 85), outline), 0); // rows 0-2 skipped
    QVERIFY(count(image, QRect(o.x + 1, o.y + 91, 24, 24), QColor(0, 0, 255)) > 20);
    QVERIFY(count(image, QRect(o.x + 32, o.y + 93, 40, 18), kWhite) > 0); // the name
    QVERIFY(count(image, QRect(o.x - 20, o.y + 93, 12, 18), kWhite) > 0); // the bit number
    f.cal.setImageByte(0x10, 0xF7);
    QCOMPARE(count(renderEntry(f.entry), QRect(o.x + 1, o.y + 91, 24, 24), QColor(0, 0, 255)), 0);
}

void GraphPainterTest::emptyDefinitionMessage() {
    for (EntryType type : {EntryType::FlagByte, EntryType::ValueList}) {
        OneEntry f(type, {0xFF});
        const QImage image = renderEntry(f.entry);
        const int mid = (kPlot.top + kPlot.bottom) / 2;
        const int inMessage = count(image, QRect(kPlot.left, mid - 18, kPlot.width(), 24), kWhite);
        QVERIFY(inMessage > 200);
        QCOMPARE(count(image, image.rect(), kWhite), inMessage);
        QCOMPARE(count(image, image.rect(), QColor(192, 192, 192)), 0);
    }
}

void GraphPainterTest::comparisonOverlay() {
    OneEntry primary(EntryType::Unsigned8Table, testing::eightBitTable());
    OneEntry secondary(EntryType::Unsigned8Table, testing::eightBitTable());
    secondary.cal.readOnly = true;
    const QImage alone = renderEntry(primary.entry);

    GraphPainter painter;
    painter.SetEntry(primary.entry);
    painter.SetSecondaryEntry(secondary.entry);
    const QImage equal = render(painter);
    // Equal ranges: the comparison hides under the primary; only its mark shows.
    const QRect mark(kPlot.left + 10, kPlot.top + 10, 90, 18);
    QVERIFY(count(equal, mark, QColor(64, 64, 64)) > 20);
    for (int y = 0; y < equal.height(); ++y)
        for (int x = 0; x < equal.width(); ++x)
            if (!mark.contains(x, y) && equal.pixelColor(x, y) != alone.pixelColor(x, y))
                QFAIL(qPrintable(QStringLiteral("differs at %1,%2").arg(x).arg(y)));

    // The comparison's Y range doubled: the same raw values stand twice as high.
    secondary.entry->yMax = "512";
    painter.SetSecondaryEntry(secondary.entry);
    const QImage doubled = render(painter);
    const PixelPoint p = marker(*primary.entry, 1);
    const int twiceAsHigh = kPlot.bottom - 2 * (kPlot.bottom - p.y);
    QCOMPARE(at(doubled, p.x - 3, twiceAsHigh - 3), QColor(50, 50, 50));
    QCOMPARE(at(doubled, p.x - 3, p.y - 3), kWhite);
}

void GraphPainterTest::comparisonNonTableIsIgnored() {
    OneEntry primary(EntryType::Unsigned8Table, testing::eightBitTable());
    OneEntry secondary(EntryType::Constant8, {0x80});
    GraphPainter painter;
    painter.SetEntry(primary.entry);
    painter.SetSecondaryEntry(secondary.entry);
    QCOMPARE(painter.secondaryEntry(), nullptr);
    const QImage image = render(painter);
    QCOMPARE(count(image, image.rect(), QColor(64, 64, 64)), 0);
    QCOMPARE(count(image, image.rect(), QColor(50, 50, 50)), 0);
}

void GraphPainterTest::entriesOutsideTheImageShowNoValues_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("address");
    // The image spans 0xC000..0xC0FF.
    QTest::newRow("8-bit table running past the end") << 0 << 0xC0FA;
    QTest::newRow("16-bit table below the base") << 1 << 0xBFF0;
    QTest::newRow("constant past the end") << 4 << 0xC0FF;
    QTest::newRow("3D table running past the end") << 7 << 0xC0F8;
}

void GraphPainterTest::entriesOutsideTheImageShowNoValues() {
    QFETCH(int, type);
    QFETCH(int, address);
    OneEntry f(static_cast<EntryType>(type), {});
    std::vector<std::uint8_t> image(0x100, 0x03); // counts of 3, small values everywhere
    f.cal.SetImage(image);
    f.entry->Relocate(address);
    QVERIFY(!f.entry->inImage());
    const QImage picture = renderEntry(f.entry);
    QCOMPARE(count(picture, picture.rect(), QColor(0, 0, 255)), 0);
    QCOMPARE(count(picture, picture.rect(), QColor(0, 255, 0)), 0);
    QCOMPARE(count(picture, QRect(kPlot.left + 1, kPlot.top + 1, kPlot.width() - 1, 100), kWhite),
             0);
}

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    GraphPainterTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "GraphPainterTest.moc"
