#pragma once

#include "Bus.h"
#include "OpcodeTable.h"

#include <cstdint>

namespace tevra::sim {

struct CpuRegisters {
    std::uint8_t a = 0;
    std::uint8_t b = 0;
    std::uint16_t x = 0;
    std::uint16_t y = 0;
    std::uint16_t sp = 0;
    std::uint16_t pc = 0;
    std::uint8_t ccr = 0xD0; // S, X and I set out of reset

    std::uint16_t d() const { return static_cast<std::uint16_t>((a << 8) | b); }
    void setD(std::uint16_t v) {
        a = static_cast<std::uint8_t>(v >> 8);
        b = static_cast<std::uint8_t>(v);
    }
};

// The 68HC11 CPU: all four opcode pages, condition codes, cycle counts,
// interrupts, SWI, WAI and STOP. It owns no memory; everything goes through
// the Bus, and each step reports how many E-clock cycles it took so the
// caller can advance the peripherals.
class Cpu6811 {
public:
    enum class State { Running, Waiting, Stopped };

    explicit Cpu6811(Bus& bus) : bus_(bus) {}

    // Loads PC from the reset vector and sets the registers as reset does.
    void reset();
    // Starts execution at `pc` without going through the reset vector, as
    // the bootstrap ROM does when it jumps to its loaded program.
    void jumpTo(std::uint16_t pc);

    // Runs one instruction, or takes one interrupt, or idles a little while
    // waiting (WAI) or stopped (STOP). Returns the E cycles spent.
    int step();

    CpuRegisters& registers() { return r_; }
    const CpuRegisters& registers() const { return r_; }
    State state() const { return state_; }
    // How many illegal-opcode traps have been taken, to tell a runaway
    // program from a working one.
    std::uint64_t illegalOpcodeCount() const { return illegalCount_; }

    static constexpr std::uint16_t kVectorSci = 0xFFD6;
    static constexpr std::uint16_t kVectorIrq = 0xFFF2;
    static constexpr std::uint16_t kVectorXirq = 0xFFF4;
    static constexpr std::uint16_t kVectorSwi = 0xFFF6;
    static constexpr std::uint16_t kVectorIllegal = 0xFFF8;
    static constexpr std::uint16_t kVectorReset = 0xFFFE;

private:
    std::uint8_t fetch8();
    std::uint16_t fetch16();
    std::uint16_t read16(std::uint16_t address);
    void write16(std::uint16_t address, std::uint16_t value);
    void push8(std::uint8_t v);
    void push16(std::uint16_t v);
    std::uint8_t pull8();
    std::uint16_t pull16();
    void stackAll();
    void enterVector(std::uint16_t vector);
    // Returns cycles spent when an interrupt was taken, 0 otherwise.
    int serviceInterrupts();

    void execute(OpcodePage page, std::uint8_t op);
    void executeInherent(std::uint8_t op, std::uint16_t& xr);
    void executeReadModifyWrite(std::uint8_t op, std::uint16_t index);
    void executeAccumulatorGroup(OpcodePage page, std::uint8_t op, std::uint16_t index,
                                 std::uint16_t& xr);
    void executeBitOp(std::uint8_t op, std::uint16_t index);
    void branchIf(bool taken);

    Bus& bus_;
    CpuRegisters r_;
    State state_ = State::Running;
    std::uint64_t illegalCount_ = 0;
};

} // namespace tevra::sim
