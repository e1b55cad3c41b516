#pragma once

#include "AppPrompter.h"

#include <QPointer>
#include <QWidget>

namespace tevra {

// Answers the model's messages and questions with modal message boxes over the
// main window: the caption is the title, the buttons OK, Yes/No or Yes/No/Cancel.
class QtPrompter final : public AppPrompter {
public:
    explicit QtPrompter(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }

    void message(const std::string& text, const std::string& caption) override;
    bool askYesNo(const std::string& text, const std::string& caption) override;
    Answer askYesNoCancel(const std::string& text, const std::string& caption) override;

private:
    QPointer<QWidget> parent_;
};

} // namespace tevra
