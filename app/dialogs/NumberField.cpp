#include "NumberField.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>

#include <cmath>

namespace tevra::numberField {

std::optional<float> parse(const QString& text) {
    // The C locale: fields always take a decimal point, whatever the desktop
    // says, and a comma is not a thousands separator but a wrong character.
    QLocale c = QLocale::c();
    c.setNumberOptions(QLocale::RejectGroupSeparator);
    bool ok = false;
    const float v = c.toFloat(text.trimmed(), &ok);
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return v;
}

QString notANumberMessage() {
    return QStringLiteral("Please enter a number.");
}

QString rangeMessage(float lo, float hi) {
    return QStringLiteral("Please enter a number between %1 and %2.").arg(format(lo), format(hi));
}

QString format(float v) {
    return QString::number(static_cast<double>(v), 'g', 6);
}

namespace {

std::optional<float> refuse(QLineEdit* field, QWidget* parent, const QString& message) {
    QMessageBox::warning(parent, QCoreApplication::applicationName(), message);
    field->setFocus(Qt::OtherFocusReason);
    field->selectAll();
    return std::nullopt;
}

} // namespace

std::optional<float> read(QLineEdit* field, QWidget* parent) {
    const std::optional<float> v = parse(field->text());
    if (!v)
        return refuse(field, parent, notANumberMessage());
    return v;
}

std::optional<float> read(QLineEdit* field, QWidget* parent, float lo, float hi) {
    const std::optional<float> v = read(field, parent);
    if (v && (*v < lo || *v > hi))
        return refuse(field, parent, rangeMessage(lo, hi));
    return v;
}

} // namespace tevra::numberField
