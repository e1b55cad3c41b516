#pragma once

#include "Assembler.h"
#include "Cpu6811.h"
#include "FlatBus.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace tevra::sim::test {

// One assembled program on a flat memory, started through the reset vector
// at 0x8000 and run until it reaches a branch to itself ("done: bra done").
struct CpuHarness {
    static constexpr std::uint16_t kOrigin = 0x8000;

    FlatBus bus;
    Cpu6811 cpu{bus};
    std::uint64_t cycles = 0;

    bool load(const std::string& source) {
        const Assembled a = assemble(source + "\ndone:   bra done\n", kOrigin);
        if (!a.error.empty()) {
            ADD_FAILURE() << a.error;
            return false;
        }
        std::copy(a.bytes.begin(), a.bytes.end(), bus.memory.begin() + kOrigin);
        bus.memory[0xFFFE] = kOrigin >> 8;
        bus.memory[0xFFFF] = kOrigin & 0xFF;
        cpu.reset();
        cpu.registers().sp = 0x0FFF;
        return true;
    }

    bool atSelfLoop() const {
        const auto pc = cpu.registers().pc;
        return bus.memory[pc] == 0x20 && bus.memory[static_cast<std::uint16_t>(pc + 1)] == 0xFE;
    }

    // Runs to the closing self-loop; false if it is not reached.
    bool run(int maxSteps = 100000) {
        for (int i = 0; i < maxSteps; ++i) {
            if (atSelfLoop())
                return true;
            cycles += static_cast<std::uint64_t>(cpu.step());
        }
        return false;
    }

    std::uint8_t mem(std::uint16_t a) const { return bus.memory[a]; }
};

} // namespace tevra::sim::test
