// Instruction results and condition codes, checked against the values the
// M68HC11 Reference Manual gives for each instruction.
#include "CpuAlu.h"
#include "CpuHarness.h"

#include <gtest/gtest.h>
#include <optional>
#include <string>

namespace tevra::sim::test {
namespace {

struct CpuCase {
    const char* name;
    const char* source;
    std::optional<int> a = {};
    std::optional<int> b = {};
    std::optional<int> x = {};
    std::optional<int> y = {};
    std::optional<int> sp = {};
    // Condition codes expected among H N Z V C (letters present are set).
    const char* flags = nullptr;
    std::uint8_t flagMask = alu::kH | alu::kN | alu::kZ | alu::kV | alu::kC;
    std::optional<int> ccr = {}; // the whole register, when S X I matter
    std::optional<int> memAddress = {};
    std::optional<int> memValue = {};
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const CpuCase& c, std::ostream* os) {
    *os << c.name;
}

std::uint8_t flagsFrom(const char* letters) {
    std::uint8_t v = 0;
    for (const char* p = letters; *p; ++p) {
        switch (*p) {
        case 'H':
            v |= alu::kH;
            break;
        case 'N':
            v |= alu::kN;
            break;
        case 'Z':
            v |= alu::kZ;
            break;
        case 'V':
            v |= alu::kV;
            break;
        case 'C':
            v |= alu::kC;
            break;
        default:
            ADD_FAILURE() << "bad flag letter " << *p;
        }
    }
    return v;
}

std::string ccrText(std::uint8_t c) {
    std::string s;
    const char* names = "SXHINZVC";
    for (int i = 0; i < 8; ++i)
        s += (c & (0x80 >> i)) ? names[i] : '.';
    return s;
}

const CpuCase kCases[] = {
    // 8-bit addition and subtraction
    {.name = "adda plain", .source = "ldaa #0x12\n adda #0x34", .a = 0x46, .flags = ""},
    {.name = "adda half carry", .source = "ldaa #0x0F\n adda #0x01", .a = 0x10, .flags = "H"},
    {.name = "adda carry to zero", .source = "ldaa #0x80\n adda #0x80", .a = 0, .flags = "ZVC"},
    {.name = "adda signed overflow",
     .source = "ldaa #0x7F\n adda #0x01",
     .a = 0x80,
     .flags = "HNV"},
    {.name = "adca takes carry",
     .source = "sec\n ldaa #0x0F\n adca #0x00",
     .a = 0x10,
     .flags = "H"},
    {.name = "aba", .source = "ldaa #0xF0\n ldab #0x20\n aba", .a = 0x10, .flags = "C"},
    {.name = "suba borrow", .source = "ldaa #0x10\n suba #0x20", .a = 0xF0, .flags = "NC"},
    {.name = "suba signed overflow", .source = "ldaa #0x80\n suba #0x01", .a = 0x7F, .flags = "V"},
    {.name = "sbca takes borrow",
     .source = "sec\n ldaa #0x00\n sbca #0x00",
     .a = 0xFF,
     .flags = "NC"},
    {.name = "sub leaves H alone",
     .source = "ldaa #0x0F\n adda #0x01\n suba #0x01",
     .a = 0x0F,
     .flags = "H"},
    {.name = "cmpa equal", .source = "ldaa #0x42\n cmpa #0x42", .a = 0x42, .flags = "Z"},
    {.name = "sba", .source = "ldaa #5\n ldab #7\n sba", .a = 0xFE, .flags = "NC"},
    {.name = "cba keeps A", .source = "ldaa #7\n ldab #5\n cba", .a = 7, .flags = ""},
    {.name = "adda extended",
     .source = "ldaa #0x44\n staa 0x2000\n ldaa #0x11\n adda 0x2000",
     .a = 0x55,
     .flags = ""},
    // one-operand instructions
    {.name = "nega 0x80", .source = "ldaa #0x80\n nega", .a = 0x80, .flags = "NVC"},
    {.name = "nega zero", .source = "sec\n clra\n nega", .a = 0, .flags = "Z"},
    {.name = "coma", .source = "ldaa #0x55\n coma", .a = 0xAA, .flags = "NC"},
    {.name = "inca overflow keeps C",
     .source = "sec\n ldaa #0x7F\n inca",
     .a = 0x80,
     .flags = "NVC"},
    {.name = "deca overflow", .source = "ldaa #0x80\n deca", .a = 0x7F, .flags = "V"},
    {.name = "tsta clears V and C",
     .source = "ldaa #0x80\n sec\n sev\n tsta",
     .a = 0x80,
     .flags = "N"},
    {.name = "clrb", .source = "ldab #5\n sec\n clrb", .b = 0, .flags = "Z"},
    {.name = "inc memory indexed",
     .source = "ldx #0x2000\n ldaa #0xFF\n staa 3,x\n inc 3,x",
     .flags = "Z",
     .memAddress = 0x2003,
     .memValue = 0},
    {.name = "neg memory by Y",
     .source = "ldy #0x2000\n ldaa #0x01\n staa 1,y\n neg 1,y",
     .flags = "NC",
     .memAddress = 0x2001,
     .memValue = 0xFF},
    // shifts and rotates: V = N xor C
    {.name = "asla", .source = "ldaa #0x81\n asla", .a = 0x02, .flags = "VC"},
    {.name = "lsra to zero", .source = "ldaa #0x01\n lsra", .a = 0, .flags = "ZVC"},
    {.name = "asra keeps sign", .source = "ldaa #0x81\n asra", .a = 0xC0, .flags = "NC"},
    {.name = "rola through carry", .source = "sec\n ldaa #0x80\n rola", .a = 0x01, .flags = "VC"},
    {.name = "rora through carry", .source = "sec\n ldaa #0x01\n rora", .a = 0x80, .flags = "NC"},
    {.name = "lsr memory",
     .source = "ldaa #0x02\n staa 0x2000\n lsr 0x2000",
     .flags = "",
     .memAddress = 0x2000,
     .memValue = 0x01},
    // 16-bit arithmetic and transfers
    {.name = "addd overflow",
     .source = "ldd #0x7FFF\n addd #0x0001",
     .a = 0x80,
     .b = 0x00,
     .flags = "NV"},
    {.name = "addd carry",
     .source = "ldd #0xFFFF\n addd #0x0002",
     .a = 0x00,
     .b = 0x01,
     .flags = "C"},
    {.name = "subd borrow",
     .source = "ldd #0x0000\n subd #0x0001",
     .a = 0xFF,
     .b = 0xFF,
     .flags = "NC"},
    {.name = "cpd keeps D",
     .source = "ldd #0x1000\n cpd #0x2000",
     .a = 0x10,
     .b = 0x00,
     .flags = "NC"},
    {.name = "cpx equal", .source = "ldx #0x1234\n cpx #0x1234", .x = 0x1234, .flags = "Z"},
    {.name = "cpx signed overflow", .source = "ldx #0x8000\n cpx #0x0001", .flags = "V"},
    {.name = "asld", .source = "ldd #0xC000\n asld", .a = 0x80, .b = 0, .flags = "NC"},
    {.name = "lsrd to zero", .source = "ldd #0x0001\n lsrd", .a = 0, .b = 0, .flags = "ZVC"},
    {.name = "ldd sets N clears V", .source = "sev\n ldd #0x8000", .flags = "N"},
    {.name = "std stores big-endian",
     .source = "ldd #0xBEEF\n std 0x2000",
     .flags = "N",
     .memAddress = 0x2001,
     .memValue = 0xEF},
    {.name = "abx unsigned, no flags",
     .source = "ldx #0x10FF\n ldab #0x80\n clc\n abx",
     .x = 0x117F,
     .flags = "N"},
    {.name = "xgdx",
     .source = "ldd #0x1234\n ldx #0x5678\n xgdx",
     .a = 0x56,
     .b = 0x78,
     .x = 0x1234},
    {.name = "inx touches only Z", .source = "ldx #0xFFFF\n inx", .x = 0, .flags = "NZ"},
    {.name = "dex to zero", .source = "ldx #1\n dex", .x = 0, .flags = "Z"},
    {.name = "tab", .source = "ldaa #0x80\n sev\n tab", .b = 0x80, .flags = "N"},
    {.name = "tpa after tap cannot set X again",
     .source = "ldaa #0x00\n tap\n ldaa #0xFF\n tap\n tpa",
     .a = 0xBF},
    {.name = "sei cli", .source = "cli\n sec", .ccr = 0xC1},
    // Y register page (0x18) and the 0x1A / 0xCD pages
    {.name = "ldy indexed by X (1A)",
     .source = "ldx #0x2000\n ldd #0xBEEF\n std 0,x\n ldy 0,x",
     .y = 0xBEEF,
     .flags = "N"},
    {.name = "ldx indexed by Y (CD)",
     .source = "ldy #0x2000\n ldd #0xCAFE\n std 1,y\n ldx 1,y",
     .x = 0xCAFE,
     .flags = "N"},
    {.name = "sty direct", .source = "ldy #0x1234\n sty *0x60\n ldx *0x60", .x = 0x1234},
    {.name = "sty indexed by X (1A)",
     .source = "ldx #0x2000\n ldy #0x0102\n sty 4,x",
     .memAddress = 0x2005,
     .memValue = 0x02},
    {.name = "stx indexed by Y (CD)",
     .source = "ldy #0x2000\n ldx #0x0304\n stx 2,y",
     .memAddress = 0x2002,
     .memValue = 0x03},
    {.name = "cpy indexed by X (1A)",
     .source = "ldx #0x2000\n ldd #0x4000\n std 0,x\n ldy #0x4000\n cpy 0,x",
     .flags = "Z"},
    {.name = "cpx indexed by Y (CD)",
     .source = "ldy #0x2000\n ldd #0x4000\n std 0,y\n ldx #0x3000\n cpx 0,y",
     .flags = "NC"},
    {.name = "cpd indexed by X (1A)",
     .source = "ldx #0x2000\n ldd #0x0100\n std 0,x\n cpd 0,x",
     .flags = "Z"},
    {.name = "cpd indexed by Y (CD)",
     .source = "ldy #0x2000\n ldd #0x0100\n std 0,y\n ldd #0x00FF\n cpd 0,y",
     .flags = "NC"},
    {.name = "cpy immediate", .source = "ldy #5\n cpy #6", .flags = "NC"},
    {.name = "iny dey", .source = "ldy #0x00FF\n iny\n iny\n dey", .y = 0x0100},
    {.name = "dey to zero", .source = "ldy #1\n dey", .y = 0, .flags = "Z"},
    {.name = "aby", .source = "ldy #0x10FF\n ldab #1\n aby", .y = 0x1100},
    {.name = "xgdy",
     .source = "ldd #0x1111\n ldy #0x2222\n xgdy",
     .a = 0x22,
     .b = 0x22,
     .y = 0x1111},
    {.name = "ldaa and adda by Y",
     .source = "ldy #0x2000\n ldaa #0x30\n staa 5,y\n ldaa #0x12\n adda 5,y",
     .a = 0x42},
    {.name = "addd by Y",
     .source = "ldy #0x2000\n ldd #0x0102\n std 0,y\n addd 0,y",
     .a = 0x02,
     .b = 0x04},
    {.name = "pshy pulx",
     .source = "ldy #0xA55A\n pshy\n pulx",
     .x = 0xA55A,
     .sp = 0x0FFF,
     .memAddress = 0x0FFE,
     .memValue = 0xA5},
    {.name = "tsy", .source = "lds #0x0FFF\n tsy", .y = 0x1000},
    {.name = "tys", .source = "ldy #0x0800\n tys\n tsx", .x = 0x0800, .sp = 0x07FF},
    {.name = "jmp by Y", .source = "ldy #there\n jmp 0,y\n ldaa #1\nthere: ldab #2", .b = 2},
    {.name = "jsr by Y",
     .source = "clra\n ldy #sub\n jsr 0,y\n bra done\nsub: ldaa #7\n rts",
     .a = 7,
     .sp = 0x0FFF},
    // bit manipulation
    {.name = "bset direct",
     .source = "ldaa #0x01\n staa *0x40\n bset *0x40 #0x80\n ldaa *0x40",
     .a = 0x81,
     .flags = "N"},
    {.name = "bclr by X",
     .source = "ldx #0x0040\n ldaa #0xFF\n staa 0,x\n bclr 0,x #0x0F",
     .flags = "N",
     .memAddress = 0x0040,
     .memValue = 0xF0},
    {.name = "bset by Y to clear flags",
     .source = "ldy #0x0040\n clr 0,y\n sec\n bset 0,y #0x01",
     .flags = "C",
     .memAddress = 0x0040,
     .memValue = 0x01},
    {.name = "brset by Y all bits set",
     .source = "ldy #0x40\n ldaa #0x81\n staa 0,y\n clrb\n brset 0,y #0x81 yes\n bra done\n"
               "yes: ldab #1",
     .b = 1},
    {.name = "brset by Y one bit clear",
     .source = "ldy #0x40\n ldaa #0x81\n staa 0,y\n clrb\n brset 0,y #0x83 yes\n bra done\n"
               "yes: ldab #1",
     .b = 0},
    {.name = "brclr direct",
     .source = "ldaa #0x81\n staa *0x40\n clrb\n brclr *0x40 #0x7E yes\n bra done\nyes: ldab #1",
     .b = 1},
    {.name = "brclr by X not taken",
     .source = "ldx #0x40\n ldaa #0x81\n staa 0,x\n clrb\n brclr 0,x #0x01 yes\n bra done\n"
               "yes: ldab #1",
     .b = 0},
    // multiply and divide
    {.name = "mul carry is bit 7 of B",
     .source = "ldaa #0x12\n ldab #0x34\n mul",
     .a = 0x03,
     .b = 0xA8,
     .flags = "C"},
    {.name = "mul 255 by 255",
     .source = "sec\n ldaa #0xFF\n ldab #0xFF\n mul",
     .a = 0xFE,
     .b = 0x01,
     .flags = "N"},
    {.name = "idiv", .source = "ldd #100\n ldx #7\n idiv", .a = 0, .b = 2, .x = 14, .flags = ""},
    {.name = "idiv quotient zero",
     .source = "ldd #5\n ldx #7\n idiv",
     .b = 5,
     .x = 0,
     .flags = "Z"},
    {.name = "idiv by zero",
     .source = "ldd #0x1234\n ldx #0\n idiv",
     .x = 0xFFFF,
     .flags = "C",
     .flagMask = alu::kZ | alu::kV | alu::kC},
    {.name = "fdiv one half",
     .source = "ldd #0x4000\n ldx #0x8000\n fdiv",
     .a = 0,
     .b = 0,
     .x = 0x8000,
     .flags = "N"},
    {.name = "fdiv one third",
     .source = "ldd #1\n ldx #3\n fdiv",
     .a = 0,
     .b = 1,
     .x = 0x5555,
     .flags = ""},
    {.name = "fdiv overflow",
     .source = "ldd #0x8000\n ldx #0x4000\n fdiv",
     .x = 0xFFFF,
     .flags = "V",
     .flagMask = alu::kZ | alu::kV | alu::kC},
    {.name = "fdiv by zero",
     .source = "ldd #0\n ldx #0\n fdiv",
     .x = 0xFFFF,
     .flags = "VC",
     .flagMask = alu::kZ | alu::kV | alu::kC},
    // decimal adjust (V is undefined there)
    {.name = "daa half carry",
     .source = "ldaa #0x19\n adda #0x28\n daa",
     .a = 0x47,
     .flags = "H",
     .flagMask = alu::kH | alu::kN | alu::kZ | alu::kC},
    {.name = "daa 99 plus 1",
     .source = "ldaa #0x99\n adda #0x01\n daa",
     .a = 0x00,
     .flags = "ZC",
     .flagMask = alu::kN | alu::kZ | alu::kC},
    {.name = "daa upper digit",
     .source = "ldaa #0x50\n adda #0x50\n daa",
     .a = 0x00,
     .flags = "ZC",
     .flagMask = alu::kN | alu::kZ | alu::kC},
    {.name = "daa after carry",
     .source = "ldaa #0x90\n adda #0x90\n daa",
     .a = 0x80,
     .flags = "NC",
     .flagMask = alu::kN | alu::kZ | alu::kC},
    // stack, subroutines
    {.name = "psh pul order",
     .source = "lds #0x0FFF\n ldaa #0x11\n ldab #0x22\n psha\n pshb\n pula\n pulb",
     .a = 0x22,
     .b = 0x11,
     .sp = 0x0FFF},
    {.name = "pshx stacks low byte first",
     .source = "ldx #0x1234\n pshx",
     .sp = 0x0FFD,
     .memAddress = 0x0FFF,
     .memValue = 0x34},
    {.name = "bsr rts",
     .source = "clra\n bsr sub\n bra done\nsub: ldaa #5\n rts",
     .a = 5,
     .sp = 0x0FFF},
    {.name = "jsr stacks return address",
     .source = "jsr sub\nback: bra done\nsub: tsx\n ldx 0,x\n cpx #back\n beq ok\n rts\nok: "
               "ldab #9\n rts",
     .b = 9},
    {.name = "tsx txs ins des", .source = "des\n des\n tsx\n ins\n txs", .x = 0x0FFE, .sp = 0x0FFD},
    // software interrupt, return from interrupt, illegal opcode trap
    {.name = "swi stacks all and rti restores",
     .source = "ldx #handler\n stx 0xFFF6\n ldaa #0x11\n ldab #0x22\n ldx #0x3333\n"
               " ldy #0x4444\n cli\n swi\n bra done\n"
               "handler: inc *0x70\n clra\n clrb\n ldx #0\n ldy #0\n tsx\n stx *0x72\n rti",
     .a = 0x11,
     .b = 0x22,
     .x = 0x3333,
     .y = 0x4444,
     .sp = 0x0FFF,
     .ccr = 0xC0,
     .memAddress = 0x70,
     .memValue = 1},
    {.name = "swi frame order",
     .source = "ldx #handler\n stx 0xFFF6\n ldaa #0x11\n ldab #0x22\n swi\n bra done\n"
               "handler: ldaa 0x0FF9\n ldab 0x0FF8\n xgdx\n ldaa 0x0FF7\n staa *0x74\n"
               " xgdx\n staa *0x70\n stab *0x71\n rti",
     .memAddress = 0x70,
     .memValue = 0x11},
    {.name = "swi sets I in handler",
     .source = "ldx #handler\n stx 0xFFF6\n cli\n swi\n bra done\nhandler: tpa\n anda #0x10\n"
               " staa *0x70\n rti",
     .memAddress = 0x70,
     .memValue = 0x10},
    {.name = "illegal opcode trap stacks its address",
     .source = "ldx #handler\n stx 0xFFF8\nbad: .byte 0x41\n bra done\n"
               "handler: tsx\n ldx 7,x\n cpx #bad\n bne no\n ldab #1\nno: bra done",
     .b = 1},
};

class CpuInstruction : public ::testing::TestWithParam<CpuCase> {};

TEST_P(CpuInstruction, GivesManualResult) {
    const CpuCase& c = GetParam();
    CpuHarness h;
    ASSERT_TRUE(h.load(c.source));
    ASSERT_TRUE(h.run()) << "program did not finish";
    const CpuRegisters& r = h.cpu.registers();
    if (c.a) {
        EXPECT_EQ(r.a, *c.a) << "A";
    }
    if (c.b) {
        EXPECT_EQ(r.b, *c.b) << "B";
    }
    if (c.x) {
        EXPECT_EQ(r.x, *c.x) << "X";
    }
    if (c.y) {
        EXPECT_EQ(r.y, *c.y) << "Y";
    }
    if (c.sp) {
        EXPECT_EQ(r.sp, *c.sp) << "SP";
    }
    if (c.flags) {
        EXPECT_EQ(ccrText(r.ccr & c.flagMask), ccrText(flagsFrom(c.flags)));
    }
    if (c.ccr) {
        EXPECT_EQ(ccrText(r.ccr), ccrText(static_cast<std::uint8_t>(*c.ccr)));
    }
    if (c.memAddress) {
        EXPECT_EQ(h.mem(static_cast<std::uint16_t>(*c.memAddress)), *c.memValue)
            << "memory at " << std::hex << *c.memAddress;
    }
}

INSTANTIATE_TEST_SUITE_P(Manual, CpuInstruction, ::testing::ValuesIn(kCases), [](const auto& info) {
    std::string n = info.param.name;
    for (char& ch : n)
        if (!std::isalnum(static_cast<unsigned char>(ch)))
            ch = '_';
    return n;
});

// Every relative branch, on signed and unsigned comparisons: A = 1 when taken.
struct BranchCase {
    const char* mnemonic;
    int left;
    int right;
    bool taken;
};

const BranchCase kBranches[] = {
    {"bra", 3, 3, true},       {"brn", 3, 3, false},       {"bhi", 5, 3, true},
    {"bhi", 3, 3, false},      {"bls", 3, 3, true},        {"bls", 5, 3, false},
    {"bcc", 5, 3, true},       {"bcc", 3, 5, false},       {"bcs", 3, 5, true},
    {"bne", 3, 3, false},      {"bne", 3, 4, true},        {"beq", 3, 3, true},
    {"bvs", 0x80, 1, true},    {"bvc", 0x80, 1, false},    {"bvc", 3, 1, true},
    {"bpl", 5, 3, true},       {"bmi", 3, 5, true},        {"bmi", 5, 3, false},
    {"bge", 0xFF, 0xFE, true}, {"bge", 0x80, 1, false},    {"blt", 0x80, 1, true},
    {"blt", 1, 0x80, false},   {"bgt", 1, 0x80, true},     {"bgt", 3, 3, false},
    {"ble", 3, 3, true},       {"ble", 0x7F, 0x80, false},
};

TEST(CpuBranches, TakeTheManualCondition) {
    for (const BranchCase& c : kBranches) {
        CpuHarness h;
        const std::string src = "clrb\n ldaa #" + std::to_string(c.left) + "\n cmpa #" +
                                std::to_string(c.right) + "\n " + c.mnemonic +
                                " yes\n bra done\nyes: ldab #1";
        ASSERT_TRUE(h.load(src));
        ASSERT_TRUE(h.run());
        EXPECT_EQ(h.cpu.registers().b, c.taken ? 1 : 0)
            << c.mnemonic << " after cmp " << c.left << ", " << c.right;
    }
}

TEST(CpuBranches, BackwardBranchAndLoopCount) {
    // A countdown loop: exercises negative offsets and DECB/BNE together.
    CpuHarness h;
    ASSERT_TRUE(h.load("clra\n ldab #10\nloop: adda #3\n decb\n bne loop"));
    ASSERT_TRUE(h.run());
    EXPECT_EQ(h.cpu.registers().a, 30);
    // clra 2 + ldab 2 + 10 x (adda 2 + decb 2 + bne 3)
    EXPECT_EQ(h.cycles, 4u + 10u * 7u);
}

} // namespace
} // namespace tevra::sim::test
