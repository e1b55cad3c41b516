#pragma once

#include <string>

namespace tevra {

// What the Save Calibration dialog is opened with and returns.
struct SaveValues {
    std::string name; // the image path to write
    bool saveBinary = false;
    bool saveTables = false;
    bool makeCurrentEdit = false;
};

// What the Options dialog is opened with and returns.
struct OptionsValues {
    bool reloadLast = true;
    bool hideMouse = false;
    std::string comparisonPath;
    int flashSpeed = 100;
};

} // namespace tevra
