#include "Cpu6811.h"

#include "CpuAlu.h"

namespace tevra::sim {

namespace {
// Cycles of the interrupt entry (stacking nine bytes and fetching the vector).
constexpr int kInterruptCycles = 14;
// Cycles a waiting or stopped CPU lets pass per step; short enough that an
// interrupt is answered promptly, long enough not to slow idle emulation.
constexpr int kIdleCycles = 4;
} // namespace

void Cpu6811::reset() {
    r_.ccr = alu::kS | alu::kX | alu::kI;
    state_ = State::Running;
    r_.pc = read16(bus_.vectorAddress(kVectorReset));
}

void Cpu6811::jumpTo(std::uint16_t pc) {
    state_ = State::Running;
    r_.pc = pc;
}

int Cpu6811::step() {
    if (const int cycles = serviceInterrupts(); cycles > 0)
        return cycles;
    if (state_ != State::Running)
        return kIdleCycles;

    const std::uint16_t start = r_.pc;
    std::uint8_t op = fetch8();
    OpcodePage page = OpcodePage::Page1;
    if (op == kPrebytePage2) {
        page = OpcodePage::Page2;
        op = fetch8();
    } else if (op == kPrebytePage3) {
        page = OpcodePage::Page3;
        op = fetch8();
    } else if (op == kPrebytePage4) {
        page = OpcodePage::Page4;
        op = fetch8();
    }
    const int cycles = opcodeCycles(page, op);
    if (cycles == 0) {
        // The trap stacks the address of the offending opcode so a handler
        // can report where the program went astray.
        ++illegalCount_;
        r_.pc = start;
        stackAll();
        enterVector(kVectorIllegal);
        return kInterruptCycles;
    }
    execute(page, op);
    return cycles;
}

int Cpu6811::serviceInterrupts() {
    const bool xirq = (r_.ccr & alu::kX) == 0 && bus_.xirqPending();
    const std::uint16_t vector =
        xirq ? kVectorXirq : ((r_.ccr & alu::kI) ? 0 : bus_.pendingInterruptVector());
    if (vector == 0)
        return 0;
    int cycles = kInterruptCycles;
    if (state_ == State::Waiting)
        cycles = 2; // WAI stacked the registers already
    else
        stackAll();
    state_ = State::Running;
    if (xirq)
        r_.ccr |= alu::kX;
    enterVector(vector);
    return cycles;
}

void Cpu6811::enterVector(std::uint16_t vector) {
    r_.ccr |= alu::kI;
    r_.pc = read16(bus_.vectorAddress(vector));
}

void Cpu6811::stackAll() {
    push16(r_.pc);
    push16(r_.y);
    push16(r_.x);
    push8(r_.a);
    push8(r_.b);
    push8(r_.ccr);
}

std::uint8_t Cpu6811::fetch8() {
    return bus_.read(r_.pc++);
}

std::uint16_t Cpu6811::fetch16() {
    const std::uint8_t hi = fetch8();
    return static_cast<std::uint16_t>((hi << 8) | fetch8());
}

std::uint16_t Cpu6811::read16(std::uint16_t address) {
    const std::uint8_t hi = bus_.read(address);
    return static_cast<std::uint16_t>((hi << 8) |
                                      bus_.read(static_cast<std::uint16_t>(address + 1)));
}

void Cpu6811::write16(std::uint16_t address, std::uint16_t value) {
    bus_.write(address, static_cast<std::uint8_t>(value >> 8));
    bus_.write(static_cast<std::uint16_t>(address + 1), static_cast<std::uint8_t>(value));
}

// The stack grows down; SP points at the next free byte.
void Cpu6811::push8(std::uint8_t v) {
    bus_.write(r_.sp--, v);
}

void Cpu6811::push16(std::uint16_t v) {
    push8(static_cast<std::uint8_t>(v));
    push8(static_cast<std::uint8_t>(v >> 8));
}

std::uint8_t Cpu6811::pull8() {
    return bus_.read(++r_.sp);
}

std::uint16_t Cpu6811::pull16() {
    const std::uint8_t hi = pull8();
    return static_cast<std::uint16_t>((hi << 8) | pull8());
}

void Cpu6811::branchIf(bool taken) {
    const auto offset = static_cast<std::int8_t>(fetch8());
    if (taken)
        r_.pc = static_cast<std::uint16_t>(r_.pc + offset);
}

} // namespace tevra::sim
