#pragma once

#include <cstdint>
#include <vector>

namespace tevra {
class Calibration;
}

namespace tevra::test {

// Builds a calibration with a small 68HC11 program that finds its tables with
// LDX # and reads its constants with extended loads (as the demo's code does),
// and a later build of the same program, the same pair every time for a seed.
// The later build is what a new software revision looks like: the code grows
// (instructions inserted, routines added, so every address in it shifts), tables
// are inserted and removed, a few move to another place in the data area, a few
// are resized (points or rows added or dropped), and values are tuned by the
// amounts a calibrator would. A sibling keeps code and layout and only tunes.
struct RevisionShape {
    int tables = 40;      // 2D and 3D tables in the first build
    int constants = 12;   // constants, flag bytes and value lists
    bool sibling = false; // same code and layout, values tuned only
    bool large = false;   // 32 KB at 0x8000 with small tables (else 16 KB at 0xC000)
};

class RevisionPairs {
public:
    // Fills two empty calibrations: the first build with its definitions, the
    // later one as a bare image (no entries, its base set). Returns, for every slot
    // of the first build, the address of the same entry in the later build, or -1
    // when the later build dropped it.
    static std::vector<std::int32_t> build(std::uint32_t seed, const RevisionShape& shape,
                                           Calibration& first, Calibration& later);
};

} // namespace tevra::test
