#pragma once

#include "EntryType.h"

#include <array>
#include <cstdint>
#include <string>

namespace tevra {

// What the Calibration Data dialog is opened with and returns. The three address
// fields stay texts: the caller reads them as hexadecimal, and a text without a
// digit means "keep what the document has".
struct CalDataValues {
    std::string description = "Tevra Calibration";
    std::string author = "Tevra";
    std::string baseAddress;
    float injectorSize = 33.0f;
    float maxBoost = 12.0f;
    bool checksumEnabled = false;
    std::string checksumAddress;
    std::string fixupAddress;
    float mapType = 2.0f;
    // Not shown: the image's length, so that the dialog can refuse a base address
    // that would put the end of the image past 0xFFFF.
    std::int32_t imageLength = 0;
};

// What the Data Properties dialog is opened with: one entry's definition as texts,
// with the initial values of a new entry.
struct PropertiesValues {
    std::string hexAddress = "C000";
    std::string chryslerName = "NAME";
    std::string description = "Description";
    std::string name = "New Table";
    std::string xName = "IN";
    std::string xUnit = "X";
    std::string xMin = "0";
    std::string xMax = "255";
    std::string yName = "OUT";
    std::string yUnit = "Y";
    std::string yMin = "0";
    std::string yMax = "255";
    EntryType type = EntryType::Unsigned8Table;
    std::array<std::string, 8> itemNames{};
    std::array<std::int32_t, 8> itemValues{};
};

// How the Data Properties dialog ended: OK with the edited values, or not, with a
// navigation step of +1 ("&Next"), -1 ("&Prev") or 0 (Cancel).
struct PropertiesResult {
    bool accepted = false;
    int navigationStep = 0;
    PropertiesValues values;
};

// The eight fields of a value list as the Value List Properties dialog edits them.
struct ValueListTexts {
    std::array<std::string, 8> values{};
    std::array<std::string, 8> descriptions{};
};

// What the Scan For Tables dialog returns.
struct ScanValues {
    enum Choice { HeuristicOnly = 0, CrossIdentify = 1, Carry = 2 };
    int choice = HeuristicOnly;
    std::string otherPath;
    int quality = 0; // 0..100, "Match Quality 50%" to "100%"
};

} // namespace tevra
