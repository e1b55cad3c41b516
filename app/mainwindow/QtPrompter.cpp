#include "QtPrompter.h"

#include <QMessageBox>

namespace tevra {

namespace {

QString fromModel(const std::string& s) {
    return QString::fromLocal8Bit(s.data(), static_cast<qsizetype>(s.size()));
}

QMessageBox::StandardButton ask(QWidget* parent, QMessageBox::Icon icon, const std::string& text,
                                const std::string& caption, QMessageBox::StandardButtons buttons,
                                QMessageBox::StandardButton preferred) {
    QMessageBox box(icon, fromModel(caption), fromModel(text), buttons, parent);
    box.setDefaultButton(preferred);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

} // namespace

void QtPrompter::message(const std::string& text, const std::string& caption) {
    ask(parent_, QMessageBox::NoIcon, text, caption, QMessageBox::Ok, QMessageBox::Ok);
}

bool QtPrompter::askYesNo(const std::string& text, const std::string& caption) {
    return ask(parent_, QMessageBox::Question, text, caption, QMessageBox::Yes | QMessageBox::No,
               QMessageBox::Yes) == QMessageBox::Yes;
}

AppPrompter::Answer QtPrompter::askYesNoCancel(const std::string& text,
                                               const std::string& caption) {
    const auto b = ask(parent_, QMessageBox::Question, text, caption,
                       QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
    if (b == QMessageBox::Yes)
        return Answer::Yes;
    if (b == QMessageBox::No)
        return Answer::No;
    return Answer::Cancel;
}

} // namespace tevra
