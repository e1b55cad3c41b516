#include "BitNamesDialog.h"

#include "DialogStrings.h"
#include "PlaceWidget.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace tevra {

BitNamesDialog::BitNamesDialog(const Names& names, QWidget* parent)
    : QDialog(parent), names_(names) {
    setObjectName(QStringLiteral("BitNamesDialog"));
    setWindowTitle(QStringLiteral("Bitfield Definitions"));
    setFixedSize(dlu::size(260, 138));
    for (int k = 0; k < 8; ++k) {
        const int y = 7 + 16 * k;
        placed(new QLabel(QStringLiteral("Bit %1").arg(k), this), "", 7, y + 2, 25, 8);
        QLineEdit* edit = placed(new QLineEdit(this), "", 35, y, 160, 12);
        edit->setObjectName(QStringLiteral("bitEdit%1").arg(k));
        edit->setText(toQt(names_[static_cast<std::size_t>(k)]));
        edits_[static_cast<std::size_t>(k)] = edit;
    }
    auto* ok = placed(new QPushButton(QStringLiteral("OK"), this), "okButton", 203, 100, 50, 14);
    ok->setDefault(true);
    auto* cancel =
        placed(new QPushButton(QStringLiteral("Cancel"), this), "cancelButton", 203, 117, 50, 14);
    connect(ok, &QPushButton::clicked, this, &BitNamesDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &BitNamesDialog::reject);
}

void BitNamesDialog::accept() {
    for (std::size_t k = 0; k < 8; ++k)
        names_[k] = fromQt(edits_[k]->text());
    QDialog::accept();
}

std::optional<BitNamesDialog::Names> BitNamesDialog::ask(const Names& names, QWidget* parent) {
    BitNamesDialog dialog(names, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.names();
}

} // namespace tevra
