#include "ScanDialog.h"

#include "CalibrationFileDialog.h"
#include "DialogStrings.h"
#include "PlaceWidget.h"

#include <QButtonGroup>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>

namespace tevra {

namespace {

const char* const kNotes[] = {
    "Please note that scanning is not an exact science. This process is not guaranteed to find "
    "all of the tables in the calibration, nor will it necessarily correctly identify them.",
    "It is simply an aid for speeding up the examination of an unknown calibration. Manual "
    "verification of the results will be necessary.",
};

} // namespace

ScanDialog::ScanDialog(const ScanValues& values, std::function<QString()> chooseFile,
                       QWidget* parent)
    : QDialog(parent), values_(values), chooseFile_(std::move(chooseFile)) {
    setObjectName(QStringLiteral("ScanDialog"));
    setWindowTitle(QStringLiteral("Scan For Tables"));
    setFixedSize(dlu::size(250, 165));
    if (!chooseFile_)
        chooseFile_ = [this] { return chooseCalibrationFile(this); };

    auto* first =
        placed(new QLabel(QString::fromLatin1(kNotes[0]), this), "scanNote1", 7, 7, 236, 26);
    auto* second =
        placed(new QLabel(QString::fromLatin1(kNotes[1]), this), "scanNote2", 7, 35, 236, 18);
    for (QLabel* l : {first, second})
        l->setWordWrap(true);

    heuristic_ =
        placed(new QRadioButton(QStringLiteral("Scan for tables using heuristic only"), this),
               "heuristicButton", 7, 58, 220, 10);
    crossIdentify_ = placed(
        new QRadioButton(QStringLiteral("Scan and cross identify with another calibration"), this),
        "crossIdentifyButton", 7, 71, 220, 10);
    // Carrying follows the code that refers to each table, for another build of
    // the same program; it shares the other calibration's path, not the quality.
    carry_ =
        placed(new QRadioButton(
                   QStringLiteral("Scan and carry definitions from another calibration"), this),
               "carryButton", 7, 84, 236, 10);
    auto* group = new QButtonGroup(this);
    group->addButton(heuristic_, ScanValues::HeuristicOnly);
    group->addButton(crossIdentify_, ScanValues::CrossIdentify);
    group->addButton(carry_, ScanValues::Carry);

    browse_ =
        placed(new QPushButton(QStringLiteral("&Browse"), this), "browseButton", 17, 98, 40, 14);
    path_ = placed(new QLineEdit(this), "otherPathEdit", 61, 99, 182, 12);
    lowLabel_ = placed(new QLabel(QStringLiteral("Match Quality 50%"), this), "qualityLowLabel", 17,
                       117, 70, 8);
    highLabel_ =
        placed(new QLabel(QStringLiteral("100%"), this), "qualityHighLabel", 213, 117, 30, 8);
    highLabel_->setAlignment(Qt::AlignRight);
    quality_ = placed(new QSlider(Qt::Horizontal, this), "qualitySlider", 17, 126, 226, 14);
    quality_->setRange(0, 100);

    auto* ok = placed(new QPushButton(QStringLiteral("OK"), this), "okButton", 139, 145, 50, 14);
    ok->setDefault(true);
    auto* cancel =
        placed(new QPushButton(QStringLiteral("Cancel"), this), "cancelButton", 193, 145, 50, 14);
    connect(ok, &QPushButton::clicked, this, &ScanDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &ScanDialog::reject);
    connect(browse_, &QPushButton::clicked, this, [this] {
        const QString chosen = chooseFile_();
        if (!chosen.isEmpty())
            path_->setText(chosen);
    });
    connect(group, &QButtonGroup::idClicked, this, [this] { updateCrossIdentify(); });

    QRadioButton* chosen = values_.choice == ScanValues::CrossIdentify ? crossIdentify_
                           : values_.choice == ScanValues::Carry       ? carry_
                                                                       : heuristic_;
    chosen->setChecked(true);
    path_->setText(pathToQt(values_.otherPath));
    quality_->setValue(values_.quality);
    updateCrossIdentify();
}

void ScanDialog::updateCrossIdentify() {
    const bool on = crossIdentify_->isChecked();
    const bool other = on || carry_->isChecked();
    browse_->setEnabled(other);
    path_->setEnabled(other);
    for (QWidget* w : std::initializer_list<QWidget*>{quality_, lowLabel_, highLabel_})
        w->setEnabled(on);
}

void ScanDialog::accept() {
    values_.choice = crossIdentify_->isChecked() ? ScanValues::CrossIdentify
                     : carry_->isChecked()       ? ScanValues::Carry
                                                 : ScanValues::HeuristicOnly;
    values_.otherPath = pathFromQt(path_->text());
    values_.quality = quality_->value();
    QDialog::accept();
}

std::optional<ScanValues> ScanDialog::ask(const ScanValues& values, QWidget* parent) {
    ScanDialog dialog(values, {}, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.values();
}

} // namespace tevra
