#include "GraphPainter.h"

#include "CalEntry.h"
#include "CellTextCache.h"
#include "CurvePixels.h"
#include "CurveStroke.h"
#include "EntryText.h"
#include "PictureFacts.h"
#include "ViewResources.h"

#include <QPainter>
#include <QPen>

#include <algorithm>
#include <map>
#include <utility>

namespace tevra {

namespace {

const QColor kWhite(255, 255, 255);
const QColor kBlack(0, 0, 0);
const QColor kPrimaryCurve(0, 0, 255);
const QColor kComparison(50, 50, 50);
const QColor kSelected(255, 0, 0);
const QColor kEndMarker(0, 255, 0);
const QColor kSecondaryText(64, 64, 64);
const QColor kGuideFocused(128, 0, 0);
const QColor kGuideUnfocused(128, 128, 128);
const QColor kBoxOutline(192, 192, 192);
const QColor kCheck(0, 0, 255);
const QColor kInnerGrid(180, 180, 220);
const QColor kCellText(0, 255, 0);
const QColor kNegativeCell(0, 0, 255);

bool isTableOrConstant(EntryType t) {
    return isTable2D(t) || isConstant(t);
}

// A drawable entry: positioned, and every byte of its layout inside the image.
bool drawable(const CalEntry* e) {
    return e && e->hasData() && e->inImage();
}

// Flat caps leave out a line's last pixel, as classic line drawing does, so the
// lines end where the layout says and abutting lines do not double a corner.
QPen pen(const QColor& c, int width = 1) {
    QPen p(c);
    p.setWidth(width);
    p.setCapStyle(Qt::FlatCap);
    p.setJoinStyle(Qt::MiterJoin);
    return p;
}

QString caption(const QString& name, const QString& unit) {
    return QStringLiteral("%1 (%2)").arg(name, unit);
}

// The gradients are as tall as the classic picture and tile sideways; a taller
// picture gets them stretched to its height, so no seam runs across it.
QImage fitted(const QImage& gradient, int height) {
    if (height <= gradient.height())
        return gradient;
    static std::map<std::pair<qint64, int>, QImage> cache;
    const auto key = std::make_pair(gradient.cacheKey(), height);
    auto it = cache.find(key);
    if (it == cache.end()) {
        if (cache.size() > 8) // a window being resized passes many heights
            cache.clear();
        it = cache
                 .emplace(key, gradient.scaled(gradient.width(), height, Qt::IgnoreAspectRatio,
                                               Qt::SmoothTransformation))
                 .first;
    }
    return it->second;
}

bool unusedName(const std::string& name) {
    return entryText(name).compare(QLatin1String("unused"), Qt::CaseInsensitive) == 0;
}

} // namespace

GraphPainter::GraphPainter() : cellText_(fonts_.medium) {}

void GraphPainter::SetEntry(const CalEntry* entry) {
    primary_ = entry;
    if (entry) {
        axes_.xName = entryText(entry->xName);
        axes_.xUnit = entryText(entry->xUnit);
        axes_.yName = entryText(entry->yName);
        axes_.yUnit = entryText(entry->yUnit);
        axes_.xMinText = entryText(entry->xMin);
        axes_.xMaxText = entryText(entry->xMax);
        axes_.yMinText = entryText(entry->yMin);
        axes_.yMaxText = entryText(entry->yMax);
        axes_.ranges = {entry->xMinValue(), entry->xMaxValue(), entry->yMinValue(),
                        entry->yMaxValue()};
    }
    backgroundStale_ = true;
}

void GraphPainter::SetSecondaryEntry(const CalEntry* entry) {
    if (entry && !isTable2D(entry->type)) {
        secondary_ = nullptr;
        return;
    }
    secondary_ = entry;
    if (entry)
        secondaryRanges_ = {entry->xMinValue(), entry->xMaxValue(), entry->yMinValue(),
                            entry->yMaxValue()};
    backgroundStale_ = true;
}

bool GraphPainter::renderBackground(QSize size, qreal pixelRatio) {
    // The layer is kept in device pixels, so a high-density screen gets text and
    // lines drawn at its own resolution instead of a scaled-up picture.
    const QSize pixels = (QSizeF(size) * pixelRatio).toSize();
    if (!backgroundStale_ && background_.size() == pixels &&
        background_.devicePixelRatio() == pixelRatio)
        return false;
    if (background_.size() != pixels)
        background_ = QImage(pixels, QImage::Format_RGB32);
    background_.setDevicePixelRatio(pixelRatio);
    QPainter p(&background_);
    p.setBrushOrigin(0, 0);
    p.fillRect(QRect(QPoint(0, 0), size), QBrush(fitted(backgroundImage(), size.height())));
    if (primary_ && isTableOrConstant(primary_->type)) {
        const PlotRect plot = plotRect(size.width(), size.height());
        p.setPen(pen(kWhite));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRect(QPoint(plot.left, plot.top), QPoint(plot.right, plot.bottom)));
        const int mid = (plot.top + plot.bottom) / 2;
        const int q = plot.height() / 4;
        const QRgb white = kWhite.rgb();
        for (int row : {mid - q, mid, mid + q}) {
            if (row < 0 || row >= size.height())
                continue;
            if (pixelRatio != 1.0) {
                for (int x = std::max(plot.left, 0); x < plot.right && x < size.width(); x += 4)
                    p.fillRect(QRectF(x, row, 1, 1), kWhite);
                continue;
            }
            auto* line = reinterpret_cast<QRgb*>(background_.scanLine(row));
            for (int x = plot.left; x < plot.right; x += 4)
                if (x >= 0 && x < size.width())
                    line[x] = white;
        }
        p.setPen(kBlack);
        drawBackgroundLabels(p, plot, 2, 2);
        p.setPen(kWhite);
        drawBackgroundLabels(p, plot, 0, 0);
    }
    backgroundStale_ = false;
    return true;
}

