#include "CDododEzodApp.h"

#include "CDododEzodDlg.h"
#include "TableDisclaimer.h"

#include <QDir>
#include <QFile>
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
    QFile marker(markerPath());
    if (!marker.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const QByteArray line("Disclaimer was agreed to.\n");
    const bool written = marker.write(line) == line.size();
    marker.close();
    if (!written) {
        // A half-written marker would skip the disclaimer next time without a
        // recorded agreement; take it away so the question comes again.
        marker.remove();
        return false;
    }
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
