#pragma once

#include <QString>

#include <optional>

class QLineEdit;
class QWidget;

namespace tevra {

// The numeric fields of the dialogs: a number may have blanks around it and
// nothing else; a field with a range refuses values outside it, limits included.
namespace numberField {

// The number in the text, or none when it is not one (empty, letters, trailing
// text, not finite).
std::optional<float> parse(const QString& text);

// The message a refused value shows: "Please enter a number." or the range
// message with the limits written as the fields write numbers.
QString notANumberMessage();
QString rangeMessage(float lo, float hi);

// A float as a field shows it: up to six significant digits.
QString format(float v);

// Reads the field; on failure shows the message in a warning box captioned with
// the application's name, gives the field the focus and returns none.
std::optional<float> read(QLineEdit* field, QWidget* parent);
std::optional<float> read(QLineEdit* field, QWidget* parent, float lo, float hi);

} // namespace numberField

} // namespace tevra
