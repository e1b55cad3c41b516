#include "FlashStatusWindow.h"

#include "PlaceWidget.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>

#include <algorithm>

namespace tevra {

FlashStatusWindow::FlashStatusWindow(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName(QStringLiteral("FlashStatusWindow"));
    setWindowTitle(QStringLiteral("Flash Status"));
    setFixedSize(dlu::size(226, 73));
    // The calibration is being read or written: nothing else may run meanwhile.
    setWindowModality(Qt::ApplicationModal);

    status_ = placed(new QLabel(QStringLiteral("Status"), this), "statusText", 7, 7, 212, 34);
    status_->setAlignment(Qt::AlignCenter);
    progress_ = placed(new QProgressBar(this), "progressBar", 7, 48, 212, 14);
    progress_->setTextVisible(false);
    progress_->setRange(0, 100);
    progress_->setValue(0);
}

void FlashStatusWindow::showCentred(QWidget* over) {
    const QRect area = over && over->isVisible()
                           ? over->frameGeometry()
                           : (screen() ? screen()->availableGeometry() : QRect());
    if (area.isValid())
        move(area.center() - rect().center());
    show();
}

void FlashStatusWindow::setRange(int upper) {
    // The range's upper end is held in 16 bits.
    progress_->setRange(0, std::clamp(upper, 0, 0xFFFF));
}

void FlashStatusWindow::setPosition(int position) {
    progress_->setValue(position);
}

void FlashStatusWindow::setStatusText(const QString& text) {
    status_->setText(text);
    emit statusTextChanged(text);
}

QString FlashStatusWindow::statusText() const {
    return status_->text();
}

int FlashStatusWindow::position() const {
    return progress_->value();
}

int FlashStatusWindow::range() const {
    return progress_->maximum();
}

void FlashStatusWindow::closeEvent(QCloseEvent* e) {
    e->ignore();
}

} // namespace tevra
