#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

namespace tevra::sim {

// A 32 KB parallel EEPROM of the AT28C256 kind with software data
// protection enabled: a write stores something only after the unlock
// sequence 0xAA to 0x5555, 0x55 to 0x2AAA, 0xA0 to 0x5555 (chip addresses).
// Bytes then load into a 64-byte page buffer as long as each write follows
// the previous one within the byte-load window; when the window passes,
// the write cycle programs the page. During the write cycle reads return
// DATA-polling values (bit 7 of the last byte inverted, bit 6 toggling on
// every read) and writes are ignored. A write without the sequence stores
// nothing but still runs the write cycle, as the real part does.
// Time is counted in E-clock cycles of the controller (2 MHz).
class ParallelEeprom {
public:
    static constexpr std::size_t kSize = 0x8000;
    static constexpr std::size_t kPageSize = 64;
    static constexpr std::uint64_t kByteLoadWindowCycles = 300; // 150 us
    static constexpr std::uint64_t kWriteCycleCycles = 20000;   // 10 ms

    using Log = std::function<void(const std::string&)>;

    ParallelEeprom();

    // Chip addresses are 15 bits; callers pass the CPU address or its low bits.
    std::uint8_t read(std::uint16_t address, std::uint64_t nowCycles);
    void write(std::uint16_t address, std::uint8_t value, std::uint64_t nowCycles);
    // Finishes a page load or a write cycle that is due by `nowCycles`.
    void advance(std::uint64_t nowCycles);
    bool busy(std::uint64_t nowCycles);

    // Direct access to the array, for loading an image and saving it.
    std::uint8_t peek(std::uint16_t address) const { return cells_[address & 0x7FFF]; }
    void poke(std::uint16_t address, std::uint8_t value) { cells_[address & 0x7FFF] = value; }

    // With protection broken the chip never recognises the unlock sequence.
    void setUnlockIgnored(bool ignored) { unlockIgnored_ = ignored; }
    void setLog(Log log) { log_ = std::move(log); }
    std::uint64_t pagesProgrammed() const { return pagesProgrammed_; }

private:
    enum class Phase { Idle, Unlock1, Unlock2, Loading, Programming };

    void startWriteCycle(std::uint64_t at, bool stores);

    std::array<std::uint8_t, kSize> cells_{};
    std::array<std::uint8_t, kPageSize> pageBuffer_{};
    std::array<bool, kPageSize> pageLoaded_{};
    Phase phase_ = Phase::Idle;
    std::uint16_t page_ = 0;
    bool pageChosen_ = false;
    bool cycleStores_ = false;
    std::uint8_t lastWritten_ = 0;
    bool toggle_ = false;
    std::uint64_t lastWriteAt_ = 0;
    std::uint64_t cycleEndsAt_ = 0;
    bool unlockIgnored_ = false;
    std::uint64_t pagesProgrammed_ = 0;
    Log log_;
};

} // namespace tevra::sim
