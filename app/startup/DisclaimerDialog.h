#pragma once

#include <QDialog>

namespace tevra {

// The warning and disclaimer shown at the first start in a folder. Accepting it
// ("I Agree") is the only way on to the main window.
class DisclaimerDialog : public QDialog {
    Q_OBJECT

public:
    explicit DisclaimerDialog(QWidget* parent = nullptr);
};

} // namespace tevra