void GraphPainter::drawBackgroundLabels(QPainter& p, const PlotRect& plot, int dx, int dy) {
    drawAlignedText(p, fonts_.small, plot.left - 4 + dx, plot.top + dy, axes_.yMaxText,
                    HAlign::Right, VAlign::Top);
    drawAlignedText(p, fonts_.small, plot.left - 4 + dx, plot.bottom + dy, axes_.yMinText,
                    HAlign::Right, VAlign::Baseline);
    if (isTable2D(primary_->type)) {
        const int y = plot.bottom + 4 + dy;
        drawAlignedText(p, fonts_.small, plot.left + dx, y, axes_.xMinText, HAlign::Left,
                        VAlign::Top);
        drawAlignedText(p, fonts_.small, plot.right + dx, y, axes_.xMaxText, HAlign::Right,
                        VAlign::Top);
        drawAlignedText(p, fonts_.small, (plot.left + plot.right) / 2 + dx, y,
                        caption(axes_.xName, axes_.xUnit), HAlign::Centre, VAlign::Top);
    }
    drawVerticalText(p, fonts_.vertical, 40 / 2 + dx, (plot.top + plot.bottom) / 2 + dy,
                     caption(axes_.yName, axes_.yUnit), HAlign::Centre);
}

void GraphPainter::paint(QPainter& p, QSize size, const ViewState& state, qreal pixelRatio) {
    prepare(size, state, pixelRatio);
    p.drawImage(0, 0, picture_);
}

const QImage& GraphPainter::picture(QSize size, const ViewState& state, qreal pixelRatio) {
    prepare(size, state, pixelRatio);
    return picture_;
}

