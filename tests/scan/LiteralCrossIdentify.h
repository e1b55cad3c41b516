#pragma once

#include "CrossIdentifier.h"

#include <vector>

namespace tevra {
class Calibration;
}

namespace tevra::test {

// Cross-identification done the slow, obvious way: the full score matrix from
// CalEntry::Similarity, then a search of the whole matrix for every pair taken.
// The reference the fast CrossIdentifier must agree with.
class LiteralCrossIdentify {
public:
    // The pairs taken, in order; entries are not changed.
    static std::vector<CrossIdentifier::Match> matches(Calibration& self, Calibration& other,
                                                       float threshold);
    // The pairs, their copying and the constants pass.
    static std::vector<CrossIdentifier::Match> identify(Calibration& self, Calibration& other,
                                                        float threshold);
};

} // namespace tevra::test
