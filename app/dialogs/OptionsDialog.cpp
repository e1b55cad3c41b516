#include "OptionsDialog.h"

#include "CalibrationFileDialog.h"
#include "DialogStrings.h"
#include "PlaceWidget.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>

namespace tevra {

OptionsDialog::OptionsDialog(const OptionsValues& values, std::function<QString()> chooseFile,
                             QWidget* parent)
    : QDialog(parent), values_(values), chooseFile_(std::move(chooseFile)) {
    setObjectName(QStringLiteral("OptionsDialog"));
    setWindowTitle(QStringLiteral("Options"));
    setFixedSize(dlu::size(246, 108));
    if (!chooseFile_)
        chooseFile_ = [this] { return chooseCalibrationFile(this); };

    reloadLast_ = placed(new QCheckBox(QStringLiteral("&Reload Last Edited"), this),
                         "reloadLastBox", 7, 7, 100, 10);
    hideMouse_ = placed(new QCheckBox(QStringLiteral("&Hide Mouse Pointer"), this), "hideMouseBox",
                        7, 20, 100, 10);
    placed(new QLabel(QStringLiteral("Comparison Calibration:"), this), "", 7, 37, 100, 8);
    auto* browse =
        placed(new QPushButton(QStringLiteral("&Browse"), this), "browseButton", 7, 48, 40, 14);
    path_ = placed(new QLineEdit(this), "comparisonPathEdit", 52, 49, 187, 12);

    placed(new QLabel(QStringLiteral("Slow"), this), "", 7, 68, 30, 8);
    auto* speedLabel = placed(new QLabel(QStringLiteral("Flash Speed"), this), "", 42, 68, 50, 8);
    speedLabel->setAlignment(Qt::AlignHCenter);
    auto* fast = placed(new QLabel(QStringLiteral("Fast"), this), "", 97, 68, 30, 8);
    fast->setAlignment(Qt::AlignRight);
    flashSpeed_ = placed(new QSlider(Qt::Horizontal, this), "flashSpeedSlider", 7, 78, 120, 22);
    flashSpeed_->setRange(0, 100);
    flashSpeed_->setTickInterval(10);
    flashSpeed_->setTickPosition(QSlider::TicksBothSides);

    auto* ok = placed(new QPushButton(QStringLiteral("OK"), this), "okButton", 189, 70, 50, 14);
    ok->setDefault(true);
    auto* cancel =
        placed(new QPushButton(QStringLiteral("Cancel"), this), "cancelButton", 189, 87, 50, 14);
    connect(ok, &QPushButton::clicked, this, &OptionsDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &OptionsDialog::reject);
    connect(browse, &QPushButton::clicked, this, &OptionsDialog::browse);

    reloadLast_->setChecked(values_.reloadLast);
    hideMouse_->setChecked(values_.hideMouse);
    path_->setText(pathToQt(values_.comparisonPath));
    flashSpeed_->setValue(values_.flashSpeed);
}

void OptionsDialog::browse() {
    const QString chosen = chooseFile_();
    if (!chosen.isEmpty())
        path_->setText(chosen);
}

void OptionsDialog::accept() {
    values_.reloadLast = reloadLast_->isChecked();
    values_.hideMouse = hideMouse_->isChecked();
    values_.comparisonPath = pathFromQt(path_->text());
    values_.flashSpeed = flashSpeed_->value();
    QDialog::accept();
}

std::optional<OptionsValues> OptionsDialog::ask(const OptionsValues& values, QWidget* parent) {
    OptionsDialog dialog(values, {}, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.values();
}

} // namespace tevra
