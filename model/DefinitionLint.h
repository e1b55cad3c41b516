#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tevra {

class Calibration;

// Checks a calibration's definitions against its image for the mistakes that make
// an editor show or write the wrong bytes: entries that overlap or reach outside
// the image, clashing addresses and names, tables whose layout the controller's
// routines would misread, and checksum settings that land inside an entry.
class DefinitionLint {
public:
    enum class Kind {
        Overlap,         // two entries share bytes
        OutsideImage,    // an entry's bytes reach outside the image
        SameAddress,     // two entries at one address
        NameCase,        // two names that differ only in letter case (or not at all)
        XNotRising,      // a 2D table whose X breakpoints do not rise
        Unterminated,    // a 16-bit table without an X byte of 0xFF in the image
        Dimensions,      // a 3D table with rows or columns outside 3..32
        ChecksumInEntry, // the checksum address lies inside an entry
        FixupInEntry,    // the fix-up address lies inside an entry
        FixupIsChecksum, // the fix-up address equals the checksum address
        ChecksumOutside, // the checksum or fix-up address lies outside the image
    };

    struct Finding {
        Kind kind;
        std::int32_t address = 0; // where to look first
        std::vector<std::string> names;
        std::string message; // one line for people
    };

    static std::vector<Finding> check(const Calibration& cal);
    // A stable word for each kind ("overlap", "outsideImage", ...), for JSON.
    static const char* kindName(Kind k);
};

} // namespace tevra
