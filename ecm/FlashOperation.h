#pragma once

#include "Channel.h"
#include "Clock.h"
#include "FlashProgress.h"
#include "FlashSettings.h"

#include <atomic>
#include <cstdint>
#include <optional>
#include <vector>

namespace tevra {

class Calibration;
class FlashProtocol;
class Prompter;

// How a flash operation ended.
enum class FlashOutcome {
    PortFailed,    // the port would not open at 1200 baud
    NoConnection,  // the loader did not answer after the bootload
    SizeMismatch,  // Differential Write refused: the last flash has another size
    OutsideMemory, // the image does not lie within the controller's 8000-FFFF
    EmptyImage,    // a write of an image without a single byte
    Stopped,       // the user stopped it
    Completed,     // ran to the end; see transferOk and verify
};

enum class VerifyOutcome { NotRun, Matched, Mismatch, ReadFailed };

struct FlashResult {
    FlashOutcome outcome = FlashOutcome::PortFailed;
    bool transferOk = false; // the read, or every write block, succeeded
    VerifyOutcome verify = VerifyOutcome::NotRun;

    // The dialog shows itself again (and stays open) after an early end.
    bool endedEarly() const { return outcome != FlashOutcome::Completed; }
    // Everything asked for was done: the transfer, and the verify when asked.
    bool succeeded(bool verifyAsked) const {
        return outcome == FlashOutcome::Completed && transferOk &&
               (!verifyAsked || verify == VerifyOutcome::Matched);
    }
};

// The image as last written to the controller and verified; its presence
// enables Differential Write.
using LastFlashCopy = std::optional<std::vector<std::uint8_t>>;

// One whole flash operation: bootload at 1200 baud, reopen at 9600, probe the
// loader, then read, write in full or write the differences, verify, and keep
// or discard the last-flash copy by the outcome. A write sends the image as a
// save would write it: the calibration gets its checksum fix-up first.
// Blocking; meant to run on a worker thread while the caller's window shows
// the progress. The calibration and the last-flash copy must not be touched
// by anyone else meanwhile.
class FlashOperation {
public:
    static constexpr int kBootloadBaud = 1200;
    static constexpr int kCommandBaud = 9600;
    static constexpr int kReopenPauseMs = 100;
    // Controller addresses where the calibration memory lies.
    static constexpr int kMemoryStart = 0x8000;
    static constexpr int kMemoryEnd = 0x10000;

    FlashOperation(Channel& channel, Clock& clock, Prompter& prompter, FlashProgress& progress,
                   const std::atomic<bool>* stop = nullptr);

    FlashResult run(const FlashSettings& settings, Calibration& calibration,
                    LastFlashCopy& lastFlash);

    // What run checks first, for a front end to ask before it tells the user
    // to power on the controller: a write of an empty image, or of one outside
    // 8000-FFFF, is refused with its message. Completed: nothing to refuse.
    static FlashOutcome checkImage(const FlashSettings& settings, const Calibration& calibration,
                                   Prompter& prompter);

    // The first mismatch at or after index 0, or -1; a 32K image skips
    // 0xB600-0xB7FF, which the controller itself changes.
    static int firstMismatch(const std::vector<std::uint8_t>& image, int baseAddress,
                             const std::vector<std::uint8_t>& readBack);

private:
    FlashResult abandon(FlashOutcome outcome);
    bool readIntoCalibration(FlashProtocol& protocol, const FlashSettings& settings,
                             Calibration& calibration);
    VerifyOutcome verify(FlashProtocol& protocol, const Calibration& calibration);

    Channel& channel_;
    Clock& clock_;
    Prompter& prompter_;
    FlashProgress& progress_;
    const std::atomic<bool>* stop_;
};

} // namespace tevra
