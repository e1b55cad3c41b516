#pragma once

#include "CalEntry.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tevra {

// Everything a definition file holds about a calibration, as one value: the
// calibration-wide settings and every entry slot (holes included, so slot order
// and the list's tie order come back as they were). The editor keeps one before
// and one after each definition edit to undo and redo it.
struct DefinitionsState {
    std::int32_t baseAddress = 0xC000;
    std::string description;
    std::string author;
    float injectorSize = 0.0f;
    float maxBoost = 0.0f;
    float mapType = 0.0f;
    bool checksumEnabled = false;
    std::int32_t checksumAddress = 0;
    std::int32_t fixupAddress = 0;
    std::vector<std::optional<CalEntry>> entrySlots;
};

// True when both states would write the same definition file: the settings and,
// slot by slot, every field of every entry (a hole stays a hole).
bool sameDefinitions(const DefinitionsState& a, const DefinitionsState& b);

} // namespace tevra
