#pragma once

#include "EntryType.h"
#include "ScaleValues.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QRadioButton;

namespace tevra {

// "Modify All Points": Scale (X, Y and, for a 3D table, Z percentages), Flatten
// or Add for every point of one entry. It takes the entry's type and Y unit and
// returns the chosen values; the caller runs the operation.
class ModifyAllPointsDialog : public QDialog {
    Q_OBJECT

public:
    ModifyAllPointsDialog(EntryType type, const QString& yUnit, const ScaleValues& initial = {},
                          QWidget* parent = nullptr);

    // The values read back when OK was accepted.
    const ScaleValues& values() const { return values_; }

    void accept() override;

private:
    void build(const QString& yUnit);
    void applyEnableRule();
    int checkedMode() const;

    EntryType type_;
    ScaleValues values_;
    QRadioButton* modes_[3] = {};
    QLineEdit* xPercent_ = nullptr;
    QLineEdit* yPercent_ = nullptr;
    QLineEdit* zPercent_ = nullptr;
    QLineEdit* flattenValue_ = nullptr;
    QLineEdit* addValue_ = nullptr;
};

} // namespace tevra
