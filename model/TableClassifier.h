#pragma once

#include "EntryType.h"

#include <cstdint>

namespace tevra {

// Guesses what kind of table starts at an address the controller's code loads
// into its index register. Each layout the controller's interpolation routines
// understand gets a plausibility score from the bytes found there; the best one
// wins, and nothing convincing gives Unknown.
class TableClassifier {
public:
    // p is the first byte of the candidate, end the last byte of the image. Bytes
    // after end are never read; a test that would need one simply fails. Only
    // Unsigned8Table, Unsigned16Table, Signed8Table, Table3D or Unknown result.
    static EntryType ClassifyTable(const std::uint8_t* p, const std::uint8_t* end);

    // The individual scores, for tests and for the curious.
    struct Scores {
        int unsigned8 = 0;  // S0
        int unsigned16 = 0; // S1
        int signed8 = 0;    // S2
        int table3D = 0;    // S7
    };
    static Scores score(const std::uint8_t* p, const std::uint8_t* end);
    static EntryType choose(const Scores& s);
};

} // namespace tevra
