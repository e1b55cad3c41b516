// Draws the program icon, a gauge over a table curve in the graph's colours:
//   make_icon OUTPUT_FILE [SIZE]  ->  a SIZE x SIZE PNG, 128 by default (committed
//   as resources/images/icon.png). The build also draws the sizes the desktop's
//   icon theme installs. Rerun it by hand only when the artwork changes.

#include <QColor>
#include <QConicalGradient>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QString>

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kSize = 128;
constexpr double kPi = 3.14159265358979323846;

// The dial sweeps 240 degrees, from lower left (7 o'clock) to lower right (5 o'clock).
constexpr double kStartDegrees = 210.0;
constexpr double kSweepDegrees = 240.0;

QPointF onDial(QPointF centre, double radius, double share) {
    const double a = (kStartDegrees - kSweepDegrees * share) * kPi / 180.0;
    return {centre.x() + radius * std::cos(a), centre.y() - radius * std::sin(a)};
}

void drawFace(QPainter& p) {
    // The graph's background gradient, on a rounded tile.
    QLinearGradient face(0, 0, 0, kSize);
    face.setColorAt(0.0, QColor(121, 123, 143));
    face.setColorAt(0.5, QColor(104, 103, 106));
    face.setColorAt(1.0, QColor(92, 89, 79));
    p.setPen(QPen(QColor(40, 40, 48), 3));
    p.setBrush(face);
    p.drawRoundedRect(QRectF(2.5, 2.5, kSize - 5, kSize - 5), 22, 22);
}

void drawDial(QPainter& p, QPointF centre, double radius) {
    // The scale band in the constant bar's colours, blue at rest to amber at full.
    // A conical gradient runs counter-clockwise, so it starts at the full end.
    const double sweep = kSweepDegrees / 360.0;
    QConicalGradient band(centre, kStartDegrees - kSweepDegrees);
    band.setColorAt(0.0, QColor(255, 198, 0));
    band.setColorAt(sweep * 0.5, QColor(112, 95, 102));
    band.setColorAt(sweep, QColor(8, 20, 178));
    band.setColorAt(1.0, QColor(8, 20, 178));
    QPen bandPen(QBrush(band), 10);
    bandPen.setCapStyle(Qt::FlatCap);
    p.setPen(bandPen);
    p.setBrush(Qt::NoBrush);
    const QRectF arc(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
    // Qt's arcs run counter-clockwise in sixteenths of a degree.
    p.drawArc(arc, static_cast<int>(kStartDegrees * 16), static_cast<int>(-kSweepDegrees * 16));

    p.setPen(QPen(Qt::white, 3, Qt::SolidLine, Qt::RoundCap));
    for (int k = 0; k <= 8; ++k) {
        const double share = k / 8.0;
        p.drawLine(onDial(centre, radius - 9, share), onDial(centre, radius - 16, share));
    }
}

void drawCurve(QPainter& p) {
    // A rising table curve with its point markers, as the graph draws one.
    const QPolygonF curve{{20, 110}, {38, 106}, {56, 98}, {74, 86}, {92, 80}, {108, 78}};
    p.setPen(QPen(QColor(0, 0, 255), 5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(curve);
    p.setPen(QPen(Qt::white, 2));
    p.setBrush(Qt::NoBrush);
    for (int k = 1; k + 1 < curve.size(); ++k)
        p.drawRect(QRectF(curve[k].x() - 4, curve[k].y() - 4, 8, 8));
}

void drawNeedle(QPainter& p, QPointF centre, double radius) {
    const QPointF tip = onDial(centre, radius - 6, 0.72);
    p.setPen(QPen(QColor(255, 0, 0), 5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(centre, tip);
    p.setPen(QPen(QColor(40, 40, 48), 2));
    p.setBrush(Qt::white);
    p.drawEllipse(centre, 7, 7);
}

} // namespace

int main(int argc, char** argv) {
    const int size = argc == 3 ? std::atoi(argv[2]) : kSize;
    if (argc < 2 || argc > 3 || size < 16 || size > 1024) {
        std::fprintf(stderr, "usage: make_icon OUTPUT_FILE [SIZE 16..1024]\n");
        return 2;
    }
    QImage icon(size, size, QImage::Format_ARGB32);
    icon.fill(Qt::transparent);
    {
        QPainter p(&icon);
        p.setRenderHint(QPainter::Antialiasing);
        // The artwork is drawn on a 128-unit square, scaled to the size asked for.
        p.scale(size / double(kSize), size / double(kSize));
        const QPointF centre(64, 58);
        const double radius = 44;
        drawFace(p);
        drawDial(p, centre, radius);
        drawCurve(p);
        drawNeedle(p, centre, radius);
    }
    if (!icon.save(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "make_icon: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
