#pragma once

#include "DialogValues.h"

#include <QDialog>
#include <QString>

#include <functional>
#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSlider;

namespace tevra {

// Scan For Tables: heuristic scan alone, cross-identification with another
// calibration whose path and required match quality it also asks for, or carrying
// another calibration's definitions (the path only). The path is live while either
// of the last two is selected, the quality only with cross-identification. "&Browse"
// asks chooseFile (a file-open dialog unless the caller answers); empty = cancelled.
class ScanDialog : public QDialog {
    Q_OBJECT

public:
    ScanDialog(const ScanValues& values, std::function<QString()> chooseFile = {},
               QWidget* parent = nullptr);

    const ScanValues& values() const { return values_; }
    static std::optional<ScanValues> ask(const ScanValues& values, QWidget* parent);

    void accept() override;

private:
    void updateCrossIdentify();

    ScanValues values_;
    std::function<QString()> chooseFile_;
    QRadioButton* heuristic_ = nullptr;
    QRadioButton* crossIdentify_ = nullptr;
    QRadioButton* carry_ = nullptr;
    QPushButton* browse_ = nullptr;
    QLineEdit* path_ = nullptr;
    QSlider* quality_ = nullptr;
    QLabel* lowLabel_ = nullptr;
    QLabel* highLabel_ = nullptr;
};

} // namespace tevra
