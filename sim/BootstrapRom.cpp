#include "BootstrapRom.h"

#include <cstdio>

namespace tevra::sim {

namespace {
// One pass of the ROM loop (BRCLR on SCSR, LDAA SCDR, STAA 0,Y, ...).
constexpr int kLoopCycles = 12;
constexpr std::uint8_t kSccr2ReTe = 0x0C;
} // namespace

void BootstrapRom::start() {
    phase_ = Phase::WaitingForSync;
    loaded_ = 0;
    echoes_ = 0;
    echoPending_ = false;
    writeRegister(Sci::kBaud, kBaud1200);
    writeRegister(Sci::kSccr2, kSccr2ReTe);
    if (log_)
        log_("bootstrap: waiting for 0xFF at 1200 baud");
}

int BootstrapRom::step() {
    if (phase_ == Phase::Done)
        return kLoopCycles;
    const std::uint8_t status = readRegister(Sci::kScsr);
    if (echoPending_ && (status & Sci::kTdre)) {
        ++echoes_; // counted first: the transmitter may start on the write
        writeRegister(Sci::kScdr, echo_);
        echoPending_ = false;
    }
    if (!(status & Sci::kRdrf))
        return kLoopCycles;
    const std::uint8_t byte = readRegister(Sci::kScdr);

    if (phase_ == Phase::WaitingForSync) {
        if (byte == kSyncByte && !(status & Sci::kFe)) {
            phase_ = Phase::Loading;
            if (log_)
                log_("bootstrap: synchronised, loading 256 bytes");
        } else if (log_) {
            char text[80];
            std::snprintf(text, sizeof text, "bootstrap: ignored 0x%02X%s while waiting for 0xFF",
                          byte, (status & Sci::kFe) ? " (framing error)" : "");
            log_(text);
        }
        return kLoopCycles;
    }

    bus_.ram()[static_cast<std::size_t>(loaded_)] = byte;
    ++loaded_;
    echo_ = byte;
    echoPending_ = true;
    if (loaded_ < kProgramSize)
        return kLoopCycles;

    // The last echo leaves while the loaded program already runs.
    if (readRegister(Sci::kScsr) & Sci::kTdre) {
        ++echoes_;
        writeRegister(Sci::kScdr, echo_);
    }
    echoPending_ = false;
    phase_ = Phase::Done;
    auto& r = cpu_.registers();
    r.sp = 0x00FF;
    r.x = 0x1000;
    r.ccr = 0xD0;
    cpu_.jumpTo(0x0000);
    if (log_)
        log_("bootstrap: 256 bytes loaded, running from 0000");
    return kLoopCycles;
}

} // namespace tevra::sim
