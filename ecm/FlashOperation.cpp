#include "FlashOperation.h"

#include "Calibration.h"
#include "FlashProtocol.h"
#include "Prompter.h"
#include "loader/LoaderImage.h"

namespace tevra {

namespace {
// In a 32K image the controller keeps its own data in this window, so a
// verify never holds it against the image.
constexpr int kVerifySkipStart = 0xB600;
constexpr int kVerifySkipEnd = 0xB800;
constexpr int kFullImageSkipLength = 0x8000;
} // namespace

FlashOperation::FlashOperation(Channel& channel, Clock& clock, Prompter& prompter,
                               FlashProgress& progress, const std::atomic<bool>* stop)
    : channel_(channel), clock_(clock), prompter_(prompter), progress_(progress), stop_(stop) {}

int FlashOperation::firstMismatch(const std::vector<std::uint8_t>& image, int baseAddress,
                                  const std::vector<std::uint8_t>& readBack) {
    const int length = static_cast<int>(image.size());
    for (int i = 0; i < length; ++i) {
        const int address = baseAddress + i;
        if (length == kFullImageSkipLength && address >= kVerifySkipStart &&
            address < kVerifySkipEnd) {
            continue;
        }
        if (i >= static_cast<int>(readBack.size()) || readBack[i] != image[i]) {
            return i;
        }
    }
    return -1;
}

FlashResult FlashOperation::abandon(FlashOutcome outcome) {
    channel_.Close();
    progress_.hide();
    FlashResult result;
    result.outcome = outcome;
    return result;
}

FlashOutcome FlashOperation::checkImage(const FlashSettings& settings,
                                        const Calibration& calibration, Prompter& prompter) {
    if (settings.operation == FlashOperationKind::Read) {
        return FlashOutcome::Completed;
    }
    if (calibration.imageLength() == 0) {
        // Nothing would be written, and an empty verify would report a match.
        prompter.message("The calibration is empty: there is nothing to flash!", "Error");
        return FlashOutcome::EmptyImage;
    }
    // A base or length that runs past FFFF would wrap the 16-bit frame
    // address and program the controller's RAM (and the running loader).
    const long long first = calibration.baseAddress;
    const long long end = first + calibration.imageLength();
    if (first < kMemoryStart || end > kMemoryEnd) {
        prompter.message(formatText("Calibration does not fit the ECM memory "
                                    "(%04X-%04X)!\nCheck its base address.",
                                    kMemoryStart, kMemoryEnd - 1),
                         "Error");
        return FlashOutcome::OutsideMemory;
    }
    return FlashOutcome::Completed;
}

FlashResult FlashOperation::run(const FlashSettings& settings, Calibration& calibration,
                                LastFlashCopy& lastFlash) {
    const bool writing = settings.operation != FlashOperationKind::Read;
    if (const FlashOutcome refused = checkImage(settings, calibration, prompter_);
        refused != FlashOutcome::Completed) {
        FlashResult result;
        result.outcome = refused;
        return result;
    }

    channel_.setBaudRate(kBootloadBaud);
    if (!channel_.Open()) {
        prompter_.message("Failed to open COM port!", "Com Error");
        FlashResult result;
        result.outcome = FlashOutcome::PortFailed;
        return result;
    }
    progress_.show();
    progress_.setStatusText("Bootloading ECM...");
    channel_.Send(kBootloaderImage.data(), kBootloaderImage.size());

    channel_.Close();
    channel_.setBaudRate(kCommandBaud);
    clock_.sleepMs(kReopenPauseMs);
    // Not consulted: a port that failed to reopen shows up as a silent loader.
    (void)channel_.Open();

    FlashProtocol protocol(channel_, clock_, prompter_, progress_, stop_);
    protocol.setFlashSpeed(settings.flashSpeed);
    if (!protocol.ProbeLoader()) {
        if (protocol.stopped()) {
            return abandon(FlashOutcome::Stopped);
        }
        prompter_.message("Could not connect to ECM!", "Connection Error");
        return abandon(FlashOutcome::NoConnection);
    }

    FlashResult result;
    result.outcome = FlashOutcome::Completed;
    if (writing) {
        calibration.PrepareImageForWrite();
    }
    const std::vector<std::uint8_t> image = calibration.image();
    const int base = calibration.baseAddress;
    const int length = calibration.imageLength();

    switch (settings.operation) {
    case FlashOperationKind::Read:
        result.transferOk = readIntoCalibration(protocol, settings, calibration);
        break;
    case FlashOperationKind::DifferentialWrite:
        if (lastFlash.has_value()) {
            if (static_cast<int>(lastFlash->size()) != length) {
                prompter_.message("Size of last flash does not match current binary!\n"
                                  "Please do a Full Write.",
                                  "Error");
                return abandon(FlashOutcome::SizeMismatch);
            }
            result.transferOk =
                protocol.WriteChanged(base, length, image.data(), lastFlash->data());
            lastFlash = image;
            break;
        }
        [[fallthrough]];
    case FlashOperationKind::FullWrite:
        result.transferOk = protocol.WriteImage(base, length, image.data());
        break;
    }

    if (writing && settings.verify && !protocol.stopped()) {
        result.verify = verify(protocol, calibration);
        if (result.verify == VerifyOutcome::Matched) {
            lastFlash = image;
        } else {
            lastFlash.reset();
        }
    } else {
        lastFlash.reset();
    }

    if (protocol.stopped()) {
        return abandon(FlashOutcome::Stopped);
    }
    channel_.Close();
    progress_.hide();
    return result;
}

bool FlashOperation::readIntoCalibration(FlashProtocol& protocol, const FlashSettings& settings,
                                         Calibration& calibration) {
    const ReadGeometry geometry = readGeometry(settings.ecmType, settings.size);
    std::vector<std::uint8_t> buffer(static_cast<std::size_t>(geometry.count));
    if (!protocol.ReadImage(geometry.start, geometry.count, buffer.data())) {
        return false;
    }
    calibration.SetImage(std::move(buffer));
    calibration.Rebase(geometry.start, false);
    return true;
}

VerifyOutcome FlashOperation::verify(FlashProtocol& protocol, const Calibration& calibration) {
    const int base = calibration.baseAddress;
    const int length = calibration.imageLength();
    std::vector<std::uint8_t> readBack(static_cast<std::size_t>(length));
    if (!protocol.ReadImage(base, length, readBack.data())) {
        // Bytes that never arrived prove nothing either way.
        protocol.say("Calibration could not be verified: reading it back failed!", "Verify Error");
        return VerifyOutcome::ReadFailed;
    }
    const int i = firstMismatch(calibration.image(), base, readBack);
    if (i < 0) {
        prompter_.message("Calibration matches memory contents.", "Verify");
        return VerifyOutcome::Matched;
    }
    prompter_.message(formatText("Calibration DOES NOT match memory contents!\n Address = "
                                 "0x%4.4X, Cal = 0x%2.2X, Verify = 0x%2.2X",
                                 base + i, calibration.image()[static_cast<std::size_t>(i)],
                                 readBack[static_cast<std::size_t>(i)]),
                      "Verify Error");
    return VerifyOutcome::Mismatch;
}

} // namespace tevra
