#pragma once

#include <cstdint>

namespace tevra::sim {

// What the CPU core sees of the rest of the controller: one 64 KB address
// space plus the interrupt lines. Kept abstract so the core runs on a flat
// memory in tests and on the full controller memory map in the emulator.
class Bus {
public:
    virtual ~Bus() = default;

    virtual std::uint8_t read(std::uint16_t address) = 0;
    virtual void write(std::uint16_t address, std::uint8_t value) = 0;

    // The vector address of the highest-priority maskable interrupt that is
    // requested right now, or 0 when none is. The I bit is the CPU's business.
    virtual std::uint16_t pendingInterruptVector() { return 0; }
    virtual bool xirqPending() { return false; }

    // Special modes (bootstrap, test) fetch vectors from 0xBFC0-0xBFFF
    // instead of 0xFFC0-0xFFFF.
    virtual std::uint16_t vectorAddress(std::uint16_t vector) { return vector; }
};

} // namespace tevra::sim
