#include "SaveDialog.h"

#include "DialogStrings.h"
#include "PlaceWidget.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

namespace tevra {

SaveDialog::SaveDialog(const SaveValues& values, QWidget* parent)
    : QDialog(parent), values_(values) {
    setObjectName(QStringLiteral("SaveDialog"));
    setWindowTitle(QStringLiteral("Save Calibration"));
    setFixedSize(dlu::size(239, 57));

    name_ = placed(new QLineEdit(this), "nameEdit", 7, 7, 225, 12);
    makeCurrent_ = placed(new QCheckBox(QStringLiteral("Make Current Edit"), this),
                          "makeCurrentBox", 7, 31, 75, 10);
    saveTables_ =
        placed(new QCheckBox(QStringLiteral("Save Tables"), this), "saveTablesBox", 92, 25, 60, 10);
    saveBinary_ =
        placed(new QCheckBox(QStringLiteral("Save Binary"), this), "saveBinaryBox", 92, 38, 60, 10);
    saveTables_->setEnabled(false);
    saveBinary_->setEnabled(false);
    auto* ok = placed(new QPushButton(QStringLiteral("OK"), this), "okButton", 182, 23, 50, 14);
    ok->setDefault(true);
    auto* cancel =
        placed(new QPushButton(QStringLiteral("Cancel"), this), "cancelButton", 182, 39, 50, 14);
    connect(ok, &QPushButton::clicked, this, &SaveDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &SaveDialog::reject);

    // Every open starts with "Make Current Edit" cleared, whatever came in.
    values_.makeCurrentEdit = false;
    saveTables_->setChecked(values_.saveTables);
    saveBinary_->setChecked(values_.saveBinary);
    connect(name_, &QLineEdit::textChanged, this, &SaveDialog::nameChanged);
    // Filling the field counts as a change of the name, as typing does.
    name_->setText(pathToQt(values_.name));
    nameChanged();
}

bool SaveDialog::namesImageFile(const QString& name) {
    const QString upper = name.toUpper();
    return upper.contains(QStringLiteral(".S19")) || upper.contains(QStringLiteral(".BIN"));
}

void SaveDialog::readControls() {
    values_.name = pathFromQt(name_->text());
    values_.makeCurrentEdit = makeCurrent_->isChecked();
    values_.saveTables = saveTables_->isChecked();
    values_.saveBinary = saveBinary_->isChecked();
}

void SaveDialog::nameChanged() {
    readControls();
    if (!namesImageFile(name_->text()))
        return;
    values_.saveBinary = values_.saveTables = true;
    saveBinary_->setChecked(true);
    saveTables_->setChecked(true);
}

void SaveDialog::accept() {
    readControls();
    // A name that is no image file name is ignored without a word.
    if (namesImageFile(name_->text()))
        QDialog::accept();
}

std::optional<SaveValues> SaveDialog::ask(const SaveValues& values, QWidget* parent) {
    SaveDialog dialog(values, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.values();
}

} // namespace tevra
