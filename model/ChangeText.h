#pragma once

#include "CalibrationDiff.h"

#include <string>
#include <utility>

namespace tevra {

// How one change between two entries reads for people: where in the entry
// ("point 3", "cell 2,5", "bit 0", a field's name) and what changed ("Y 25 deg ->
// 26 deg"), in the entry's units. The command line's diff and the editor show the
// same words.
class ChangeText {
public:
    static std::pair<std::string, std::string>
    of(const CalibrationDiff::Change& c, const std::string& xUnit, const std::string& yUnit);
};

} // namespace tevra
