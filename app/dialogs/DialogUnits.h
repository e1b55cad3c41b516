#pragma once

#include <QRect>
#include <QSize>

namespace tevra::dlu {

// The windows are laid out in dialog units of MS Sans Serif 8 at 96 dpi, whose
// base units are 6 × 13 pixels: a horizontal unit is a quarter of the average
// character width, a vertical unit an eighth of its height. Rounded like the
// platform that defined these layouts.
constexpr int x(int units) {
    return (units * 6 + 2) / 4;
}
constexpr int y(int units) {
    return (units * 13 + 4) / 8;
}
inline QRect rect(int left, int top, int width, int height) {
    const int l = x(left);
    const int t = y(top);
    return {l, t, x(left + width) - l, y(top + height) - t};
}
inline QSize size(int width, int height) {
    return {x(width), y(height)};
}

} // namespace tevra::dlu