PictureFacts GraphPainter::factsFor(QSize size, const ViewState& state, qreal pixelRatio) const {
    PictureFacts f;
    f.size = size;
    f.pixelRatio = pixelRatio;
    f.primary = primary_;
    f.secondary = secondary_;
    f.selectedPoint = state.selectedPoint;
    f.cursorColumn = state.cursorColumn;
    f.cursorRow = state.cursorRow;
    f.focused = state.focused;
    if (!primary_ || !primary_->hasData())
        return f;
    const PlotRect plot = plotRect(size.width(), size.height());
    if (drawable(secondary_) && overlayPossible(axes_.ranges)) {
        CurvePixels curve = curvePixels(*secondary_, plot);
        auto move = [&](PixelPoint& pt) {
            pt = overlayPixel(plot, pt, axes_.ranges, secondaryRanges_);
        };
        move(curve.start);
        move(curve.finish);
        for (PixelPoint& pt : curve.markers)
            move(pt);
        f.hasComparisonCurve = true;
        f.comparisonCurve = std::move(curve);
    }
    if (!drawable(primary_))
        return f;
    const EntryType t = primary_->type;
    if (isTable2D(t)) {
        f.hasCurve = true;
        f.curve = curvePixels(*primary_, plot);
    } else if (t == EntryType::Table3D) {
        f.grid = gridRect(size.width(), size.height(), primary_->Columns(), primary_->Rows());
        if (f.grid.valid) {
            f.cells.reserve(static_cast<std::size_t>(f.grid.columns * f.grid.rows));
            for (int r = 0; r < f.grid.rows; ++r)
                for (int c = 0; c < f.grid.columns; ++c)
                    f.cells.push_back(primary_->GetCell(c, r) & 0xFF);
        }
    } else {
        f.bytes = {primary_->byteAt(0), primary_->byteAt(1)};
    }
    return f;
}

// Brings the cached picture up to date: all of it after a change of entry, size
// or background, else only the part the values changed, so a drag step or a
// cell edit redraws a few points or cells instead of the whole curve or grid.
QRect GraphPainter::prepare(QSize size, const ViewState& state, qreal pixelRatio) {
    const bool backgroundChanged = renderBackground(size, pixelRatio);
    PictureFacts facts = factsFor(size, state, pixelRatio);
    const QRect whole(QPoint(0, 0), size);
    QRect dirty = whole;
    if (!backgroundChanged && !pictureStale_ && picture_.size() == background_.size())
        dirty = changedRect(facts_, facts);
    if (!dirty.isEmpty()) {
        if (picture_.size() != background_.size())
            picture_ = QImage(background_.size(), QImage::Format_RGB32);
        picture_.setDevicePixelRatio(pixelRatio);
        QPainter p(&picture_);
        drawPicture(p, facts, dirty == whole ? QRect() : dirty);
    }
    pictureStale_ = false;
    facts_ = std::move(facts);
    return dirty;
}

void GraphPainter::drawPicture(QPainter& p, const PictureFacts& f, QRect clip) {
    if (clip.isValid())
        p.setClipRect(clip);
    p.drawImage(0, 0, background_);
    if (!primary_ || !primary_->hasData())
        return;
    const PlotRect plot = plotRect(f.size.width(), f.size.height());
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setBrush(Qt::NoBrush);
    if (secondary_ && secondary_->hasData()) {
        p.setPen(kSecondaryText);
        drawAlignedText(p, fonts_.small, plot.left + 10, plot.top + 10, QStringLiteral("SECONDARY"),
                        HAlign::Left, VAlign::Top);
        // A comparison whose bytes leave the image, or a primary axis without
        // extent (nothing to place the curve on), shows the mark but no curve.
        if (f.hasComparisonCurve)
            drawCurve(p, f.comparisonCurve, true, false, -1, clip);
    }
    if (drawable(primary_)) {
        switch (primary_->type) {
        case EntryType::Unsigned8Table:
        case EntryType::Unsigned16Table:
        case EntryType::Signed8Table:
            drawCurve(p, f.curve, false, primary_->type == EntryType::Unsigned16Table,
                      f.selectedPoint, clip);
            break;
        case EntryType::Constant8:
        case EntryType::Constant16:
            drawBar(p, plot, f.focused, f.size.height());
            break;
        case EntryType::FlagByte:
        case EntryType::ValueList:
            drawBoxes(p, plot);
            break;
        case EntryType::Table3D:
            drawGrid(p, f, clip);
            break;
        default:
            break;
        }
    }
}

