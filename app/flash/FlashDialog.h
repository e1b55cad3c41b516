#pragma once

#include "FlashContext.h"
#include "FlashOperation.h"
#include "FlashSettings.h"

#include <QDialog>

#include <array>
#include <optional>
#include <string>
#include <vector>

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QRadioButton;

namespace tevra {

class FlashStatusWindow;

// The Flash dialog: controller type, serial port, operation (Read, Full Write,
// Differential Write) and Verify. Unlike the other dialogs its OK does the work:
// it runs the flash operation on the main window's calibration and last-flash
// copy, showing the Flash Status window meanwhile. After an early end (the port,
// the loader, a refused Differential Write) it shows itself again and stays open.
class FlashDialog : public QDialog {
    Q_OBJECT

public:
    // The name a calibration read from the controller is given.
    static constexpr const char* kReadFileName = "EPROM Dump.bin";

    explicit FlashDialog(FlashContext context, QWidget* parent = nullptr);
    ~FlashDialog() override;

    const FlashSettings& settings() const { return settings_; }
    // The port map, with the user's changes from "P&orts...".
    const PortMap& ports() const { return context_.ports; }
    bool portsChanged() const { return portsChanged_; }
    // How the last operation started by OK ended; nothing before the first.
    const std::optional<FlashResult>& lastResult() const { return lastResult_; }

    FlashStatusWindow& status() { return *status_; }

    // The dialog's loop. OK hides the dialog, which ends a modal loop; so the
    // operation runs here, between two turns of it, and after an early end
    // the dialog is shown modally again.
    int exec() override;
    void accept() override;

private:
    void buildControls();
    void putSettings();
    void readSettings();
    // "&Verify" only for writes, "16K"/"32K" only for a Read.
    void applyOperationEnabling();
    void editPorts();
    void showPortDevices();
    // Asks to power on, runs the operation; true when it completed.
    bool runToTheEnd();
    void runOperation();
    bool eventFilter(QObject* watched, QEvent* event) override;

    FlashContext context_;
    FlashSettings settings_;
    bool portsChanged_ = false;
    bool running_ = false;
    bool inExec_ = false;
    bool runRequested_ = false;
    std::optional<FlashResult> lastResult_;
    FlashStatusWindow* status_ = nullptr;

    QButtonGroup* portGroup_ = nullptr;
    QButtonGroup* typeGroup_ = nullptr;
    QButtonGroup* operationGroup_ = nullptr;
    QButtonGroup* sizeGroup_ = nullptr;
    std::array<QRadioButton*, PortMap::kPortCount> portButtons_{};
    QRadioButton* fullWrite_ = nullptr;
    QRadioButton* differentialWrite_ = nullptr;
    QRadioButton* size16K_ = nullptr;
    QRadioButton* size32K_ = nullptr;
    QCheckBox* verify_ = nullptr;
};

// The saved map with every port that has no device filled from the devices
// found, in their order (USB adapters first); saved devices are kept.
PortMap withFoundDevices(const PortMap& saved, const std::vector<std::string>& found);

} // namespace tevra
