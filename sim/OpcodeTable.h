#pragma once

#include <cstdint>

namespace tevra::sim {

// The four opcode pages of the 68HC11: page 1 has no prebyte, the others
// are reached through the prebytes 0x18, 0x1A and 0xCD.
enum class OpcodePage : std::uint8_t { Page1, Page2, Page3, Page4 };

// Cycle count of an instruction, prebyte fetch included, or 0 when the
// opcode is not defined on that page (it then takes the illegal-opcode trap).
int opcodeCycles(OpcodePage page, std::uint8_t opcode);

inline constexpr std::uint8_t kPrebytePage2 = 0x18;
inline constexpr std::uint8_t kPrebytePage3 = 0x1A;
inline constexpr std::uint8_t kPrebytePage4 = 0xCD;

} // namespace tevra::sim
