#include "Application.h"
#include "StartOptions.h"
#include "TevraVersion.h"
#include "WorkingFolder.h"

#include <QApplication>
#include <QDir>
#include <QFont>

#include <clocale>
#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char* argv[]) {
    // --help and --version answer before any window system is needed, so they
    // work on a console without a display (the manual page is made from them).
    const tevra::StartOptions early =
        tevra::parseStartOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (early.help) {
        std::fputs(tevra::startHelp().c_str(), stdout);
        return 0;
    }
    if (early.version) {
        std::puts("tevra " TEVRA_VERSION);
        return 0;
    }

    QApplication app(argc, argv);
    // QApplication sets the locale from the environment; numbers in files and
    // fields are always written with a decimal point.
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName(QStringLiteral("Tevra"));
    QApplication::setApplicationVersion(QStringLiteral(TEVRA_VERSION));

    // What is left once the framework has taken its own options.
    std::vector<std::string> args;
    for (const QString& a : QApplication::arguments().mid(1))
        args.push_back(a.toLocal8Bit().toStdString());
    const tevra::StartOptions options = tevra::parseStartOptions(args);
    if (!options.error.empty()) {
        std::fprintf(stderr, "tevra: %s\n%s", options.error.c_str(), tevra::startHelp().c_str());
        return 2;
    }
    const QString explicitFolder =
        options.workFolder ? QString::fromLocal8Bit(options.workFolder->c_str()) : QString();
    const QString folder = tevra::WorkingFolder::choose(explicitFolder, QDir::currentPath(),
                                                        tevra::WorkingFolder::perUserFolder());
    // A folder already set up and chosen for that is left exactly as it is.
    if (!explicitFolder.isEmpty() || folder != QDir::current().absolutePath()) {
        QString error;
        if (!tevra::WorkingFolder::prepare(folder, tevra::WorkingFolder::installedDataFolder(),
                                           &error)) {
            std::fprintf(stderr, "tevra: %s\n", error.toLocal8Bit().constData());
            return 1;
        }
    }
    // Relative paths in Config.cfg and file dialogs start from the working folder.
    QDir::setCurrent(folder);

    // The layouts are measured in units of an 8-point sans-serif at 96 dpi.
    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                      QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});
    font.setPixelSize(11);
    QApplication::setFont(font);
    tevra::Application program(folder);
    return program.run();
}
