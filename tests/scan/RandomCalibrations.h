#pragma once

#include <cstdint>
#include <string>

namespace tevra {
class Calibration;
}

namespace tevra::test {

// Builds pairs of calibrations for cross-identification from a seed, the same
// pair every time for the same seed: random or related images, entries of every
// type (some reaching past the image), holes in the slot table, bases equal or
// not, and byte alphabets small enough that equal scores are common.
struct RandomPairShape {
    int maxSelfEntries = 40;
    int maxOtherEntries = 40;
    int minImageLength = 64;
    int maxImageLength = 2048;
    bool related = false;     // the other is always a mutated copy of self
    bool exactCounts = false; // the maxima, without holes (less any on a repeated offset)
};

class RandomCalibrations {
public:
    // Fills two empty calibrations and returns a threshold for the pair.
    static float build(std::uint32_t seed, const RandomPairShape& shape, Calibration& self,
                       Calibration& other);
    // Every slot with every field: two calibrations with equal texts hold the same
    // definitions in the same slots.
    static std::string describe(const Calibration& cal);
};

} // namespace tevra::test
