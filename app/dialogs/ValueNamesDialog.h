#pragma once

#include "DialogValues.h"

#include <QDialog>

#include <array>
#include <optional>

class QLineEdit;

namespace tevra {

// Value List Properties: the eight values of a value list as hexadecimal texts,
// each with its description. Plain texts, taken back as typed on OK; reading the
// values is the opener's business.
class ValueNamesDialog : public QDialog {
    Q_OBJECT

public:
    explicit ValueNamesDialog(const ValueListTexts& texts, QWidget* parent = nullptr);

    const ValueListTexts& texts() const { return texts_; }
    static std::optional<ValueListTexts> ask(const ValueListTexts& texts, QWidget* parent);

    void accept() override;

private:
    ValueListTexts texts_;
    std::array<QLineEdit*, 8> values_{};
    std::array<QLineEdit*, 8> descriptions_{};
};

} // namespace tevra
