#include "QueuedFlashProgress.h"

#include "FlashStatusWindow.h"

#include <QMetaObject>
#include <QString>

namespace tevra {

QueuedFlashProgress::QueuedFlashProgress(FlashStatusWindow& status, QWidget* over)
    : status_(status), over_(over) {}

void QueuedFlashProgress::show() {
    QMetaObject::invokeMethod(
        &status_,
        [this] {
            status_.setStatusText(QStringLiteral("Status"));
            status_.setRange(100);
            status_.setPosition(0);
            status_.showCentred(over_);
        },
        Qt::QueuedConnection);
}

void QueuedFlashProgress::setRange(int upper) {
    QMetaObject::invokeMethod(
        &status_, [this, upper] { status_.setRange(upper); }, Qt::QueuedConnection);
}

void QueuedFlashProgress::setPosition(int position) {
    position_.store(position);
    if (positionPending_.exchange(true))
        return;
    QMetaObject::invokeMethod(
        &status_,
        [this] {
            positionPending_.store(false);
            status_.setPosition(position_.load());
        },
        Qt::QueuedConnection);
}

void QueuedFlashProgress::setStatusText(const std::string& text) {
    QMetaObject::invokeMethod(
        &status_, [this, t = QString::fromStdString(text)] { status_.setStatusText(t); },
        Qt::QueuedConnection);
}

void QueuedFlashProgress::hide() {
    QMetaObject::invokeMethod(
        &status_, [this] { status_.hide(); }, Qt::QueuedConnection);
}

} // namespace tevra
