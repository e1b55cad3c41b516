// Cycle counts of single instructions, from the instruction set table of
// the M68HC11 Reference Manual; one case per opcode family and page.
#include "CpuHarness.h"

#include <gtest/gtest.h>

namespace tevra::sim::test {
namespace {

struct CycleCase {
    const char* instruction;
    int cycles;
};

const CycleCase kCycles[] = {
    {"nop", 2},
    {"ldaa #1", 2},
    {"ldaa *0x10", 3},
    {"ldaa 0x1000", 4},
    {"ldaa 0,x", 4},
    {"ldaa 0,y", 5},
    {"staa 0,y", 5},
    {"ldd #1", 3},
    {"ldd 0,y", 6},
    {"std 0,y", 6},
    {"ldx 0,y", 6},
    {"stx 0,y", 6},
    {"ldy #1", 4},
    {"ldy *0x10", 5},
    {"ldy 0x1000", 6},
    {"ldy 0,x", 6},
    {"ldy 0,y", 6},
    {"sty 0,x", 6},
    {"lds #1", 3},
    {"sts 0,y", 6},
    {"addd #1", 4},
    {"addd 0,y", 7},
    {"subd 0x1000", 6},
    {"cpd #1", 5},
    {"cpd *0x10", 6},
    {"cpd 0,x", 7},
    {"cpd 0,y", 7},
    {"cpd 0x1000", 7},
    {"cpx #1", 4},
    {"cpx 0,y", 7},
    {"cpy #1", 5},
    {"cpy 0,x", 7},
    {"cpy 0x1000", 7},
    {"inc 0x1000", 6},
    {"neg 0,x", 6},
    {"neg 0,y", 7},
    {"tst 0,x", 6},
    {"clr 0,y", 7},
    {"inca", 2},
    {"jmp 0,x", 3},
    {"jmp 0,y", 4},
    {"jmp 0x9000", 3},
    {"jsr *0x10", 5},
    {"jsr 0x9000", 6},
    {"jsr 0,y", 7},
    {"bsr next", 6},
    {"beq next", 3},
    {"bne next", 3},
    {"bset *0x10 #1", 6},
    {"bclr 0,x #1", 7},
    {"bset 0,y #1", 8},
    {"brset *0x10 #1 next", 6},
    {"brclr 0,x #1 next", 7},
    {"brset 0,y #1 next", 8},
    {"psha", 3},
    {"pula", 4},
    {"pshx", 4},
    {"pulx", 5},
    {"pshy", 5},
    {"puly", 6},
    {"tsx", 3},
    {"tsy", 4},
    {"txs", 3},
    {"tys", 4},
    {"inx", 3},
    {"iny", 4},
    {"abx", 3},
    {"aby", 4},
    {"xgdx", 3},
    {"xgdy", 4},
    {"lsrd", 3},
    {"asld", 3},
    {"mul", 10},
    {"idiv", 41},
    {"fdiv", 41},
    {"daa", 2},
    {"tap", 2},
    {"ins", 3},
    {"swi", 14},
    {"stop", 2},
};

TEST(CpuCycles, MatchTheManual) {
    for (const CycleCase& c : kCycles) {
        CpuHarness h;
        ASSERT_TRUE(h.load(std::string(c.instruction) + "\nnext: nop"));
        EXPECT_EQ(h.cpu.step(), c.cycles) << c.instruction;
    }
}

TEST(CpuCycles, ReturnsTakeTheirStackedAddress) {
    // RTS and RTI cycle counts need a stack frame to return through.
    CpuHarness h;
    ASSERT_TRUE(h.load("ldx #back\n pshx\n rts\nback: ldx #0x2000\n pshx\n pshx\n pshx\n pshx\n"
                       " psha\n rti"));
    int rts = 0;
    int rti = 0;
    for (int i = 0; i < 20 && !h.atSelfLoop(); ++i) {
        const std::uint8_t op = h.mem(h.cpu.registers().pc);
        const int c = h.cpu.step();
        if (op == 0x39)
            rts = c;
        if (op == 0x3B)
            rti = c;
    }
    EXPECT_EQ(rts, 5);
    EXPECT_EQ(rti, 12);
}

TEST(CpuCycles, UndefinedOpcodesOfEveryPageTrap) {
    // 0x41 on page 1, 0x18 0x00 on page 2, 0x1A 0x00, 0xCD 0x00: all take
    // the illegal-opcode vector.
    for (const char* bytes :
         {".byte 0x41", ".byte 0x18, 0x00", ".byte 0x1A, 0x8C", ".byte 0xCD, 0xCE", ".byte 0x87"}) {
        CpuHarness h;
        ASSERT_TRUE(h.load(std::string("ldx #trap\n stx 0xFFF8\n") + bytes + "\ntrap: nop"));
        for (int i = 0; i < 3; ++i)
            h.cpu.step();
        EXPECT_EQ(h.cpu.illegalOpcodeCount(), 1u) << bytes;
    }
}

} // namespace
} // namespace tevra::sim::test
