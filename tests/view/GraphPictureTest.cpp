// The cached picture of the graph: the curve drawn in pieces has the pixels of
// one polyline, a repaint after an edit redraws only what changed yet shows
// exactly what a fresh paint shows, and a high-density screen gets a picture at
// its own resolution.
#include "CurveStroke.h"
#include "GraphPainter.h"
#include "ViewFixture.h"

#include <QGuiApplication>
#include <QPainter>
#include <QRandomGenerator>
#include <QTest>

#include <algorithm>
#include <cstdlib>

using namespace tevra;
using tevra::testing::OneEntry;

namespace {

const QSize kSize(kGraphWidth, kGraphHeight);

QImage blank(QSize size) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::black);
    return image;
}

QPen curvePen() {
    QPen pen(QColor(0, 0, 255));
    pen.setWidth(2);
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::MiterJoin);
    return pen;
}

// A curve as the graph draws one: X rising, Y anywhere, often jumping far.
QPolygon jaggedCurve(QRandomGenerator& random, int points, int step) {
    QPolygon line;
    int x = 40;
    for (int i = 0; i < points; ++i) {
        line << QPoint(x, 20 + random.bounded(400));
        x += random.bounded(step + 1); // equal X happens: a vertical segment
    }
    return line;
}

QImage paintFresh(const CalEntry* entry, const CalEntry* comparison, const ViewState& state,
                  QSize size = kSize) {
    GraphPainter painter;
    painter.SetEntry(entry);
    painter.SetSecondaryEntry(comparison);
    QImage image = blank(size);
    QPainter p(&image);
    painter.paint(p, size, state);
    return image;
}

// An 8-bit table of `count` points with X 0, 1, 2, ... and a zig-zag Y.
std::vector<int> zigzagTable(int count) {
    std::vector<int> bytes{count};
    for (int i = 0; i < count; ++i) {
        bytes.push_back(i);
        bytes.push_back(i % 2 ? 0xF0 : 0x10);
        bytes.push_back(0);
        bytes.push_back(0);
    }
    return bytes;
}

// A 4 KB image at 0xC000 with an entry at 0xC010 whose bytes are given: room
// for a table of 200 points.
struct BigEntry {
    Calibration cal;
    CalEntry* entry = nullptr;

    BigEntry(EntryType type, const std::vector<int>& bytes) {
        std::vector<std::uint8_t> image(0x1000, 0xFF);
        for (std::size_t k = 0; k < bytes.size(); ++k)
            image[0x10 + k] = static_cast<std::uint8_t>(bytes[k]);
        cal.SetImage(std::move(image));
        cal.readOnly = false;
        entry = add(type);
    }
    CalEntry* add(EntryType type) {
        CalEntry* e = cal.NewEntry();
        e->type = type;
        e->Relocate(0xC010);
        return e;
    }
};

} // namespace

class GraphPictureTest : public QObject {
    Q_OBJECT

private slots:
    void piecesDrawTheSamePixelsAsOnePolyline();
    void aRepaintAfterAnEditShowsWhatAFreshPaintShows();
    void aDragStepRedrawsOnlyAroundThePoint();
    void highDensityPicturesAreDrawnAtDevicePixels();
    void tallPicturesHaveNoSeam();
};

void GraphPictureTest::piecesDrawTheSamePixelsAsOnePolyline() {
    QRandomGenerator random(1234);
    for (int round = 0; round < 60; ++round) {
        const int points = 2 + random.bounded(60);
        const QPolygon line = jaggedCurve(random, points, round % 3 == 0 ? 2 : 12);
        // Every third round also clips, as the repaint of an edit does.
        const QRect clip =
            round % 3 == 1 ? QRect(random.bounded(300), random.bounded(200), 120, 90) : QRect();
        QImage whole = blank(kSize);
        QImage pieces = blank(kSize);
        {
            QPainter p(&whole);
            p.setPen(curvePen());
            if (clip.isValid())
                p.setClipRect(clip);
            p.drawPolyline(line);
        }
        {
            QPainter p(&pieces);
            p.setPen(curvePen());
            if (clip.isValid())
                p.setClipRect(clip);
            strokeCurve(p, line, clip);
        }
        QVERIFY2(whole == pieces, qPrintable(QStringLiteral("round %1").arg(round)));
    }
}

