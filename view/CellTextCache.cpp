#include "CellTextCache.h"

#include <QFontMetrics>
#include <QPainter>

namespace tevra {

namespace {
// Room for glyphs that reach left of their origin or past their advance.
constexpr int kPad = 2;
} // namespace

CellTextCache::CellTextCache(const QFont& font) : font_(font) {
    const QFontMetrics fm(font_);
    ascent_ = fm.ascent();
    width_ = fm.horizontalAdvance(QStringLiteral("WW")) + 2 * kPad;
    height_ = fm.height() + 2 * kPad;
}

const QImage& CellTextCache::label(int value, const QColor& colour) {
    const unsigned key =
        (static_cast<unsigned>(colour.rgb() & 0xFFFFFF) << 8) | static_cast<unsigned>(value & 0xFF);
    auto it = labels_.find(key);
    if (it != labels_.end())
        return it->second;
    QImage image(width_, height_, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter p(&image);
        p.setFont(font_);
        p.setPen(colour);
        p.drawText(kPad, kPad + ascent_,
                   QString::asprintf("%.2X", static_cast<unsigned>(value & 0xFF)));
    }
    return labels_.emplace(key, std::move(image)).first->second;
}

void CellTextCache::draw(QPainter& painter, int x, int y, int value, const QColor& colour) {
    painter.drawImage(x - kPad, y - kPad, label(value, colour));
}

} // namespace tevra
