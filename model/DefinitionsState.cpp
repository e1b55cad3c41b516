#include "DefinitionsState.h"

namespace tevra {

namespace {

bool sameEntry(const CalEntry& a, const CalEntry& b) {
    return a.type == b.type && a.name == b.name && a.address == b.address && a.xName == b.xName &&
           a.xMin == b.xMin && a.xMax == b.xMax && a.xUnit == b.xUnit && a.yName == b.yName &&
           a.yMin == b.yMin && a.yMax == b.yMax && a.yUnit == b.yUnit &&
           a.chryslerName == b.chryslerName && a.description == b.description &&
           a.userFlag == b.userFlag && a.itemNames == b.itemNames && a.itemValues == b.itemValues;
}

} // namespace

bool sameDefinitions(const DefinitionsState& a, const DefinitionsState& b) {
    if (a.baseAddress != b.baseAddress || a.description != b.description || a.author != b.author ||
        a.injectorSize != b.injectorSize || a.maxBoost != b.maxBoost || a.mapType != b.mapType ||
        a.checksumEnabled != b.checksumEnabled || a.checksumAddress != b.checksumAddress ||
        a.fixupAddress != b.fixupAddress || a.entrySlots.size() != b.entrySlots.size())
        return false;
    for (std::size_t i = 0; i < a.entrySlots.size(); ++i) {
        const auto& x = a.entrySlots[i];
        const auto& y = b.entrySlots[i];
        if (x.has_value() != y.has_value() || (x && !sameEntry(*x, *y)))
            return false;
    }
    return true;
}

} // namespace tevra
