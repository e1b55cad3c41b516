#pragma once

#include <vector>

namespace tevra {

class CalEntry;
class Calibration;

// Lends the definitions of a calibration whose tables are known ("other") to the
// entries of one whose tables the scan only found ("self"). Every pair of entries
// is scored; pairs are then taken best first, each entry at most once; finally the
// other's constants and flag bytes that the scan cannot find are added where this
// image holds the same bytes at the same address.
//
// The pairs are taken as a repeated search of the whole score matrix would take
// them (the largest score strictly above the threshold, ties to the lowest other
// slot, then the lowest own slot; after each pick its row and column are out),
// but by one sorted walk over the candidate cells: a cell the search would pick
// is always the first live cell of that order, and a cell once dead stays dead.
class CrossIdentifier {
public:
    struct Match {
        int self;  // slot in self
        int other; // slot in other
        float score;
    };

    // The pairs taken, in the order they are taken. Reads entries as other types
    // while scoring, and restores them. A threshold below 0 counts as 0 (the
    // dialog's range is 0.5 to 1.0).
    static std::vector<Match> findMatches(Calibration& self, Calibration& other, float threshold);

    // findMatches, copying the partner's definition into each matched entry and
    // marking the partner matched, then the constants pass.
    static void identify(Calibration& self, Calibration& other, float threshold);

    // Adds, for each unmatched constant, flag byte or value list of other whose
    // address self does not define, an entry with its definition when the bytes
    // here are alike enough (similarity 0.9 or more).
    static void addConstants(Calibration& self, Calibration& other);

    // What a match copies: everything but the address and the user's flag.
    static void copyDefinition(const CalEntry& from, CalEntry& to);
};

} // namespace tevra
