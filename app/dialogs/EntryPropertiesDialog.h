#pragma once

#include "DialogValues.h"

#include <QDialog>

#include <array>
#include <functional>
#include <optional>
#include <string>

class QButtonGroup;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace tevra {

// The Data Properties dialog: one entry's definition as texts and a data type. It
// works on its own copy of the values and ends with OK (values read back), Cancel,
// or "&Next"/"&Prev" (ended as cancelled, with a navigation step for the opener).
// "Define Fields" opens the Bitfield or Value List dialog through the hooks below
// (the real dialogs unless the caller answers them).
class EntryPropertiesDialog : public QDialog {
    Q_OBJECT

public:
    struct FieldDialogs {
        std::function<std::optional<std::array<std::string, 8>>(const std::array<std::string, 8>&)>
            bitfield;
        std::function<std::optional<ValueListTexts>(const ValueListTexts&)> valueList;
    };

    EntryPropertiesDialog(const PropertiesValues& values, FieldDialogs fields = {},
                          QWidget* parent = nullptr);

    // How the dialog ended; the values are the ones read on OK.
    const PropertiesResult& result() const { return result_; }
    static PropertiesResult ask(const PropertiesValues& values, QWidget* parent);

    void accept() override;

private:
    void writeControls();
    void readControls();
    void updateDefineFields();
    void defineFields();
    void quickSet(int item);
    void navigate(int step);

    PropertiesResult result_;
    PropertiesValues& values_ = result_.values;
    FieldDialogs fields_;
    QLineEdit* name_ = nullptr;
    QLineEdit* chryslerName_ = nullptr;
    QLineEdit* hexAddress_ = nullptr;
    QComboBox* quickSet_ = nullptr;
    std::array<QLineEdit*, 4> xAxis_{}; // name, unit, min, max
    std::array<QLineEdit*, 4> yAxis_{};
    QPlainTextEdit* description_ = nullptr;
    QButtonGroup* types_ = nullptr;
    QPushButton* defineFields_ = nullptr;
};

} // namespace tevra
