#include "Application.h"

#include <QApplication>
#include <QFont>

#include <clocale>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    // QApplication sets the locale from the environment; numbers in files and
    // fields are always written with a decimal point.
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName(QStringLiteral("Tevra"));
    // The layouts are measured in units of an 8-point sans-serif at 96 dpi.
    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                      QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});
    font.setPixelSize(11);
    QApplication::setFont(font);
    tevra::Application program;
    return program.run();
}
