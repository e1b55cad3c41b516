#include "CDododEzodApp.h"

#include "CDododEzodDlg.h"
#include "TableDisclaimer.h"

#include <QDir>
#include <QSaveFile>
#include <QFileInfo>

namespace tevra {

CDododEzodApp::CDododEzodApp(QString startupFolder)
    : startupFolder_(startupFolder.isEmpty() ? QDir::currentPath() : std::move(startupFolder)) {}

QString CDododEzodApp::markerPath() const {
    return startupFolder_ + QStringLiteral("/Disclaimer.txt");
}

bool CDododEzodApp::passDisclaimer() {
    if (QFileInfo::exists(markerPath()))
        return true;
    const bool agreed =
        askDisclaimer_ ? askDisclaimer_() : TableDisclaimer().exec() == QDialog::Accepted;
    if (!agreed)
        return false;
    // Written to a temporary file and renamed into place: the marker is either
    // whole or absent, never a half-written file that skips the question.
    QSaveFile marker(markerPath());
    if (!marker.open(QIODevice::WriteOnly))
        return false;
    const QByteArray line("Disclaimer was agreed to.\n");
    if (marker.write(line) != line.size() || !marker.commit())
        return false;
    return true;
}

int CDododEzodApp::run() {
    if (!passDisclaimer())
        return 0;
    MainWindowServices services;
    services.startupFolder = startupFolder_;
    CDododEzodDlg window(std::move(services));
    window.initialise();
    window.exec();
    return 0;
}

} // namespace tevra
