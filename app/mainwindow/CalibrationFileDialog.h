#pragma once

#include <QFileDialog>
#include <QString>

namespace tevra {

// The file-open dialog of every "&Browse": one filter for both image formats.
// An empty result means the user cancelled.
inline QString chooseCalibrationFile(QWidget* parent) {
    return QFileDialog::getOpenFileName(parent, QString(), QString(),
                                        QStringLiteral("Calibration Files (*.bin *.s19)"));
}

} // namespace tevra
