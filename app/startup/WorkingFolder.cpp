#include "WorkingFolder.h"

#include "Settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace tevra {

namespace {

const QString kSettingsFile = QStringLiteral("Config.cfg");

bool sameContent(const QString& a, const QString& b) {
    QFile fa(a);
    QFile fb(b);
    return fa.open(QIODevice::ReadOnly) && fb.open(QIODevice::ReadOnly) &&
           fa.readAll() == fb.readAll();
}

// Copies from over to unless to already holds the same bytes; a copy lands
// whole or not at all.
bool refresh(const QString& from, const QString& to) {
    if (!QFileInfo::exists(from))
        return false;
    if (QFileInfo::exists(to)) {
        if (sameContent(from, to))
            return true;
        QFile::remove(to);
    }
    if (!QFile::copy(from, to))
        return false;
    // Installed files are read-only; the user's copies are theirs to change.
    return QFile::setPermissions(to, QFile::permissions(to) | QFileDevice::WriteOwner);
}

bool seedDemo(const QDir& folder, const QString& dataFolder) {
    const QDir demo(dataFolder + QStringLiteral("/demo"));
    for (const char* name : {"demo.bin", "demo.tbl"}) {
        const QString n = QString::fromLatin1(name);
        if (!refresh(demo.filePath(n), folder.filePath(n)))
            return false;
    }
    Settings settings;
    settings.lastPath = QDir::toNativeSeparators(folder.filePath(QStringLiteral("demo.bin")))
                            .toLocal8Bit()
                            .toStdString();
    return settings.save(folder.filePath(kSettingsFile).toLocal8Bit().toStdString());
}

} // namespace

QString WorkingFolder::choose(const QString& explicitFolder, const QString& currentFolder,
                              const QString& perUserFolder) {
    if (!explicitFolder.isEmpty())
        return QDir(explicitFolder).absolutePath();
    const QFileInfo current(currentFolder);
    if (current.isDir() && current.isWritable() &&
        QFileInfo::exists(QDir(currentFolder).filePath(kSettingsFile)))
        return current.absoluteFilePath();
    return perUserFolder;
}

bool WorkingFolder::prepare(const QString& folder, const QString& dataFolder, QString* error) {
    QDir dir(folder);
    if (!dir.mkpath(QStringLiteral("Library")) || !dir.mkpath(QStringLiteral("Help"))) {
        if (error)
            *error = QStringLiteral("Cannot create the folder %1").arg(folder);
        return false;
    }
    // Missing installed files leave the folder usable: the help page and the demo
    // are a convenience, not a condition to start.
    refresh(dataFolder + QStringLiteral("/help/help.html"),
            dir.filePath(QStringLiteral("Help/help.html")));
    if (!dir.exists(kSettingsFile) && !dir.exists(QStringLiteral("demo.bin")))
        seedDemo(dir, dataFolder);
    return true;
}

QString WorkingFolder::perUserFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

QString WorkingFolder::installedDataFolder() {
    return QDir::cleanPath(QCoreApplication::applicationDirPath() +
                           QStringLiteral("/../share/tevra"));
}

} // namespace tevra
