#pragma once

#include "Bus.h"
#include "ParallelEeprom.h"
#include "Sci.h"

#include <array>
#include <cstdint>
#include <optional>

namespace tevra::sim {

// The memory map of the controller as its CPU sees it: 256 bytes of
// internal RAM, the 64-byte register block (SCI, timer counter, HPRIO,
// INIT, CONFIG, COP), the bootstrap ROM's vectors while it is switched in,
// and the external EEPROM at 0x8000-0xFFFF, which answers only once the
// chip runs in expanded mode (HPRIO MDA set). Anything else reads 0xFF.
class ControllerBus : public Bus {
public:
    static constexpr std::uint8_t kTmsk2 = 0x24;
    static constexpr std::uint8_t kTflg2 = 0x25;
    static constexpr std::uint8_t kTcntHigh = 0x0E;
    static constexpr std::uint8_t kTcntLow = 0x0F;
    static constexpr std::uint8_t kCoprst = 0x3A;
    static constexpr std::uint8_t kHprio = 0x3C;
    static constexpr std::uint8_t kInit = 0x3D;
    static constexpr std::uint8_t kConfig = 0x3F;

    static constexpr std::uint8_t kHprioRboot = 0x80;
    static constexpr std::uint8_t kHprioSmod = 0x40;
    static constexpr std::uint8_t kHprioMda = 0x20;

    ControllerBus(Sci& sci, ParallelEeprom& eeprom, const std::uint64_t& nowCycles)
        : sci_(sci), eeprom_(eeprom), now_(nowCycles) {}

    // Power-on state of special bootstrap mode: single chip, boot ROM in,
    // COP disabled, registers at 0x1000 and RAM at 0x0000.
    void resetToBootstrap();

    std::uint8_t read(std::uint16_t address) override;
    void write(std::uint16_t address, std::uint8_t value) override;
    std::uint16_t pendingInterruptVector() override;
    std::uint16_t vectorAddress(std::uint16_t vector) override;

    bool expandedMode() const { return (hprio_ & kHprioMda) != 0; }
    std::uint8_t hprio() const { return hprio_; }
    std::array<std::uint8_t, 256>& ram() { return ram_; }
    // One address whose reads come back wrong (fault injection).
    void setCorruptAddress(std::optional<std::uint16_t> a) { corrupt_ = a; }

private:
    std::uint16_t ramBase() const { return static_cast<std::uint16_t>((init_ & 0xF0) << 8); }
    std::uint16_t registerBase() const { return static_cast<std::uint16_t>((init_ & 0x0F) << 12); }
    // The boot ROM answers only in the special modes and while RBOOT is set.
    bool bootRomVisible() const {
        return (hprio_ & (kHprioRboot | kHprioSmod)) == (kHprioRboot | kHprioSmod);
    }
    std::uint8_t readRegister(std::uint8_t offset);
    void writeRegister(std::uint8_t offset, std::uint8_t value);
    std::uint16_t timerCount() const;
    void updateTimerOverflow();

    Sci& sci_;
    ParallelEeprom& eeprom_;
    const std::uint64_t& now_;
    std::array<std::uint8_t, 256> ram_{};
    std::array<std::uint8_t, 64> registers_{};
    std::uint8_t hprio_ = 0;
    std::uint8_t init_ = 0x01;
    std::uint8_t tmsk2_ = 0;
    std::uint8_t tflg2_ = 0;
    std::uint64_t overflowsSeen_ = 0;
    std::uint8_t tcntLowLatch_ = 0;
    std::optional<std::uint16_t> corrupt_;
};

} // namespace tevra::sim
