#include "OpcodeTable.h"

#include <array>

namespace tevra::sim {

namespace {

// Page-1 cycle counts, from the instruction set table of the M68HC11
// Reference Manual; 0 marks an undefined opcode. TEST (0x00) only runs in
// special test mode and is treated as undefined here. WAI and STOP count
// their entry only.
// clang-format off
constexpr std::array<std::uint8_t, 256> kPage1 = {
    0, 2, 41, 41, 3, 3, 2, 2, 3, 3, 2, 2, 2, 2, 2, 2, // 0x00 inherent
    2, 2, 6, 6, 6, 6, 2, 2, 0, 2, 0, 2, 7, 7, 7, 7, // 0x10 inherent, bit operations
    3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, // 0x20 relative branches
    3, 3, 4, 4, 3, 3, 3, 3, 5, 5, 3, 12, 4, 10, 14, 14, // 0x30 stack, inherent
    2, 0, 0, 2, 2, 0, 2, 2, 2, 2, 2, 0, 2, 2, 0, 2, // 0x40 A inherent
    2, 0, 0, 2, 2, 0, 2, 2, 2, 2, 2, 0, 2, 2, 0, 2, // 0x50 B inherent
    6, 0, 0, 6, 6, 0, 6, 6, 6, 6, 6, 0, 6, 6, 3, 6, // 0x60 indexed,X
    6, 0, 0, 6, 6, 0, 6, 6, 6, 6, 6, 0, 6, 6, 3, 6, // 0x70 extended
    2, 2, 2, 4, 2, 2, 2, 0, 2, 2, 2, 2, 4, 6, 3, 3, // 0x80 A immediate
    3, 3, 3, 5, 3, 3, 3, 3, 3, 3, 3, 3, 5, 5, 4, 4, // 0x90 A direct
    4, 4, 4, 6, 4, 4, 4, 4, 4, 4, 4, 4, 6, 6, 5, 5, // 0xA0 A indexed,X
    4, 4, 4, 6, 4, 4, 4, 4, 4, 4, 4, 4, 6, 6, 5, 5, // 0xB0 A extended
    2, 2, 2, 4, 2, 2, 2, 0, 2, 2, 2, 2, 3, 0, 3, 2, // 0xC0 B immediate
    3, 3, 3, 5, 3, 3, 3, 3, 3, 3, 3, 3, 4, 4, 4, 4, // 0xD0 B direct
    4, 4, 4, 6, 4, 4, 4, 4, 4, 4, 4, 4, 5, 5, 5, 5, // 0xE0 B indexed,X
    4, 4, 4, 6, 4, 4, 4, 4, 4, 4, 4, 4, 5, 5, 5, 5, // 0xF0 B extended
};
// clang-format on

// Page 2 (0x18): the X instructions with Y in place of X.
bool definedOnPage2(std::uint8_t op) {
    switch (op) {
    case 0x08:
    case 0x09:
    case 0x1C:
    case 0x1D:
    case 0x1E:
    case 0x1F:
    case 0x30:
    case 0x35:
    case 0x38:
    case 0x3A:
    case 0x3C:
    case 0x8C:
    case 0x8F:
    case 0x9C:
    case 0xBC:
    case 0xCE:
    case 0xDE:
    case 0xDF:
    case 0xFE:
    case 0xFF:
        return true;
    default:
        break;
    }
    if (op >= 0x60 && op <= 0x6F)
        return kPage1[op] != 0;
    return (op >= 0xA0 && op <= 0xAF) || (op >= 0xE0 && op <= 0xEF);
}

// Page 3 (0x1A): CPD, and CPY/LDY/STY indexed by X.
bool definedOnPage3(std::uint8_t op) {
    switch (op) {
    case 0x83:
    case 0x93:
    case 0xA3:
    case 0xB3:
    case 0xAC:
    case 0xEE:
    case 0xEF:
        return true;
    default:
        return false;
    }
}

// Page 4 (0xCD): CPD, and CPX/LDX/STX indexed by Y.
bool definedOnPage4(std::uint8_t op) {
    return op == 0xA3 || op == 0xAC || op == 0xEE || op == 0xEF;
}

} // namespace

int opcodeCycles(OpcodePage page, std::uint8_t opcode) {
    const int base = kPage1[opcode];
    switch (page) {
    case OpcodePage::Page1:
        return base;
    case OpcodePage::Page2:
        return definedOnPage2(opcode) ? base + 1 : 0;
    case OpcodePage::Page3:
        return definedOnPage3(opcode) ? base + 1 : 0;
    case OpcodePage::Page4:
        return definedOnPage4(opcode) ? base + 1 : 0;
    }
    return 0;
}

} // namespace tevra::sim
