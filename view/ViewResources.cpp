#include "ViewResources.h"

#include <QColor>

// Outside any namespace: the macro declares the generated resource initialiser.
static void registerTevraResources() {
    Q_INIT_RESOURCE(tevra);
}

namespace tevra {

namespace {

QImage loadOr(const char* path, int width, int height, QColor fallback) {
    initViewResources();
    QImage image(QString::fromLatin1(path));
    if (image.isNull()) {
        image = QImage(width, height, QImage::Format_RGB32);
        image.fill(fallback);
    }
    return image.convertToFormat(QImage::Format_RGB32);
}

} // namespace

void initViewResources() {
    static const bool done = [] {
        registerTevraResources();
        return true;
    }();
    (void)done;
}

const QImage& backgroundImage() {
    static const QImage image = loadOr(":/images/background.png", 8, 450, QColor(108, 108, 115));
    return image;
}

const QImage& barImage() {
    static const QImage image = loadOr(":/images/bar.png", 80, 450, QColor(112, 95, 102));
    return image;
}

QIcon programIcon() {
    initViewResources();
    return QIcon(QStringLiteral(":/images/icon.png"));
}

} // namespace tevra
