#include "GuiThreadPrompter.h"

#include <QMetaObject>
#include <QObject>
#include <QThread>

namespace tevra {

GuiThreadPrompter::GuiThreadPrompter(Prompter& inner, QObject* guiContext,
                                     const std::atomic<bool>& stop)
    : inner_(inner), context_(guiContext), stop_(stop) {}

bool GuiThreadPrompter::onGuiThread(const std::function<void()>& f) {
    if (stop_.load())
        return false;
    if (QThread::currentThread() == context_->thread()) {
        f();
        return true;
    }
    QMetaObject::invokeMethod(context_, f, Qt::BlockingQueuedConnection);
    return true;
}

void GuiThreadPrompter::message(const std::string& text, const std::string& caption) {
    onGuiThread([&] { inner_.message(text, caption); });
}

bool GuiThreadPrompter::askYesNo(const std::string& text, const std::string& caption) {
    bool yes = false;
    onGuiThread([&] { yes = inner_.askYesNo(text, caption); });
    return yes;
}

} // namespace tevra
