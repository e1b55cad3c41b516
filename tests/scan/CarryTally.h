#pragma once

#include <cstdint>
#include <vector>

namespace tevra {
class Calibration;
}

namespace tevra::test {

// How well a method carried a lender's entries onto a later build: for each
// lender entry, right (its definition is at the address where the later build
// holds it), wrong (at any other address, or anywhere when the later build
// dropped it) or missed (nowhere while the later build still holds it). Counted
// separately for tables (2D and 3D) and for the rest.
struct CarryTally {
    struct Counts {
        int right = 0, wrong = 0, missed = 0;
        int total() const { return right + wrong + missed; }
        Counts& operator+=(const Counts& o) {
            right += o.right;
            wrong += o.wrong;
            missed += o.missed;
            return *this;
        }
    };
    Counts tables, others;

    CarryTally& operator+=(const CarryTally& o) {
        tables += o.tables;
        others += o.others;
        return *this;
    }

    // `named` is the later build after a method gave it names; `truth` is what
    // RevisionPairs::build returned for the lender's slots.
    static CarryTally of(const Calibration& lender, const Calibration& named,
                         const std::vector<std::int32_t>& truth);
};

} // namespace tevra::test
