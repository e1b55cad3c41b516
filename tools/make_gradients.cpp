// Writes the two gradient images the graph picture is tiled with:
//   make_gradients OUTPUT_FOLDER  ->  OUTPUT_FOLDER/background.png, OUTPUT_FOLDER/bar.png
// The images are committed under resources/images; rerun this only when the
// colour stops change.

#include <QColor>
#include <QImage>
#include <QString>

#include <cmath>
#include <cstdio>
#include <vector>

namespace {

struct Stop {
    int row;
    int r, g, b;
};

// Every column alike; rows between two stops are interpolated linearly, rows
// past the last stop keep its colour.
QImage verticalGradient(int width, int height, const std::vector<Stop>& stops) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        Stop lo = stops.front();
        Stop hi = stops.back();
        for (std::size_t k = 0; k + 1 < stops.size(); ++k) {
            if (y >= stops[k].row && y <= stops[k + 1].row) {
                lo = stops[k];
                hi = stops[k + 1];
                break;
            }
        }
        double t = 0.0;
        if (y >= hi.row)
            t = 1.0, lo = hi;
        else if (hi.row > lo.row)
            t = static_cast<double>(y - lo.row) / (hi.row - lo.row);
        auto mix = [t](int a, int b) { return static_cast<int>(std::lround(a + (b - a) * t)); };
        const QRgb colour = qRgb(mix(lo.r, hi.r), mix(lo.g, hi.g), mix(lo.b, hi.b));
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, colour);
    }
    return image;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_gradients OUTPUT_FOLDER\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const QImage background = verticalGradient(8, 450,
                                               {{0, 121, 123, 143},
                                                {100, 116, 117, 132},
                                                {200, 108, 108, 115},
                                                {300, 100, 98, 97},
                                                {400, 93, 91, 82},
                                                {425, 92, 89, 79}});
    const QImage bar = verticalGradient(80, 450,
                                        {{0, 8, 20, 178},
                                         {100, 48, 48, 148},
                                         {200, 112, 95, 102},
                                         {300, 182, 145, 52},
                                         {400, 238, 186, 12},
                                         {449, 255, 198, 0}});
    if (!background.save(folder + QStringLiteral("/background.png")) ||
        !bar.save(folder + QStringLiteral("/bar.png"))) {
        std::fprintf(stderr, "make_gradients: cannot write into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
