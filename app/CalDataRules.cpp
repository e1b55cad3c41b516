#include "CalDataRules.h"

#include "Calibration.h"
#include "DialogText.h"
#include "Prompter.h"
#include "TextRules.h"

#include <cmath>

namespace tevra::caldata {

namespace {

std::string hex4(std::int32_t v) {
    return text::formatHex(static_cast<std::uint32_t>(v), 4);
}

void copyCommon(Calibration& cal, const CalDataValues& v) {
    cal.description = v.description;
    cal.author = v.author;
    cal.checksumEnabled = v.checksumEnabled;
    cal.injectorSize = v.injectorSize;
    cal.maxBoost = v.maxBoost;
    cal.mapType = v.mapType;
    // An empty or digitless field keeps the address the document had.
    if (auto a = dialogtext::readHex(v.checksumAddress))
        cal.checksumAddress = *a;
    if (auto a = dialogtext::readHex(v.fixupAddress))
        cal.fixupAddress = *a;
}

} // namespace

CalDataValues valuesOf(const Calibration& cal) {
    CalDataValues v;
    v.description = cal.description;
    v.author = cal.author;
    v.baseAddress = hex4(cal.baseAddress);
    v.injectorSize = cal.injectorSize;
    v.maxBoost = cal.maxBoost;
    v.checksumEnabled = cal.checksumEnabled;
    v.checksumAddress = hex4(cal.checksumAddress);
    v.fixupAddress = hex4(cal.fixupAddress);
    v.mapType = cal.mapType;
    return v;
}

CalDataValues newCalibrationValues(std::int32_t proposedBase) {
    CalDataValues v;
    v.baseAddress = hex4(proposedBase);
    return v;
}

int mapTypeIndex(float mapType) {
    const double index = std::trunc((double{mapType} - 2.0) * 2.0);
    return index >= 0 && index <= 2 ? static_cast<int>(index) : -1;
}

float mapTypeOf(int index) {
    return 2.0f + 0.5f * static_cast<float>(index);
}

bool applyEdit(Calibration& cal, const CalDataValues& v, Prompter& prompter) {
    const std::int32_t base = dialogtext::readHex(v.baseAddress).value_or(cal.baseAddress);
    if (!cal.Rebase(base, true) && !prompter.askYesNo(kRebaseQuestion, "Warning"))
        return false;
    cal.Rebase(base, false);
    copyCommon(cal, v);
    cal.SetDefinitionsModified(true);
    return true;
}

void applyNew(Calibration& cal, const CalDataValues& v) {
    if (auto base = dialogtext::readHex(v.baseAddress)) {
        // Taken as it is, not rebased: a freshly opened image has no entries to move;
        // rebasing onto itself only points any entry into the image at the new base.
        cal.baseAddress = *base;
        cal.Rebase(*base, false);
    }
    copyCommon(cal, v);
    cal.SetDefinitionsModified(true);
}

} // namespace tevra::caldata
