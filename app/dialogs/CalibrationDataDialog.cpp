#include "CalibrationDataDialog.h"

#include "CalibrationDataRules.h"
#include "DialogStrings.h"
#include "DialogText.h"
#include "PlaceWidget.h"
#include "Prompter.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>

namespace tevra {

namespace {

// The validation messages carry the application's name as their caption.
const char* const kValidationCaption = "Tevra";

// The framework's validation messages are warning boxes over the dialog.
class WarningBoxes final : public Prompter {
public:
    QWidget* parent = nullptr;
    void message(const std::string& text, const std::string& caption) override {
        QMessageBox::warning(parent, toQt(caption), toQt(text));
    }
    bool askYesNo(const std::string&, const std::string&) override { return false; }
};

QLineEdit* labelledEdit(QWidget* parent, const char* label, const char* name, int y, int width) {
    placed(new QLabel(QString::fromLatin1(label), parent), "", 7, y + 2, 70, 8);
    return placed(new QLineEdit(parent), name, 80, y, width, 12);
}

} // namespace

CalibrationDataDialog::CalibrationDataDialog(const CalDataValues& values, Prompter& prompter,
                                             QWidget* parent)
    : QDialog(parent), values_(values), prompter_(prompter) {
    setObjectName(QStringLiteral("CalibrationDataDialog"));
    setWindowTitle(QStringLiteral("Calibration Data"));
    setFixedSize(dlu::size(257, 148));

    description_ = labelledEdit(this, "Description", "descriptionEdit", 7, 170);
    author_ = labelledEdit(this, "Author Name", "authorEdit", 23, 170);
    baseAddress_ = labelledEdit(this, "Base Address (Hex)", "baseAddressEdit", 39, 50);
    injectorSize_ = labelledEdit(this, "Injector Size (pph)", "injectorSizeEdit", 55, 50);
    maxBoost_ = labelledEdit(this, "Max Boost (psi)", "maxBoostEdit", 71, 50);

    placed(new QGroupBox(QStringLiteral("Checksum"), this), "checksumGroup", 7, 88, 130, 53);
    checksumEnabled_ = placed(new QCheckBox(QStringLiteral("Recalculate Checksum on Save"), this),
                              "checksumEnabledBox", 13, 99, 120, 10);
    placed(new QLabel(QStringLiteral("Checksum Address"), this), "", 13, 113, 67, 8);
    checksumAddress_ = placed(new QLineEdit(this), "checksumAddressEdit", 82, 111, 48, 12);
    placed(new QLabel(QStringLiteral("Fix-up Address"), this), "", 13, 127, 67, 8);
    fixupAddress_ = placed(new QLineEdit(this), "fixupAddressEdit", 82, 125, 48, 12);

    placed(new QGroupBox(QStringLiteral("MAP Type"), this), "mapTypeGroup", 143, 88, 54, 53);
    auto* group = new QButtonGroup(this);
    const char* const mapTexts[] = {"2 Bar", "2.5 Bar", "3 Bar"};
    const char* const mapNames[] = {"mapType2", "mapType25", "mapType3"};
    for (int k = 0; k < 3; ++k) {
        auto* b = placed(new QRadioButton(QString::fromLatin1(mapTexts[k]), this), mapNames[k], 149,
                         99 + 13 * k, 44, 10);
        group->addButton(b, k);
        mapTypes_[static_cast<std::size_t>(k)] = b;
    }

    auto* ok = placed(new QPushButton(QStringLiteral("OK"), this), "okButton", 203, 107, 50, 14);
    ok->setDefault(true);
    auto* cancel =
        placed(new QPushButton(QStringLiteral("Cancel"), this), "cancelButton", 203, 126, 50, 14);
    connect(ok, &QPushButton::clicked, this, &CalibrationDataDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &CalibrationDataDialog::reject);

    // Opening: an empty base becomes C000; the values go into the controls.
    if (values_.baseAddress.empty())
        values_.baseAddress = "C000";
    description_->setText(toQt(values_.description));
    author_->setText(toQt(values_.author));
    baseAddress_->setText(toQt(values_.baseAddress));
    injectorSize_->setText(toQt(dialogtext::formatNumber(values_.injectorSize)));
    maxBoost_->setText(toQt(dialogtext::formatNumber(values_.maxBoost)));
    checksumEnabled_->setChecked(values_.checksumEnabled);
    checksumAddress_->setText(toQt(values_.checksumAddress));
    fixupAddress_->setText(toQt(values_.fixupAddress));
    // A MAP type between the buttons selects none (exclusive groups cannot show that).
    group->setExclusive(false);
    const int index = caldata::mapTypeIndex(values_.mapType);
    for (int k = 0; k < 3; ++k)
        mapTypes_[static_cast<std::size_t>(k)]->setChecked(k == index);
    group->setExclusive(true);

    connect(checksumEnabled_, &QCheckBox::toggled, this,
            &CalibrationDataDialog::updateChecksumFields);
    updateChecksumFields();
}

void CalibrationDataDialog::updateChecksumFields() {
    const bool on = checksumEnabled_->isChecked();
    checksumAddress_->setEnabled(on);
    fixupAddress_->setEnabled(on);
}

void CalibrationDataDialog::refuse(const std::string& message, QLineEdit* field) {
    prompter_.message(message, kValidationCaption);
    field->setFocus();
    field->selectAll();
}

void CalibrationDataDialog::accept() {
    CalDataValues v = values_;
    v.author = fromQt(author_->text());
    v.baseAddress = fromQt(baseAddress_->text());
    v.description = fromQt(description_->text());
    if (auto message = caldata::checkBaseAddress(v)) {
        refuse(*message, baseAddress_);
        return;
    }
    const struct {
        QLineEdit* edit;
        double min, max;
        float* value;
    } numbers[] = {{maxBoost_, 0, 100, &v.maxBoost}, {injectorSize_, 15, 127, &v.injectorSize}};
    for (const auto& n : numbers) {
        if (auto message =
                dialogtext::checkNumber(fromQt(n.edit->text()), n.min, n.max, *n.value)) {
            refuse(*message, n.edit);
            return;
        }
    }
    v.checksumAddress = fromQt(checksumAddress_->text());
    v.fixupAddress = fromQt(fixupAddress_->text());
    v.checksumEnabled = checksumEnabled_->isChecked();
    // With no button selected the MAP type stays as it was rather than becoming 1.5.
    for (int k = 0; k < 3; ++k)
        if (mapTypes_[static_cast<std::size_t>(k)]->isChecked())
            v.mapType = caldata::mapTypeOf(k);
    values_ = v;
    QDialog::accept();
}

std::optional<CalDataValues> CalibrationDataDialog::ask(const CalDataValues& values,
                                                        Prompter* prompter, QWidget* parent) {
    WarningBoxes boxes;
    CalibrationDataDialog dialog(values, prompter ? *prompter : boxes, parent);
    boxes.parent = &dialog;
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.values();
}

} // namespace tevra
