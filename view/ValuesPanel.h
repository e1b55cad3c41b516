#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;

namespace tevra {

class ValuesWidget;

// The values view with its row of selection edits above it and a line for its
// messages below: an amount field, + and - (one raw step while the field is
// empty, else the amount), Set, x % (multiply by the amount in percent),
// Interpolate, Copy, Paste and Raw (raw bytes, hex cells).
class ValuesPanel : public QWidget {
    Q_OBJECT

public:
    explicit ValuesPanel(QWidget* parent = nullptr);

    ValuesWidget* values() const { return values_; }
    QLineEdit* amountField() const { return amount_; }
    QLabel* messageLine() const { return message_; }

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    QPushButton* button(const QString& text, const char* name, const QString& tip);
    // The typed amount, or nothing with a message when it is not a number.
    bool readAmount(double& amount, bool emptyAllowed);
    void step(int sign);

    ValuesWidget* values_ = nullptr;
    QLineEdit* amount_ = nullptr;
    QLabel* message_ = nullptr;
};

} // namespace tevra
