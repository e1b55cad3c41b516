#pragma once

#include <cstdint>

// The 68HC11 arithmetic and logic with its condition-code rules, as free
// functions so that the flag rules can be tested apart from instruction
// decoding. Each takes the condition-code register and updates only the
// bits the instruction affects.
namespace tevra::sim::alu {

inline constexpr std::uint8_t kC = 0x01;
inline constexpr std::uint8_t kV = 0x02;
inline constexpr std::uint8_t kZ = 0x04;
inline constexpr std::uint8_t kN = 0x08;
inline constexpr std::uint8_t kI = 0x10;
inline constexpr std::uint8_t kH = 0x20;
inline constexpr std::uint8_t kX = 0x40;
inline constexpr std::uint8_t kS = 0x80;

void setFlag(std::uint8_t& ccr, std::uint8_t flag, bool on);

// N and Z from the result, V cleared: loads, stores, logic, transfers.
std::uint8_t logic8(std::uint8_t& ccr, std::uint8_t result);
std::uint16_t logic16(std::uint8_t& ccr, std::uint16_t result);

// ADD/ADC/ABA: H N Z V C.
std::uint8_t add8(std::uint8_t& ccr, std::uint8_t a, std::uint8_t b, bool carryIn);
// SUB/SBC/CMP/SBA/CBA: N Z V C, H untouched.
std::uint8_t sub8(std::uint8_t& ccr, std::uint8_t a, std::uint8_t b, bool borrowIn);
// ADDD: N Z V C.
std::uint16_t add16(std::uint8_t& ccr, std::uint16_t a, std::uint16_t b);
// SUBD/CPD/CPX/CPY: N Z V C.
std::uint16_t sub16(std::uint8_t& ccr, std::uint16_t a, std::uint16_t b);

std::uint8_t neg8(std::uint8_t& ccr, std::uint8_t m);
std::uint8_t com8(std::uint8_t& ccr, std::uint8_t m);
std::uint8_t inc8(std::uint8_t& ccr, std::uint8_t m);
std::uint8_t dec8(std::uint8_t& ccr, std::uint8_t m);
std::uint8_t clr8(std::uint8_t& ccr);
void tst8(std::uint8_t& ccr, std::uint8_t m);

// Shifts and rotates: C from the bit shifted out, V = N xor C afterwards.
std::uint8_t asl8(std::uint8_t& ccr, std::uint8_t m);
std::uint8_t asr8(std::uint8_t& ccr, std::uint8_t m);
std::uint8_t lsr8(std::uint8_t& ccr, std::uint8_t m);
std::uint8_t rol8(std::uint8_t& ccr, std::uint8_t m);
std::uint8_t ror8(std::uint8_t& ccr, std::uint8_t m);
std::uint16_t asl16(std::uint8_t& ccr, std::uint16_t d);
std::uint16_t lsr16(std::uint8_t& ccr, std::uint16_t d);

// Decimal adjust of A after a BCD addition (uses H and C of that addition).
std::uint8_t daa(std::uint8_t& ccr, std::uint8_t a);

struct Division {
    std::uint16_t quotient;
    std::uint16_t remainder;
};
// IDIV: D / X. Z, V cleared, C set on division by zero (quotient 0xFFFF).
Division idiv(std::uint8_t& ccr, std::uint16_t numerator, std::uint16_t denominator);
// FDIV: (D << 16) / X. Z, V set when X <= D (quotient 0xFFFF), C on zero.
Division fdiv(std::uint8_t& ccr, std::uint16_t numerator, std::uint16_t denominator);

// Branch conditions of the relative branches 0x20-0x2F, by low nibble.
bool branchTaken(std::uint8_t ccr, std::uint8_t condition);

} // namespace tevra::sim::alu
