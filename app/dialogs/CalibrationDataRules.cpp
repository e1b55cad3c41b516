#include "CalibrationDataRules.h"

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
    v.imageLength = cal.imageLength();
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

CalDataValues newCalibrationValues(std::int32_t proposedBase, std::int32_t imageLength) {
    CalDataValues v;
    v.baseAddress = hex4(proposedBase);
    v.imageLength = imageLength;
    return v;
}

std::optional<std::string> checkBaseAddress(const CalDataValues& v) {
    const std::optional<std::int32_t> base = dialogtext::readHex(v.baseAddress);
    // The controller's address space ends at 0xFFFF; a larger base would write
    // S-records whose 16-bit addresses wrap around.
    const std::int64_t highest = 0x10000 - std::int64_t{v.imageLength};
    // An image larger than the address space fits nowhere; there is no range to ask for.
    if (!base || highest < 0 || (*base >= 0 && *base <= highest))
        return std::nullopt;
    return "Please enter a base address between 0000 and " +
           text::formatHex(static_cast<std::uint32_t>(highest), 4) + ".";
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
