#pragma once

#include "CommandValues.h"

#include <QDialog>

#include <optional>

class QCheckBox;
class QLineEdit;

namespace tevra {

// The Save Calibration dialog: the name to write the primary calibration under and
// whether it becomes the document's name. "Save Binary" and "Save Tables" only show
// what will be written; a name holding ".bin" or ".s19" (any case) checks both, and
// only such a name lets OK through.
class SaveDialog : public QDialog {
    Q_OBJECT

public:
    explicit SaveDialog(const SaveValues& values, QWidget* parent = nullptr);

    const SaveValues& values() const { return values_; }
    static std::optional<SaveValues> ask(const SaveValues& values, QWidget* parent);

    // True when the name holds ".S19" or ".BIN" anywhere, in any letter case.
    static bool namesImageFile(const QString& name);

    void accept() override;

private:
    void readControls();
    void nameChanged();

    SaveValues values_;
    QLineEdit* name_ = nullptr;
    QCheckBox* makeCurrent_ = nullptr;
    QCheckBox* saveTables_ = nullptr;
    QCheckBox* saveBinary_ = nullptr;
};

} // namespace tevra
