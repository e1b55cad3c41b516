#include "CpuAlu.h"

namespace tevra::sim::alu {

namespace {

constexpr bool bit7(unsigned v) {
    return (v & 0x80u) != 0;
}
constexpr bool bit15(unsigned v) {
    return (v & 0x8000u) != 0;
}

void nz8(std::uint8_t& ccr, std::uint8_t r) {
    setFlag(ccr, kN, bit7(r));
    setFlag(ccr, kZ, r == 0);
}

void nz16(std::uint8_t& ccr, std::uint16_t r) {
    setFlag(ccr, kN, bit15(r));
    setFlag(ccr, kZ, r == 0);
}

// After a shift or rotate V is defined as N xor C.
void shiftFlags(std::uint8_t& ccr) {
    const bool n = (ccr & kN) != 0;
    const bool c = (ccr & kC) != 0;
    setFlag(ccr, kV, n != c);
}

} // namespace

void setFlag(std::uint8_t& ccr, std::uint8_t flag, bool on) {
    ccr = static_cast<std::uint8_t>(on ? (ccr | flag) : (ccr & ~flag));
}

std::uint8_t logic8(std::uint8_t& ccr, std::uint8_t result) {
    nz8(ccr, result);
    setFlag(ccr, kV, false);
    return result;
}

std::uint16_t logic16(std::uint8_t& ccr, std::uint16_t result) {
    nz16(ccr, result);
    setFlag(ccr, kV, false);
    return result;
}

std::uint8_t add8(std::uint8_t& ccr, std::uint8_t a, std::uint8_t b, bool carryIn) {
    const unsigned sum = unsigned{a} + b + (carryIn ? 1u : 0u);
    const auto r = static_cast<std::uint8_t>(sum);
    setFlag(ccr, kH, ((a & 0x0F) + (b & 0x0F) + (carryIn ? 1 : 0)) > 0x0F);
    nz8(ccr, r);
    setFlag(ccr, kV, bit7((a ^ r) & (b ^ r)));
    setFlag(ccr, kC, sum > 0xFF);
    return r;
}

std::uint8_t sub8(std::uint8_t& ccr, std::uint8_t a, std::uint8_t b, bool borrowIn) {
    const int diff = int{a} - int{b} - (borrowIn ? 1 : 0);
    const auto r = static_cast<std::uint8_t>(diff);
    nz8(ccr, r);
    setFlag(ccr, kV, bit7((a ^ b) & (a ^ r)));
    setFlag(ccr, kC, diff < 0);
    return r;
}

std::uint16_t add16(std::uint8_t& ccr, std::uint16_t a, std::uint16_t b) {
    const unsigned sum = unsigned{a} + b;
    const auto r = static_cast<std::uint16_t>(sum);
    nz16(ccr, r);
    setFlag(ccr, kV, bit15((a ^ r) & (b ^ r)));
    setFlag(ccr, kC, sum > 0xFFFF);
    return r;
}

std::uint16_t sub16(std::uint8_t& ccr, std::uint16_t a, std::uint16_t b) {
    const int diff = int{a} - int{b};
    const auto r = static_cast<std::uint16_t>(diff);
    nz16(ccr, r);
    setFlag(ccr, kV, bit15((a ^ b) & (a ^ r)));
    setFlag(ccr, kC, diff < 0);
    return r;
}

std::uint8_t neg8(std::uint8_t& ccr, std::uint8_t m) {
    const auto r = static_cast<std::uint8_t>(0u - m);
    nz8(ccr, r);
    setFlag(ccr, kV, r == 0x80);
    setFlag(ccr, kC, r != 0);
    return r;
}

std::uint8_t com8(std::uint8_t& ccr, std::uint8_t m) {
    const auto r = static_cast<std::uint8_t>(~m);
    logic8(ccr, r);
    setFlag(ccr, kC, true);
    return r;
}

std::uint8_t inc8(std::uint8_t& ccr, std::uint8_t m) {
    const auto r = static_cast<std::uint8_t>(m + 1);
    nz8(ccr, r);
    setFlag(ccr, kV, m == 0x7F);
    return r;
}

std::uint8_t dec8(std::uint8_t& ccr, std::uint8_t m) {
    const auto r = static_cast<std::uint8_t>(m - 1);
    nz8(ccr, r);
    setFlag(ccr, kV, m == 0x80);
    return r;
}

std::uint8_t clr8(std::uint8_t& ccr) {
    logic8(ccr, 0);
    setFlag(ccr, kC, false);
    return 0;
}

void tst8(std::uint8_t& ccr, std::uint8_t m) {
    logic8(ccr, m);
    setFlag(ccr, kC, false);
}

std::uint8_t asl8(std::uint8_t& ccr, std::uint8_t m) {
    const auto r = static_cast<std::uint8_t>(m << 1);
    setFlag(ccr, kC, bit7(m));
    nz8(ccr, r);
    shiftFlags(ccr);
    return r;
}

std::uint8_t asr8(std::uint8_t& ccr, std::uint8_t m) {
    const auto r = static_cast<std::uint8_t>((m >> 1) | (m & 0x80));
    setFlag(ccr, kC, (m & 1) != 0);
    nz8(ccr, r);
    shiftFlags(ccr);
    return r;
}

std::uint8_t lsr8(std::uint8_t& ccr, std::uint8_t m) {
    const auto r = static_cast<std::uint8_t>(m >> 1);
    setFlag(ccr, kC, (m & 1) != 0);
    nz8(ccr, r);
    shiftFlags(ccr);
    return r;
}

std::uint8_t rol8(std::uint8_t& ccr, std::uint8_t m) {
    const auto r = static_cast<std::uint8_t>((m << 1) | ((ccr & kC) ? 1 : 0));
    setFlag(ccr, kC, bit7(m));
    nz8(ccr, r);
    shiftFlags(ccr);
    return r;
}

std::uint8_t ror8(std::uint8_t& ccr, std::uint8_t m) {
    const auto r = static_cast<std::uint8_t>((m >> 1) | ((ccr & kC) ? 0x80 : 0));
    setFlag(ccr, kC, (m & 1) != 0);
    nz8(ccr, r);
    shiftFlags(ccr);
    return r;
}

std::uint16_t asl16(std::uint8_t& ccr, std::uint16_t d) {
    const auto r = static_cast<std::uint16_t>(d << 1);
    setFlag(ccr, kC, bit15(d));
    nz16(ccr, r);
    shiftFlags(ccr);
    return r;
}

std::uint16_t lsr16(std::uint8_t& ccr, std::uint16_t d) {
    const auto r = static_cast<std::uint16_t>(d >> 1);
    setFlag(ccr, kC, (d & 1) != 0);
    nz16(ccr, r);
    shiftFlags(ccr);
    return r;
}

std::uint8_t daa(std::uint8_t& ccr, std::uint8_t a) {
    const unsigned lo = a & 0x0F;
    const unsigned hi = a >> 4;
    const bool halfCarry = (ccr & kH) != 0;
    const bool carry = (ccr & kC) != 0;
    unsigned correction = 0;
    if (halfCarry || lo > 9)
        correction |= 0x06;
    if (carry || hi > 9 || (hi >= 9 && lo > 9))
        correction |= 0x60;
    const unsigned sum = a + correction;
    const auto r = static_cast<std::uint8_t>(sum);
    nz8(ccr, r);
    // V is left undefined by the manual; the overflow of the correcting
    // addition is what the adder produces.
    setFlag(ccr, kV, bit7((a ^ r) & (correction ^ r)));
    setFlag(ccr, kC, (correction & 0x60) != 0);
    return r;
}

Division idiv(std::uint8_t& ccr, std::uint16_t numerator, std::uint16_t denominator) {
    setFlag(ccr, kV, false);
    setFlag(ccr, kC, denominator == 0);
    if (denominator == 0) {
        setFlag(ccr, kZ, false);
        return {0xFFFF, numerator};
    }
    const Division r{static_cast<std::uint16_t>(numerator / denominator),
                     static_cast<std::uint16_t>(numerator % denominator)};
    setFlag(ccr, kZ, r.quotient == 0);
    return r;
}

Division fdiv(std::uint8_t& ccr, std::uint16_t numerator, std::uint16_t denominator) {
    setFlag(ccr, kC, denominator == 0);
    if (denominator <= numerator) {
        setFlag(ccr, kV, true);
        setFlag(ccr, kZ, false);
        return {0xFFFF, numerator};
    }
    setFlag(ccr, kV, false);
    const std::uint32_t wide = std::uint32_t{numerator} << 16;
    const Division r{static_cast<std::uint16_t>(wide / denominator),
                     static_cast<std::uint16_t>(wide % denominator)};
    setFlag(ccr, kZ, r.quotient == 0);
    return r;
}

bool branchTaken(std::uint8_t ccr, std::uint8_t condition) {
    const bool c = (ccr & kC) != 0;
    const bool v = (ccr & kV) != 0;
    const bool z = (ccr & kZ) != 0;
    const bool n = (ccr & kN) != 0;
    switch (condition & 0x0F) {
    case 0x0:
        return true; // BRA
    case 0x1:
        return false; // BRN
    case 0x2:
        return !(c || z); // BHI
    case 0x3:
        return c || z; // BLS
    case 0x4:
        return !c; // BCC/BHS
    case 0x5:
        return c; // BCS/BLO
    case 0x6:
        return !z; // BNE
    case 0x7:
        return z; // BEQ
    case 0x8:
        return !v; // BVC
    case 0x9:
        return v; // BVS
    case 0xA:
        return !n; // BPL
    case 0xB:
        return n; // BMI
    case 0xC:
        return n == v; // BGE
    case 0xD:
        return n != v; // BLT
    case 0xE:
        return !z && (n == v); // BGT
    default:
        return z || (n != v); // BLE
    }
}

} // namespace tevra::sim::alu
