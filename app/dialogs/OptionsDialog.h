#pragma once

#include "CommandValues.h"

#include <QDialog>
#include <QString>

#include <functional>
#include <optional>

class QCheckBox;
class QLineEdit;
class QSlider;

namespace tevra {

// The Options dialog: the user's settings and the comparison calibration's path.
// It takes the current values and hands back what was chosen; no validation, the
// path is taken as typed. "&Browse" asks chooseFile (a file-open dialog unless the
// caller supplies another answer); an empty answer means cancelled.
class OptionsDialog : public QDialog {
    Q_OBJECT

public:
    OptionsDialog(const OptionsValues& values, std::function<QString()> chooseFile = {},
                  QWidget* parent = nullptr);

    const OptionsValues& values() const { return values_; }
    static std::optional<OptionsValues> ask(const OptionsValues& values, QWidget* parent);

    void accept() override;

private:
    void browse();

    OptionsValues values_;
    std::function<QString()> chooseFile_;
    QCheckBox* reloadLast_ = nullptr;
    QCheckBox* hideMouse_ = nullptr;
    QLineEdit* path_ = nullptr;
    QSlider* flashSpeed_ = nullptr;
};

} // namespace tevra
