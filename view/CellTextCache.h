#pragma once

#include <QColor>
#include <QFont>
#include <QImage>

#include <map>

class QPainter;

namespace tevra {

// The two-digit hex labels of a 3D grid, rendered once per value and colour and
// then copied: a 32 x 32 grid repaints 1024 labels after every key press, and
// laying out that much text each time costs more than the rest of the picture.
// The glyphs are aliased, so a copied label has exactly the pixels of drawn text.
class CellTextCache {
public:
    explicit CellTextCache(const QFont& font);

    // Draws "%.2X" of value (0..255) with its top-left text cell corner at (x, y).
    void draw(QPainter& painter, int x, int y, int value, const QColor& colour);

private:
    const QImage& label(int value, const QColor& colour);

    QFont font_;
    int ascent_ = 0;
    int width_ = 0;
    int height_ = 0;
    std::map<unsigned, QImage> labels_; // key: rgb << 8 | value
};

} // namespace tevra
