// Instruction decoding and execution of the 68HC11 core. The prebyte pages
// reuse the page-1 decoding: page 2 (0x18) puts Y in place of X both as the
// index register and as the 16-bit register of INX/LDX/CPX..., page 3 (0x1A)
// keeps X as index but works on Y (and adds CPD), page 4 (0xCD) indexes by
// Y but works on X (and adds CPD).
#include "Cpu6811.h"
#include "CpuAlu.h"

namespace tevra::sim {

namespace {
bool usesY(OpcodePage page) {
    return page == OpcodePage::Page2 || page == OpcodePage::Page3;
}
bool indexesByY(OpcodePage page) {
    return page == OpcodePage::Page2 || page == OpcodePage::Page4;
}
} // namespace

void Cpu6811::execute(OpcodePage page, std::uint8_t op) {
    std::uint16_t& xr = usesY(page) ? r_.y : r_.x;
    const std::uint16_t index = indexesByY(page) ? r_.y : r_.x;
    if (op >= 0x80)
        executeAccumulatorGroup(page, op, index, xr);
    else if (op >= 0x40)
        executeReadModifyWrite(op, index);
    else if (op >= 0x20 && op < 0x30)
        branchIf(alu::branchTaken(r_.ccr, op));
    else if ((op >= 0x12 && op <= 0x15) || (op >= 0x1C && op <= 0x1F))
        executeBitOp(op, index);
    else
        executeInherent(op, xr);
}

void Cpu6811::executeInherent(std::uint8_t op, std::uint16_t& xr) {
    using namespace alu;
    auto& c = r_.ccr;
    switch (op) {
    case 0x01:
        break;   // NOP
    case 0x02: { // IDIV
        const Division q = idiv(c, r_.d(), r_.x);
        r_.x = q.quotient;
        r_.setD(q.remainder);
        break;
    }
    case 0x03: { // FDIV
        const Division q = fdiv(c, r_.d(), r_.x);
        r_.x = q.quotient;
        r_.setD(q.remainder);
        break;
    }
    case 0x04:
        r_.setD(lsr16(c, r_.d()));
        break;
    case 0x05:
        r_.setD(asl16(c, r_.d()));
        break;
    case 0x06: { // TAP: X may be cleared by software but never set again
        std::uint8_t v = r_.a;
        if ((c & kX) == 0)
            v = static_cast<std::uint8_t>(v & ~kX);
        c = v;
        break;
    }
    case 0x07:
        r_.a = c;
        break;
    case 0x08:
        ++xr;
        setFlag(c, kZ, xr == 0);
        break;
    case 0x09:
        --xr;
        setFlag(c, kZ, xr == 0);
        break;
    case 0x0A:
        setFlag(c, kV, false);
        break;
    case 0x0B:
        setFlag(c, kV, true);
        break;
    case 0x0C:
        setFlag(c, kC, false);
        break;
    case 0x0D:
        setFlag(c, kC, true);
        break;
    case 0x0E:
        setFlag(c, kI, false);
        break;
    case 0x0F:
        setFlag(c, kI, true);
        break;
    case 0x10:
        r_.a = sub8(c, r_.a, r_.b, false);
        break;
    case 0x11:
        sub8(c, r_.a, r_.b, false);
        break;
    case 0x16:
        r_.b = logic8(c, r_.a);
        break;
    case 0x17:
        r_.a = logic8(c, r_.b);
        break;
    case 0x19:
        r_.a = daa(c, r_.a);
        break;
    case 0x1B:
        r_.a = add8(c, r_.a, r_.b, false);
        break;
    case 0x30:
        xr = static_cast<std::uint16_t>(r_.sp + 1);
        break;
    case 0x31:
        ++r_.sp;
        break;
    case 0x32:
        r_.a = pull8();
        break;
    case 0x33:
        r_.b = pull8();
        break;
    case 0x34:
        --r_.sp;
        break;
    case 0x35:
        r_.sp = static_cast<std::uint16_t>(xr - 1);
        break;
    case 0x36:
        push8(r_.a);
        break;
    case 0x37:
        push8(r_.b);
        break;
    case 0x38:
        xr = pull16();
        break;
    case 0x39:
        r_.pc = pull16();
        break;
    case 0x3A:
        xr = static_cast<std::uint16_t>(xr + r_.b);
        break;
    case 0x3B: { // RTI
        std::uint8_t v = pull8();
        if ((c & kX) == 0)
            v = static_cast<std::uint8_t>(v & ~kX);
        c = v;
        r_.b = pull8();
        r_.a = pull8();
        r_.x = pull16();
        r_.y = pull16();
        r_.pc = pull16();
        break;
    }
    case 0x3C:
        push16(xr);
        break;
    case 0x3D: { // MUL: C is bit 7 of the result so that ADCA #0 rounds
        r_.setD(static_cast<std::uint16_t>(r_.a * r_.b));
        setFlag(c, kC, (r_.b & 0x80) != 0);
        break;
    }
    case 0x3E: // WAI
        stackAll();
        state_ = State::Waiting;
        break;
    case 0x3F: // SWI
        stackAll();
        enterVector(kVectorSwi);
        break;
    default:
        break; // undefined opcodes never get here (cycle table)
    }
}

void Cpu6811::executeReadModifyWrite(std::uint8_t op, std::uint16_t index) {
    using namespace alu;
    auto& c = r_.ccr;
    const int mode = (op >> 4) & 3; // 0 A, 1 B, 2 indexed, 3 extended
    const int kind = op & 0x0F;
    if (kind == 0x0E) { // JMP
        r_.pc = mode == 2 ? static_cast<std::uint16_t>(index + fetch8()) : fetch16();
        return;
    }
    std::uint16_t address = 0;
    std::uint8_t m = 0;
    if (mode == 0) {
        m = r_.a;
    } else if (mode == 1) {
        m = r_.b;
    } else {
        address = mode == 2 ? static_cast<std::uint16_t>(index + fetch8()) : fetch16();
        // CLR stores without looking, so clearing a status register does not
        // count as reading it.
        if (kind != 0x0F)
            m = bus_.read(address);
    }
    switch (kind) {
    case 0x0:
        m = neg8(c, m);
        break;
    case 0x3:
        m = com8(c, m);
        break;
    case 0x4:
        m = lsr8(c, m);
        break;
    case 0x6:
        m = ror8(c, m);
        break;
    case 0x7:
        m = asr8(c, m);
        break;
    case 0x8:
        m = asl8(c, m);
        break;
    case 0x9:
        m = rol8(c, m);
        break;
    case 0xA:
        m = dec8(c, m);
        break;
    case 0xC:
        m = inc8(c, m);
        break;
    case 0xD:
        tst8(c, m);
        return;
    case 0xF:
        m = clr8(c);
        break;
    default:
        return;
    }
    if (mode == 0)
        r_.a = m;
    else if (mode == 1)
        r_.b = m;
    else
        bus_.write(address, m);
}

void Cpu6811::executeBitOp(std::uint8_t op, std::uint16_t index) {
    const bool indexed = op >= 0x1C;
    const auto address = static_cast<std::uint16_t>(indexed ? index + fetch8() : fetch8());
    const std::uint8_t mask = fetch8();
    const std::uint8_t m = bus_.read(address);
    switch (op & 0x03) {
    case 0x00: // BSET (0x14, 0x1C)
        bus_.write(address, alu::logic8(r_.ccr, static_cast<std::uint8_t>(m | mask)));
        break;
    case 0x01: // BCLR (0x15, 0x1D)
        bus_.write(address, alu::logic8(r_.ccr, static_cast<std::uint8_t>(m & ~mask)));
        break;
    case 0x02: // BRSET (0x12, 0x1E)
        branchIf((~m & mask) == 0);
        break;
    default: // BRCLR (0x13, 0x1F)
        branchIf((m & mask) == 0);
        break;
    }
}

void Cpu6811::executeAccumulatorGroup(OpcodePage page, std::uint8_t op, std::uint16_t index,
                                      std::uint16_t& xr) {
    using namespace alu;
    auto& c = r_.ccr;
    const bool sideB = (op & 0x40) != 0;
    const int mode = (op >> 4) & 3; // 0 immediate, 1 direct, 2 indexed, 3 extended
    const int kind = op & 0x0F;
    auto address = [&]() -> std::uint16_t {
        if (mode == 1)
            return fetch8();
        if (mode == 2)
            return static_cast<std::uint16_t>(index + fetch8());
        return fetch16();
    };
    auto operand16 = [&]() { return mode == 0 ? fetch16() : read16(address()); };

    switch (op) {
    case 0x8D: { // BSR
        const auto offset = static_cast<std::int8_t>(fetch8());
        push16(r_.pc);
        r_.pc = static_cast<std::uint16_t>(r_.pc + offset);
        return;
    }
    case 0x8F: { // XGDX / XGDY
        const std::uint16_t d = r_.d();
        r_.setD(xr);
        xr = d;
        return;
    }
    case 0xCF: // STOP, a NOP while S is set
        if ((c & kS) == 0)
            state_ = State::Stopped;
        return;
    default:
        break;
    }

    if (!sideB) {
        switch (kind) {
        case 0x3: {
            const bool compareOnly =
                (page == OpcodePage::Page3) || (page == OpcodePage::Page4 && op == 0xA3);
            const std::uint16_t r = sub16(c, r_.d(), operand16());
            if (!compareOnly)
                r_.setD(r);
            return;
        }
        case 0xC:
            sub16(c, xr, operand16());
            return; // CPX/CPY
        case 0xD: { // JSR
            const std::uint16_t target = address();
            push16(r_.pc);
            r_.pc = target;
            return;
        }
        case 0xE:
            r_.sp = logic16(c, operand16());
            return;
        case 0xF:
            write16(address(), logic16(c, r_.sp));
            return;
        default:
            break;
        }
    } else {
        switch (kind) {
        case 0x3:
            r_.setD(add16(c, r_.d(), operand16()));
            return;
        case 0xC:
            r_.setD(logic16(c, operand16()));
            return;
        case 0xD:
            write16(address(), logic16(c, r_.d()));
            return;
        case 0xE:
            xr = logic16(c, operand16());
            return;
        case 0xF:
            write16(address(), logic16(c, xr));
            return;
        default:
            break;
        }
    }

    std::uint8_t& acc = sideB ? r_.b : r_.a;
    if (kind == 0x7) { // STAA / STAB
        bus_.write(address(), logic8(c, acc));
        return;
    }
    const std::uint8_t m = mode == 0 ? fetch8() : bus_.read(address());
    switch (kind) {
    case 0x0:
        acc = sub8(c, acc, m, false);
        break;
    case 0x1:
        sub8(c, acc, m, false);
        break;
    case 0x2:
        acc = sub8(c, acc, m, (c & kC) != 0);
        break;
    case 0x4:
        acc = logic8(c, static_cast<std::uint8_t>(acc & m));
        break;
    case 0x5:
        logic8(c, static_cast<std::uint8_t>(acc & m));
        break;
    case 0x6:
        acc = logic8(c, m);
        break;
    case 0x8:
        acc = logic8(c, static_cast<std::uint8_t>(acc ^ m));
        break;
    case 0x9:
        acc = add8(c, acc, m, (c & kC) != 0);
        break;
    case 0xA:
        acc = logic8(c, static_cast<std::uint8_t>(acc | m));
        break;
    case 0xB:
        acc = add8(c, acc, m, false);
        break;
    default:
        break;
    }
}

} // namespace tevra::sim
