#pragma once

#include "ControllerBus.h"
#include "Cpu6811.h"

#include <cstdint>
#include <functional>
#include <string>

namespace tevra::sim {

// What the A-series bootstrap ROM does, as seen on the wire: with the SCI
// at 1200 baud it waits for the synchronisation byte 0xFF, then stores the
// next 256 bytes from 0x0000, echoing each one, and jumps to 0x0000 with
// the SCI left at 1200 baud. It drives the SCI through its registers like
// the ROM program, so flag clearing and timing are those of the real part.
class BootstrapRom {
public:
    enum class Phase { WaitingForSync, Loading, Done };
    using Log = std::function<void(const std::string&)>;

    static constexpr std::uint8_t kSyncByte = 0xFF;
    static constexpr int kProgramSize = 256;
    static constexpr std::uint8_t kBaud1200 = 0x33; // E/13/8/16 at E = 2 MHz

    BootstrapRom(ControllerBus& bus, Cpu6811& cpu) : bus_(bus), cpu_(cpu) {}

    void start();
    // One pass of the ROM's polling loop; returns the E cycles it takes.
    int step();
    Phase phase() const { return phase_; }
    int bytesLoaded() const { return loaded_; }
    int echoesWritten() const { return echoes_; }
    void setLog(Log log) { log_ = std::move(log); }

private:
    std::uint8_t readRegister(std::uint8_t offset) {
        return bus_.read(static_cast<std::uint16_t>(0x1000 + offset));
    }
    void writeRegister(std::uint8_t offset, std::uint8_t v) {
        bus_.write(static_cast<std::uint16_t>(0x1000 + offset), v);
    }

    ControllerBus& bus_;
    Cpu6811& cpu_;
    Log log_;
    Phase phase_ = Phase::WaitingForSync;
    int loaded_ = 0;
    int echoes_ = 0;
    bool echoPending_ = false;
    std::uint8_t echo_ = 0;
};

} // namespace tevra::sim
