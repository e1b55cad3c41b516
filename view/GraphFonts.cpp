#include "GraphFonts.h"

#include "ViewResources.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QPainter>

namespace tevra {

namespace {

// The largest pixel size whose character cell fits the wanted cell height.
QFont fontWithCellHeight(const QString& family, int cellHeight) {
    QFont font(family);
    font.setStyleHint(QFont::SansSerif);
    font.setWeight(QFont::Light); // the face has no light cut; the nearest weight is taken
    // Aliased glyphs: the same pixels on every machine, and text colours stay exact.
    font.setStyleStrategy(QFont::NoAntialias);
    for (int px = cellHeight; px > 1; --px) {
        font.setPixelSize(px);
        if (QFontMetrics(font).height() <= cellHeight)
            return font;
    }
    return font;
}

int alignedX(const QFontMetrics& fm, int x, const QString& text, HAlign h) {
    switch (h) {
    case HAlign::Centre:
        return x - fm.horizontalAdvance(text) / 2;
    case HAlign::Right:
        return x - fm.horizontalAdvance(text);
    case HAlign::Left:
        break;
    }
    return x;
}

} // namespace

QString GraphFonts::family() {
    static const QString loaded = [] {
        initViewResources();
        const int id =
            QFontDatabase::addApplicationFont(QStringLiteral(":/fonts/LiberationSans-Regular.ttf"));
        const QStringList families = QFontDatabase::applicationFontFamilies(id);
        return families.isEmpty() ? QString() : families.first();
    }();
    return loaded;
}

GraphFonts::GraphFonts()
    : large(fontWithCellHeight(family(), 18)), medium(fontWithCellHeight(family(), 16)),
      vertical(fontWithCellHeight(family(), 14)), small(fontWithCellHeight(family(), 14)) {}

void drawAlignedText(QPainter& painter, const QFont& font, int x, int y, const QString& text,
                     HAlign h, VAlign v) {
    const QFontMetrics fm(font);
    painter.setFont(font);
    const int baseline = v == VAlign::Top ? y + fm.ascent() : y;
    painter.drawText(alignedX(fm, x, text, h), baseline, text);
}

void drawVerticalText(QPainter& painter, const QFont& font, int x, int y, const QString& text,
                      HAlign h) {
    const QFontMetrics fm(font);
    painter.save();
    painter.setFont(font);
    painter.translate(x, y);
    painter.rotate(-90.0);
    painter.drawText(alignedX(fm, 0, text, h), 0, text);
    painter.restore();
}

} // namespace tevra
