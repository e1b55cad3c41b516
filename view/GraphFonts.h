#pragma once

#include <QFont>
#include <QString>

class QPainter;

namespace tevra {

// The four fonts of the graph picture. The face is the bundled Liberation Sans
// (metric-compatible with Arial) so every machine draws the same pixels; each
// font is sized so its character cell is as tall as the picture's layout expects.
class GraphFonts {
public:
    GraphFonts();

    QFont large;    // cell height 18: constant values, box names, messages, 3D title
    QFont medium;   // cell height 16: 3D cells and X range labels
    QFont vertical; // cell height 14, drawn turned 90 degrees: Y titles
    QFont small;    // cell height 14: axis labels, X title, "SECONDARY"

    // The family loaded from the resources, or an empty string when the resource
    // is missing (the platform's default sans face stands in then).
    static QString family();
};

enum class HAlign { Left, Centre, Right };
enum class VAlign { Top, Baseline };

// Draws text at a reference point with the given alignment, in the painter's
// current pen colour.
void drawAlignedText(QPainter& painter, const QFont& font, int x, int y, const QString& text,
                     HAlign h, VAlign v);

// Draws text turned 90 degrees so it reads bottom to top; the reference point
// lies on the baseline and the alignment runs along it (Left = text starts at
// the point and goes up).
void drawVerticalText(QPainter& painter, const QFont& font, int x, int y, const QString& text,
                      HAlign h);

} // namespace tevra