void GraphPainter::drawCurve(QPainter& p, const CurvePixels& curve, bool comparison,
                             bool sixteenBit, int selected, QRect clip) {
    if (curve.empty())
        return;
    QPolygon line;
    line.reserve(static_cast<int>(curve.markers.size()) + 2);
    line << QPoint(curve.start.x, curve.start.y);
    for (const PixelPoint& pt : curve.markers)
        line << QPoint(pt.x, pt.y);
    if (curve.hasFinish)
        line << QPoint(curve.finish.x, curve.finish.y);
    p.setPen(pen(comparison ? kComparison : kPrimaryCurve, 2));
    strokeCurve(p, line, clip);

    const int last = static_cast<int>(curve.markers.size()) - 1;
    for (int i = 0; i <= last; ++i) {
        QColor c = kWhite;
        if (comparison)
            c = kComparison;
        else if (i == selected)
            c = kSelected;
        else if (sixteenBit && i == last)
            c = kEndMarker;
        const PixelPoint& pt = curve.markers[static_cast<std::size_t>(i)];
        const QRect marker(pt.x - 3, pt.y - 3, 6, 6);
        if (clip.isValid() && !clip.intersects(marker.adjusted(-1, -1, 1, 1)))
            continue;
        p.setPen(pen(c));
        p.drawRect(marker);
    }
}

void GraphPainter::drawBar(QPainter& p, const PlotRect& plot, bool focused, int height) {
    const EntryType type = primary_->type;
    const bool wide = type == EntryType::Constant16;
    const int v = primary_->GetX(0);
    const int cx = (plot.left + plot.right) / 2;
    const int b = constantBarHalfWidth(plot, type);

    QPen guide = pen(focused ? kGuideFocused : kGuideUnfocused);
    if (!focused)
        guide.setDashPattern({1.0, 1.0});
    p.setPen(guide);
    p.drawLine(cx - b - 1, plot.top, cx - b - 1, plot.bottom);
    p.drawLine(cx + b, plot.top, cx + b, plot.bottom);

    const int barTop = constantBarTop(plot, type, v);
    if (barTop < plot.bottom && b > 0) {
        p.setBrushOrigin(0, 0);
        p.fillRect(QRect(cx - b, barTop, 2 * b, plot.bottom - barTop),
                   QBrush(fitted(barImage(), height)));
    }

    const AxisRanges& r = axes_.ranges;
    const float share = static_cast<float>(v) / (wide ? 65535.0f : 255.0f);
    const QString value =
        QString::asprintf("%.2f", static_cast<double>(r.yMin + (r.yMax - r.yMin) * share));
    if (!wide) {
        p.setPen(kBlack);
        drawAlignedText(p, fonts_.large, cx + 1, plot.bottom - 29, value, HAlign::Centre,
                        VAlign::Top);
    }
    p.setPen(kWhite);
    drawAlignedText(p, fonts_.large, cx, plot.bottom - 30, value, HAlign::Centre, VAlign::Top);
    const QString raw = wide ? QString::asprintf("%4.4XH", static_cast<unsigned>(v))
                             : QString::asprintf("%2.2XH", static_cast<unsigned>(v));
    drawAlignedText(p, fonts_.large, plot.right - (wide ? 80 : 60), plot.top + 30, raw,
                    HAlign::Left, VAlign::Top);
}

void GraphPainter::drawBoxes(QPainter& p, const PlotRect& plot) {
    const bool flags = primary_->type == EntryType::FlagByte;
    const int byte = primary_->byteAt(0);
    const PixelPoint o = boxOrigin(plot);
    bool anyRow = false;
    for (int k = 0; k < 8; ++k) {
        const auto index = static_cast<std::size_t>(k);
        const std::string& name = primary_->itemNames[index];
        if (unusedName(name))
            continue;
        anyRow = true;
        const int y = o.y + 30 * k;
        p.setPen(pen(kBoxOutline));
        p.drawRect(QRect(o.x, y, 25, 25));
        const int value = primary_->itemValues[index];
        const bool set = flags ? ((byte >> k) & 1) != 0 : byte == value;
        if (set) {
            p.setPen(pen(kCheck, 3));
            const QPoint mark[] = {{o.x + 5, y + 14}, {o.x + 12, y + 22}, {o.x + 20, y + 4}};
            p.drawPolyline(mark, 3);
        }
        p.setPen(kWhite);
        drawAlignedText(p, fonts_.large, o.x + 32, y + 3, entryText(name), HAlign::Left,
                        VAlign::Top);
        if (flags)
            drawAlignedText(p, fonts_.large, o.x - 20, y + 3, QString::number(k), HAlign::Left,
                            VAlign::Top);
        else
            drawAlignedText(p, fonts_.large, o.x - 30, y + 3,
                            QString::asprintf("%.2X", static_cast<unsigned>(value)), HAlign::Left,
                            VAlign::Top);
    }
    if (!anyRow) {
        p.setPen(kWhite);
        drawAlignedText(p, fonts_.large, (plot.left + plot.right) / 2, (plot.top + plot.bottom) / 2,
                        QStringLiteral("(Nothing defined, click Properties & Define Fields)"),
                        HAlign::Centre, VAlign::Baseline);
    }
}

