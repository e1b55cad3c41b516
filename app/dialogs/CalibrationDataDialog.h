#pragma once

#include "DialogValues.h"

#include <QDialog>

#include <array>
#include <optional>
#include <string>

class QCheckBox;
class QLineEdit;
class QRadioButton;

namespace tevra {

class Prompter;

// The Calibration Data dialog: description, author, base address, engine
// parameters and checksum settings of the primary calibration. It takes the values
// to show and, on OK, hands back what was typed once the two numbers are valid;
// the caller applies them (the editing and the new-calibration form differ only
// there).
class CalibrationDataDialog : public QDialog {
    Q_OBJECT

public:
    CalibrationDataDialog(const CalDataValues& values, Prompter& prompter,
                          QWidget* parent = nullptr);

    // The values read on OK.
    const CalDataValues& values() const { return values_; }

    // Runs the dialog modally; nothing on Cancel. Without a prompter the
    // validation messages are warning boxes over the dialog.
    static std::optional<CalDataValues> ask(const CalDataValues& values, Prompter* prompter,
                                            QWidget* parent);

    // OK: checks the two numeric fields first; a failure keeps the dialog open.
    void accept() override;

private:
    void updateChecksumFields();
    // Shows why OK was refused and puts the focus on the field to correct.
    void refuse(const std::string& message, QLineEdit* field);

    CalDataValues values_;
    Prompter& prompter_;
    QLineEdit* description_ = nullptr;
    QLineEdit* author_ = nullptr;
    QLineEdit* baseAddress_ = nullptr;
    QLineEdit* injectorSize_ = nullptr;
    QLineEdit* maxBoost_ = nullptr;
    QCheckBox* checksumEnabled_ = nullptr;
    QLineEdit* checksumAddress_ = nullptr;
    QLineEdit* fixupAddress_ = nullptr;
    std::array<QRadioButton*, 3> mapTypes_{};
};

} // namespace tevra
