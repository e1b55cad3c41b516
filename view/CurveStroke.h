#pragma once

#include <QPolygon>
#include <QRect>

class QPainter;

namespace tevra {

// Strokes a polyline with the painter's pen, pixel for pixel as drawPolyline
// does (aliased, opaque pen), but fast for jagged curves of many points.
//
// A wide pen strokes a polyline as one outline, and filling that outline costs
// time that grows with every crossing of a jagged curve (tens of milliseconds for
// 255 points). Pieces of two segments each cover the same pixels: every segment
// lies in some piece, every join (where the pen's corner shows) lies whole in the
// piece around its point, and opaque pixels drawn twice stay as they are. With a
// valid clip, pieces that cannot reach into it are left out.
void strokeCurve(QPainter& p, const QPolygon& line, QRect clip = {});

// How far a stroke of a 2-pixel pen reaches beyond its points: the pen's half
// width and a mitred corner at the sharpest angle before it is cut off.
inline constexpr int kCurveReach = 6;

} // namespace tevra
