#pragma once

#include <QDialog>

#include <array>
#include <optional>
#include <string>

class QLineEdit;

namespace tevra {

// Bitfield Definitions: the names of the eight bits of a flag byte, row k for
// bit k. Plain texts, taken back as typed on OK.
class BitNamesDialog : public QDialog {
    Q_OBJECT

public:
    using Names = std::array<std::string, 8>;

    explicit BitNamesDialog(const Names& names, QWidget* parent = nullptr);

    const Names& names() const { return names_; }
    static std::optional<Names> ask(const Names& names, QWidget* parent);

    void accept() override;

private:
    Names names_;
    std::array<QLineEdit*, 8> edits_{};
};

} // namespace tevra
