#pragma once

#include "PortMap.h"

#include <QDialog>

#include <array>
#include <optional>

class QLineEdit;

namespace tevra {

// The Serial Ports dialog: which device each of "COM 1".."COM 4" opens, typed as
// a path. It takes the current map and hands back the edited one; an empty
// field leaves its port without a device.
class PortsDialog : public QDialog {
    Q_OBJECT

public:
    explicit PortsDialog(const PortMap& ports, QWidget* parent = nullptr);

    const PortMap& ports() const { return ports_; }
    static std::optional<PortMap> ask(const PortMap& ports, QWidget* parent);

    void accept() override;

private:
    PortMap ports_;
    std::array<QLineEdit*, PortMap::kPortCount> paths_{};
};

} // namespace tevra
