#pragma once

#include "Assembler.h"

#include <array>
#include <cstdint>
#include <gtest/gtest.h>
#include <vector>

namespace tevra::sim::test {

// A bootstrap download of a small test program: 0xFF, then the program
// padded to 256 bytes. The program switches the SCI to 9600 baud and answers
// every received byte with its complement.
inline std::vector<std::uint8_t> complementEchoDownload() {
    const Assembled a = assemble("start:  ldx #0x1000\n"
                                 "wtc:    brclr 0x2e,x #0x40 wtc\n"
                                 "        ldaa #0x30\n"
                                 "        staa 0x2b,x\n"
                                 "wait:   brclr 0x2e,x #0x20 wait\n"
                                 "        ldaa 0x2f,x\n"
                                 "        coma\n"
                                 "tx:     brclr 0x2e,x #0x80 tx\n"
                                 "        staa 0x2f,x\n"
                                 "        bra wait\n",
                                 0x0000);
    EXPECT_EQ(a.error, "");
    std::vector<std::uint8_t> download(257, 0x01); // NOP padding
    download[0] = 0xFF;
    std::copy(a.bytes.begin(), a.bytes.end(), download.begin() + 1);
    return download;
}

inline constexpr std::uint64_t kCyclesPerMs = 2000;

} // namespace tevra::sim::test
