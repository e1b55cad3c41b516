#pragma once

#include "FlashContext.h"
#include "FlashOperation.h"
#include "FlashSettings.h"

#include <string>

class QWidget;

namespace tevra {

class Calibration;
class FlashStatusWindow;
class Prompter;

// Runs one flash operation on a worker thread and waits for it on the GUI
// thread, which keeps painting and answers the worker's messages meanwhile but
// takes no user input (the Flash Status window blocks the others while shown).
// The worker has the calibration and the last-flash copy to itself: the caller
// passes ones nobody else looks at until run returns.
class FlashRunner {
public:
    struct Job {
        FlashSettings settings;
        std::string device; // the serial device of the chosen port
        ChannelFactory openChannel;
        Clock* clock = nullptr;
        Prompter* prompter = nullptr; // answers on the GUI thread
        FlashStatusWindow* status = nullptr;
        QWidget* over = nullptr; // the window the status is shown over
    };

    [[nodiscard]] static FlashResult run(const Job& job, Calibration& calibration,
                                         LastFlashCopy& lastFlash);
};

} // namespace tevra
