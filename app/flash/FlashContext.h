#pragma once

#include "Channel.h"
#include "Clock.h"
#include "FlashOperation.h"
#include "PortMap.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace tevra {

class Calibration;
class Prompter;

// Opens the line to the controller behind a serial device path; called on the
// thread that runs the operation, which is the only one to use the channel.
using ChannelFactory = std::function<std::shared_ptr<Channel>(const std::string& device)>;

// What the Flash dialog works on and with. The main window owns the
// calibration and the last-flash copy; the dialog changes them only on the GUI
// thread, after the operation has finished.
struct FlashContext {
    Calibration* calibration = nullptr;
    LastFlashCopy* lastFlash = nullptr;
    // Answers on the GUI thread; the dialog hands the worker's messages over to it.
    Prompter* prompter = nullptr;
    int flashSpeed = 100;
    // The devices behind "COM 1".."COM 4".
    PortMap ports;
    // The main window's close-calibration step, run before a Read replaces the image.
    std::function<void()> closeCalibration;
    // Before a Read: offers to save unsaved changes; false when the user cancels.
    std::function<bool()> settleUnsavedChanges;
    // Empty: the serial port at the device's path.
    ChannelFactory openChannel;
    // Empty: the wall clock. Used only on the worker thread.
    Clock* clock = nullptr;
    // Empty: the Serial Ports dialog.
    std::function<std::optional<PortMap>(const PortMap&)> askPorts;
};

} // namespace tevra
