#pragma once

#include "EntryType.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tevra {

class CalEntry;
class Calibration;

// Carries the definitions of a calibration whose tables are known (the lender)
// onto another build of the same program (self), where tables may have moved,
// been resized, added or removed, and the code around them shifted. Evidence is
// weighed in the order of what survives a recompile best: the code that refers to
// each entry (its LDX # or extended-mode site, addresses masked), the entry's
// shape (type, point count or dimensions, signedness, axis breakpoints), the order
// of the tables in the data area, and the values last. Each lender entry goes to
// at most one address and each address gets at most one name.
//
// Unlike cross-identification this never lends a name on values alone: an entry
// the lender's code does not refer to is carried only to the same address, in an
// image of the same base and length.
class DefinitionCarrier {
public:
    struct Evidence {
        float code = 0;       // 0..1, likeness of the code around the references
        int sites = 0;        // references to the entry in the lender's code
        int sitesMatched = 0; // of those, how many have a close partner here
        float shape = 0;      // 0..1
        float axis = 0;       // 0..1, X breakpoints (2D) or dimensions (3D)
        float values = 0;     // 0..1
        bool sameAddress = false;
        bool inOrder = true; // keeps the lender's order of tables in the data area
    };

    struct Carried {
        int lenderSlot = -1;
        std::int32_t address = 0; // in self
        float score = 0;
        Evidence evidence;
    };

    struct Missed {
        int lenderSlot = -1;
        std::string reason;
    };

    struct Result {
        std::vector<Carried> carried; // in the lender's slot order
        std::vector<Missed> missed;
    };

    // Where each lender entry lies in self's image. Reads only.
    static Result match(Calibration& self, Calibration& lender);

    // match, then gives self an entry with the lender's definition at every carried
    // address (an entry already there takes the definition; the address and the
    // user's flag stay). Marks self's definitions modified when anything changed.
    static Result carry(Calibration& self, Calibration& lender);

    // One line per lender entry: where it went and why, or why not.
    static std::string report(const Result& r, const Calibration& lender);
};

} // namespace tevra
