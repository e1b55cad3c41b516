#pragma once

#include "DialogValues.h"

#include <cstdint>
#include <optional>
#include <string>

namespace tevra {

class Calibration;
class Prompter;

// What the Calibration Data dialog shows and what its OK does to the document,
// in both of its forms, without widgets.
namespace caldata {

// The editing form ("Cal Data"): the document's current values.
CalDataValues valuesOf(const Calibration& cal);
// The new-calibration form: the defaults with the proposed base address.
CalDataValues newCalibrationValues(std::int32_t proposedBase, std::int32_t imageLength);

// The message for a base address text under which the image would not fit into
// 0x0000-0xFFFF, or nothing (a text without digits keeps the old base: no message).
std::optional<std::string> checkBaseAddress(const CalDataValues& v);

// The "MAP Type" button a MAP type selects (2 Bar, 2.5 Bar, 3 Bar), -1 for none.
int mapTypeIndex(float mapType);
float mapTypeOf(int index);

// Takes the values of the editing form: rebases (asking the "Warning" question
// when entries would be lost), then copies the rest. False when the user said
// No, and then nothing at all has changed. Entries may be destroyed: the caller
// must drop every reference to them first and rebuild its list afterwards.
bool applyEdit(Calibration& cal, const CalDataValues& v, Prompter& prompter);
// Takes the values of the new-calibration form (no entries yet, no Rebase).
void applyNew(Calibration& cal, const CalDataValues& v);

inline constexpr const char* kRebaseQuestion =
    "New base address will cause some\ntables to be deleted. Continue anyway?";

} // namespace caldata
} // namespace tevra