void GraphPainter::drawGrid(QPainter& p, const PictureFacts& f, QRect clip) {
    const GridRect& g = f.grid;
    if (!g.valid)
        return;
    const int columns = g.columns;
    const int rows = g.rows;
    p.setPen(pen(kWhite));
    p.drawRect(QRect(g.x0, g.y0, g.width(), g.height()));
    p.setPen(pen(kInnerGrid));
    for (int r = 1; r < rows; ++r)
        p.drawLine(g.x0 + 1, g.y0 + kCellSize * r, g.x0 + g.width() - 1, g.y0 + kCellSize * r);
    for (int c = 1; c < columns; ++c)
        p.drawLine(g.x0 + kCellSize * c, g.y0 + 1, g.x0 + kCellSize * c, g.y0 + g.height() - 1);

    const bool signedCells = primary_->cellsSigned();
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            if (clip.isValid() && !clip.intersects(cellReach(g, c, r)))
                continue;
            int m = f.cells[static_cast<std::size_t>(r * columns + c)];
            QColor colour = kCellText;
            if (c == f.cursorColumn && r == f.cursorRow) {
                colour = kWhite;
            } else if (signedCells && m > 127) {
                colour = kNegativeCell;
                m = 256 - m; // the magnitude; blue says it is negative
            }
            cellText_.draw(p, g.x0 + 4 + kCellSize * c, g.y0 + 3 + kCellSize * r, m, colour);
        }
    }
    drawGridLabels(p, g);
}

void GraphPainter::drawGridLabels(QPainter& p, const GridRect& g) {
    const QString xTitle = caption(axes_.xName, axes_.xUnit);
    const QString yTitle = caption(axes_.yName, axes_.yUnit);
    p.setPen(kBlack);
    drawAlignedText(p, fonts_.large, g.x0 + g.width() / 2 + 2, g.y0 - 22, xTitle, HAlign::Centre,
                    VAlign::Top);
    p.setPen(kWhite);
    drawAlignedText(p, fonts_.large, g.x0 + g.width() / 2, g.y0 - 24, xTitle, HAlign::Centre,
                    VAlign::Top);
    if (g.columns > 8) {
        drawAlignedText(p, fonts_.medium, g.x0, g.y0 - 24, axes_.xMinText, HAlign::Left,
                        VAlign::Top);
        drawAlignedText(p, fonts_.medium, g.x0 + g.width(), g.y0 - 24, axes_.xMaxText,
                        HAlign::Right, VAlign::Top);
    }
    p.setPen(kBlack);
    drawVerticalText(p, fonts_.vertical, g.x0 - 4, g.y0 + g.height() / 2 + 2, yTitle,
                     HAlign::Centre);
    p.setPen(kWhite);
    drawVerticalText(p, fonts_.vertical, g.x0 - 6, g.y0 + g.height() / 2, yTitle, HAlign::Centre);
    if (g.rows > 8) {
        // The minimum reads down from the grid's top edge, the maximum up from its bottom.
        drawVerticalText(p, fonts_.vertical, g.x0 - 6, g.y0, axes_.yMinText, HAlign::Right);
        drawVerticalText(p, fonts_.vertical, g.x0 - 6, g.y0 + g.height(), axes_.yMaxText,
                         HAlign::Left);
    }
}

} // namespace tevra
