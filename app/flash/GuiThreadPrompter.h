#pragma once

#include "Prompter.h"

#include <atomic>
#include <functional>

class QObject;

namespace tevra {

// Lets a worker thread ask the user: every message and question is handed to
// the GUI thread and answered there by the wrapped prompter, while the worker
// waits. Called on the GUI thread it answers directly. Once the stop flag is set
// it shows nothing and answers No, so that a stopping worker never waits on a
// GUI thread that is waiting for it.
class GuiThreadPrompter final : public Prompter {
public:
    GuiThreadPrompter(Prompter& inner, QObject* guiContext, const std::atomic<bool>& stop);

    void message(const std::string& text, const std::string& caption) override;
    bool askYesNo(const std::string& text, const std::string& caption) override;

private:
    // Runs f on the GUI thread and returns when it has run; false when stopped.
    bool onGuiThread(const std::function<void()>& f);

    Prompter& inner_;
    QObject* context_;
    const std::atomic<bool>& stop_;
};

} // namespace tevra
