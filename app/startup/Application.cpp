#include "Application.h"

#include "DisclaimerDialog.h"
#include "MainWindow.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace tevra {

Application::Application(QString startupFolder)
    : startupFolder_(startupFolder.isEmpty() ? QDir::currentPath() : std::move(startupFolder)) {}

QString Application::markerPath() const {
    return startupFolder_ + QStringLiteral("/Disclaimer.txt");
}

bool Application::passDisclaimer() {
    if (QFileInfo::exists(markerPath()))
        return true;
    const bool agreed =
        askDisclaimer_ ? askDisclaimer_() : DisclaimerDialog().exec() == QDialog::Accepted;
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

int Application::run() {
    if (!passDisclaimer())
        return 0;
    MainWindowServices services;
    services.startupFolder = startupFolder_;
    MainWindow window(std::move(services));
    window.initialise();
    window.exec();
    return 0;
}

} // namespace tevra
