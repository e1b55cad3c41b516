#pragma once

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <functional>
#include <memory>

namespace tevra::testing {

// Runs an action that may open a modal message box, answers the box with its
// default button and returns the box's text (empty when no box came).
inline QString messageDuring(const std::function<void()>& action, QString* caption = nullptr) {
    auto seen = std::make_shared<QString>();
    auto title = std::make_shared<QString>();
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [seen, title] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            *seen = box->text();
            *title = box->windowTitle();
            box->accept();
        }
    });
    poll.start();
    action();
    poll.stop();
    if (caption)
        *caption = *title;
    return *seen;
}

} // namespace tevra::testing
