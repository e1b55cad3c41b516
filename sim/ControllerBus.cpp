#include "ControllerBus.h"

#include "Cpu6811.h"

namespace tevra::sim {

namespace {
constexpr std::uint16_t kBootRomStart = 0xBF40;
constexpr std::uint16_t kEepromStart = 0x8000;
constexpr std::uint8_t kConfigBootstrap = 0x0C; // NOSEC, NOCOP; no ROM, no internal EEPROM
constexpr std::uint8_t kTmsk2Toi = 0x80;
constexpr std::uint8_t kTflg2Tof = 0x80;

// The boot ROM's vectors send every interrupt to a three-byte jump slot in
// RAM (0x00C4 for the SCI up to 0x00FD for the clock monitor), where a
// bootloaded program can put its own JMP. Reset goes to the ROM itself.
std::uint16_t bootVector(std::uint16_t address) {
    const unsigned slot = (address & 0x3F) >> 1; // 0x16 (SCI) .. 0x1F (reset)
    if (slot == 0x1F)
        return kBootRomStart;
    if (slot < 0x0B)
        return 0x00FF; // reserved vectors of this part
    return static_cast<std::uint16_t>(0x00C4 + (slot - 0x0B) * 3);
}
} // namespace

void ControllerBus::resetToBootstrap() {
    registers_.fill(0);
    hprio_ = kHprioRboot | kHprioSmod | 0x05; // IRV clear, PSEL as out of reset
    init_ = 0x01;
    tmsk2_ = 0;
    tflg2_ = 0;
    overflowsSeen_ = now_ >> 16;
    sci_.reset();
}

std::uint16_t ControllerBus::vectorAddress(std::uint16_t vector) {
    return (hprio_ & kHprioSmod) ? static_cast<std::uint16_t>(vector & 0xBFFF) : vector;
}

std::uint8_t ControllerBus::read(std::uint16_t address) {
    std::uint8_t value = 0xFF;
    // Where INIT makes them overlap, the registers win over RAM.
    if (static_cast<std::uint16_t>(address - registerBase()) < registers_.size()) {
        value = readRegister(static_cast<std::uint8_t>(address - registerBase()));
    } else if (static_cast<std::uint16_t>(address - ramBase()) < ram_.size()) {
        value = ram_[address - ramBase()];
    } else if (bootRomVisible() && address >= kBootRomStart && address < 0xC000) {
        if (address >= 0xBFC0) {
            const std::uint16_t target = bootVector(address);
            value = static_cast<std::uint8_t>((address & 1) ? target : target >> 8);
        }
    } else if (expandedMode() && address >= kEepromStart) {
        value = eeprom_.read(address, now_);
    }
    if (corrupt_ && *corrupt_ == address)
        value ^= 0x01;
    return value;
}

void ControllerBus::write(std::uint16_t address, std::uint8_t value) {
    if (static_cast<std::uint16_t>(address - registerBase()) < registers_.size())
        writeRegister(static_cast<std::uint8_t>(address - registerBase()), value);
    else if (static_cast<std::uint16_t>(address - ramBase()) < ram_.size())
        ram_[address - ramBase()] = value;
    else if (expandedMode() && address >= kEepromStart)
        eeprom_.write(address, value, now_);
}

std::uint16_t ControllerBus::timerCount() const {
    static constexpr unsigned kShift[4] = {0, 2, 3, 4};
    return static_cast<std::uint16_t>(now_ >> kShift[tmsk2_ & 3]);
}

void ControllerBus::updateTimerOverflow() {
    static constexpr unsigned kShift[4] = {16, 18, 19, 20};
    const std::uint64_t overflows = now_ >> kShift[tmsk2_ & 3];
    if (overflows != overflowsSeen_) {
        overflowsSeen_ = overflows;
        tflg2_ |= kTflg2Tof;
    }
}

std::uint8_t ControllerBus::readRegister(std::uint8_t offset) {
    switch (offset) {
    case Sci::kBaud:
    case Sci::kSccr1:
    case Sci::kSccr2:
    case Sci::kScsr:
    case Sci::kScdr:
        return sci_.read(offset, now_);
    case kTcntHigh: {
        // Reading the high byte latches the low byte for a coherent 16-bit read.
        const std::uint16_t count = timerCount();
        tcntLowLatch_ = static_cast<std::uint8_t>(count);
        return static_cast<std::uint8_t>(count >> 8);
    }
    case kTcntLow:
        return tcntLowLatch_;
    case kTmsk2:
        return tmsk2_;
    case kTflg2:
        updateTimerOverflow();
        return tflg2_;
    case kHprio:
        return hprio_;
    case kInit:
        return init_;
    case kConfig:
        return kConfigBootstrap;
    default:
        return registers_[offset];
    }
}

void ControllerBus::writeRegister(std::uint8_t offset, std::uint8_t value) {
    switch (offset) {
    case Sci::kBaud:
    case Sci::kSccr1:
    case Sci::kSccr2:
    case Sci::kScsr:
    case Sci::kScdr:
        sci_.write(offset, value, now_);
        return;
    case kTcntHigh:
    case kTcntLow:
    case kConfig:
    case kCoprst:
        return; // counter is read-only, CONFIG is EEPROM, the COP is off
    case kTmsk2:
        tmsk2_ = value;
        return;
    case kTflg2:
        updateTimerOverflow();
        tflg2_ = static_cast<std::uint8_t>(tflg2_ & ~value); // write 1 to clear
        return;
    case kHprio: {
        std::uint8_t next = value;
        if (!(hprio_ & kHprioSmod)) {
            // In normal modes RBOOT and SMOD are fixed.
            next = static_cast<std::uint8_t>((next & ~(kHprioRboot | kHprioSmod)) |
                                             (hprio_ & (kHprioRboot | kHprioSmod)));
        }
        hprio_ = next; // SMOD may go from 1 to 0 but never back
        return;
    }
    case kInit:
        init_ = value;
        return;
    default:
        registers_[offset] = value;
        return;
    }
}

std::uint16_t ControllerBus::pendingInterruptVector() {
    if (sci_.peek(Sci::kSccr2) & 0xF0) {
        sci_.advance(now_);
        if (sci_.interruptRequested())
            return Cpu6811::kVectorSci;
    }
    if (tmsk2_ & kTmsk2Toi) {
        updateTimerOverflow();
        if (tflg2_ & kTflg2Tof)
            return 0xFFDE;
    }
    return 0;
}

} // namespace tevra::sim