void GraphPictureTest::aRepaintAfterAnEditShowsWhatAFreshPaintShows() {
    BigEntry table(EntryType::Unsigned8Table, zigzagTable(60));
    CalEntry* comparison = table.add(EntryType::Unsigned8Table);
    comparison->yMax = "300";
    std::vector<int> cells{8, 8, 0};
    for (int k = 0; k < 64; ++k)
        cells.push_back((k * 37) & 0xFF);
    OneEntry grid(EntryType::Table3D, cells);

    QRandomGenerator random(99);
    struct Scene {
        CalEntry* entry;
        const CalEntry* comparison;
    };
    for (const Scene& scene : {Scene{table.entry, comparison}, Scene{grid.entry, nullptr}}) {
        GraphPainter painter;
        painter.SetEntry(scene.entry);
        painter.SetSecondaryEntry(scene.comparison);
        ViewState state;
        state.focused = true;
        state.cursorColumn = 0;
        state.cursorRow = 0;
        QImage shown = blank(kSize);
        for (int step = 0; step < 40; ++step) {
            if (scene.entry->type == EntryType::Table3D) {
                scene.entry->AddToCell(random.bounded(8), random.bounded(8),
                                       random.bounded(2) ? 1 : -1);
                state.cursorColumn = random.bounded(8);
                state.cursorRow = random.bounded(8);
            } else {
                const int i = random.bounded(60);
                scene.entry->DragPoint(i, 0.0f, static_cast<float>(random.bounded(256)) / 255.0f,
                                       false);
                state.selectedPoint = random.bounded(3) == 0 ? -1 : i;
            }
            // As the widget does: only the part that changed reaches the screen.
            const QRect changed = painter.prepare(kSize, state);
            {
                QPainter p(&shown);
                p.drawImage(changed, painter.picture(kSize, state), changed);
            }
            const QImage fresh = paintFresh(scene.entry, scene.comparison, state);
            QVERIFY2(shown == fresh, qPrintable(QStringLiteral("step %1").arg(step)));
        }
    }
}

void GraphPictureTest::aDragStepRedrawsOnlyAroundThePoint() {
    BigEntry table(EntryType::Unsigned8Table, zigzagTable(200));
    GraphPainter painter;
    painter.SetEntry(table.entry);
    ViewState state;
    state.selectedPoint = 100;
    QCOMPARE(painter.prepare(kSize, state), QRect(QPoint(0, 0), kSize));
    QVERIFY(painter.prepare(kSize, state).isEmpty());
    table.entry->DragPoint(100, 0.0f, 0.5f, false);
    const QRect changed = painter.prepare(kSize, state);
    QVERIFY(!changed.isEmpty());
    QVERIFY2(changed.width() < 40, qPrintable(QString::number(changed.width())));
    // A new size or entry repaints everything.
    QCOMPARE(painter.prepare(QSize(800, 600), state), QRect(0, 0, 800, 600));
    painter.SetEntry(table.entry);
    QCOMPARE(painter.prepare(QSize(800, 600), state), QRect(0, 0, 800, 600));
}

void GraphPictureTest::highDensityPicturesAreDrawnAtDevicePixels() {
    OneEntry table(EntryType::Unsigned8Table, tevra::testing::eightBitTable());
    GraphPainter painter;
    painter.SetEntry(table.entry);
    const QImage& dense = painter.picture(kSize, {}, 2.0);
    QCOMPARE(dense.size(), kSize * 2);
    QCOMPARE(dense.devicePixelRatio(), 2.0);
    // The frame and the curve lie where the classic picture has them, at twice
    // the coordinates, and the curve is twice as thick in device pixels (give or
    // take the rounding of its edges).
    const QImage classic = paintFresh(table.entry, nullptr, {});
    const PlotRect plot = plotRect(kGraphWidth, kGraphHeight);
    QCOMPARE(dense.pixelColor(2 * plot.left, 2 * (plot.top + 40)), QColor(Qt::white));
    QCOMPARE(classic.pixelColor(plot.left, plot.top + 40), QColor(Qt::white));
    const int x = (plot.left + plot.right) / 3;
    int classicThickness = 0;
    int denseThickness = 0;
    for (int y = 0; y < kGraphHeight; ++y)
        classicThickness += classic.pixelColor(x, y) == QColor(0, 0, 255) ? 1 : 0;
    for (int y = 0; y < 2 * kGraphHeight; ++y)
        denseThickness += dense.pixelColor(2 * x, y) == QColor(0, 0, 255) ? 1 : 0;
    QVERIFY(classicThickness >= 2);
    QVERIFY2(std::abs(denseThickness - 2 * classicThickness) <= 1,
             qPrintable(QStringLiteral("%1 %2").arg(classicThickness).arg(denseThickness)));
}

// Twice the classic height: the gradient runs from top to bottom once, without
// starting over halfway.
void GraphPictureTest::tallPicturesHaveNoSeam() {
    GraphPainter painter;
    const QSize tall(kGraphWidth, 2 * kGraphHeight);
    const QImage& picture = painter.picture(tall, {});
    int largestStep = 0;
    for (int y = 1; y < tall.height(); ++y) {
        const QColor a = picture.pixelColor(2, y - 1);
        const QColor b = picture.pixelColor(2, y);
        largestStep = std::max({largestStep, std::abs(a.red() - b.red()),
                                std::abs(a.green() - b.green()), std::abs(a.blue() - b.blue())});
    }
    QVERIFY2(largestStep <= 3, qPrintable(QString::number(largestStep)));
    QVERIFY(picture.pixelColor(2, 0) != picture.pixelColor(2, tall.height() - 1));
}

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    GraphPictureTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "GraphPictureTest.moc"
