#pragma once

#include "EntryComparison.h"
#include "EntryType.h"

#include <vector>

namespace tevra {

class CalEntry;

// What the bytes under an entry hold when read as its type: whether they can be
// such an entry at all (a sane count, rising X, a terminator, 1..32 rows and
// columns, every byte inside the image), and what a comparison of two builds
// needs of them. Carrying reads every candidate place of a later build this way,
// once per type.
struct EntryReading {
    bool plausible = false;
    int points = 0;
    std::vector<int> xs; // X of the real points
    EntryComparison::Curve curve{};
    int fullScale = 256;
    int rows = 0, columns = 0;
    bool cellsSigned = false;
    std::vector<int> cells;
    int value = 0; // constants, flag bytes, value lists

    static EntryReading of(const CalEntry& e);

    // How alike two readings of one type are, each 0..1: the shape (point count
    // or dimensions and signedness; one point, row or column more or less still
    // counts), the axis breakpoints, the values.
    struct Likeness {
        float shape = 0, axis = 0, values = 0;
    };
    static Likeness likeness(EntryType type, const EntryReading& mine, const EntryReading& theirs);
};

} // namespace tevra
