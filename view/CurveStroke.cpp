#include "CurveStroke.h"

#include <QPainter>

namespace tevra {

void strokeCurve(QPainter& p, const QPolygon& line, QRect clip) {
    if (line.size() < 3) {
        p.drawPolyline(line);
        return;
    }
    for (qsizetype i = 1; i + 1 < line.size(); ++i) {
        const QPoint* piece = line.constData() + i - 1;
        if (clip.isValid()) {
            const QRect reach = QRect(piece[0], piece[0])
                                    .united(QRect(piece[1], piece[1]))
                                    .united(QRect(piece[2], piece[2]))
                                    .adjusted(-kCurveReach, -kCurveReach, kCurveReach, kCurveReach);
            if (!clip.intersects(reach))
                continue;
        }
        p.drawPolyline(piece, 3);
    }
}

} // namespace tevra
