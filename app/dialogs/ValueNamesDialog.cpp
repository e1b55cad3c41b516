#include "ValueNamesDialog.h"

#include "DialogStrings.h"
#include "PlaceWidget.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace tevra {

ValueNamesDialog::ValueNamesDialog(const ValueListTexts& texts, QWidget* parent)
    : QDialog(parent), texts_(texts) {
    setObjectName(QStringLiteral("ValueNamesDialog"));
    setWindowTitle(QStringLiteral("Value List Properties"));
    setFixedSize(dlu::size(278, 149));
    placed(new QLabel(QStringLiteral("Hex Value"), this), "", 7, 7, 40, 8);
    placed(new QLabel(QStringLiteral("Description"), this), "", 52, 7, 80, 8);
    for (std::size_t k = 0; k < 8; ++k) {
        const int y = 18 + 16 * static_cast<int>(k);
        QLineEdit* value = placed(new QLineEdit(this), "", 7, y, 38, 12);
        value->setObjectName(QStringLiteral("valueEdit%1").arg(k));
        value->setText(toQt(texts_.values[k]));
        QLineEdit* description = placed(new QLineEdit(this), "", 52, y, 160, 12);
        description->setObjectName(QStringLiteral("valueDescriptionEdit%1").arg(k));
        description->setText(toQt(texts_.descriptions[k]));
        values_[k] = value;
        descriptions_[k] = description;
    }
    auto* ok = placed(new QPushButton(QStringLiteral("OK"), this), "okButton", 221, 7, 50, 14);
    ok->setDefault(true);
    auto* cancel =
        placed(new QPushButton(QStringLiteral("Cancel"), this), "cancelButton", 221, 24, 50, 14);
    connect(ok, &QPushButton::clicked, this, &ValueNamesDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &ValueNamesDialog::reject);
}

void ValueNamesDialog::accept() {
    for (std::size_t k = 0; k < 8; ++k) {
        texts_.values[k] = fromQt(values_[k]->text());
        texts_.descriptions[k] = fromQt(descriptions_[k]->text());
    }
    QDialog::accept();
}

std::optional<ValueListTexts> ValueNamesDialog::ask(const ValueListTexts& texts, QWidget* parent) {
    ValueNamesDialog dialog(texts, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.texts();
}

} // namespace tevra
