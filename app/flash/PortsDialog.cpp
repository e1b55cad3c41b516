#include "PortsDialog.h"

#include "DialogStrings.h"
#include "PlaceWidget.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace tevra {

PortsDialog::PortsDialog(const PortMap& ports, QWidget* parent) : QDialog(parent), ports_(ports) {
    setObjectName(QStringLiteral("PortsDialog"));
    setWindowTitle(QStringLiteral("Serial Ports"));
    setFixedSize(dlu::size(200, 90));

    for (int k = 0; k < PortMap::kPortCount; ++k) {
        const int y = 7 + 15 * k;
        const auto index = static_cast<std::size_t>(k);
        auto* label =
            placed(new QLabel(QStringLiteral("COM &%1:").arg(k + 1), this), "", 7, y + 2, 30, 8);
        const QByteArray name = QByteArrayLiteral("portPathEdit") + QByteArray::number(k + 1);
        paths_[index] = placed(new QLineEdit(this), name.constData(), 40, y, 153, 12);
        paths_[index]->setText(pathToQt(ports_.devices[index]));
        label->setBuddy(paths_[index]);
    }
    auto* ok = placed(new QPushButton(QStringLiteral("OK"), this), "okButton", 89, 69, 50, 14);
    ok->setDefault(true);
    auto* cancel =
        placed(new QPushButton(QStringLiteral("Cancel"), this), "cancelButton", 143, 69, 50, 14);
    connect(ok, &QPushButton::clicked, this, &PortsDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &PortsDialog::reject);
}

void PortsDialog::accept() {
    for (std::size_t k = 0; k < paths_.size(); ++k)
        ports_.devices[k] = pathFromQt(paths_[k]->text().trimmed());
    QDialog::accept();
}

std::optional<PortMap> PortsDialog::ask(const PortMap& ports, QWidget* parent) {
    PortsDialog dialog(ports, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.ports();
}

} // namespace tevra
