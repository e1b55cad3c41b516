#pragma once

#include "DialogValues.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace tevra {

class CalEntry;
class Calibration;

// What the Data Properties dialog and its two field dialogs show, what their
// buttons change in the values, and the checks before the values go into an entry.
// Free of widgets so that every rule is testable on its own.
namespace properties {

// The dialog's values for an existing entry (the address as "%X").
PropertiesValues valuesOf(const CalEntry& entry);
// The initial values for a new entry, with that entry's field names and values.
PropertiesValues newEntryValues(const CalEntry& fresh);

// "Quick Set:": the items in their order; item 0 ("No Change") changes nothing.
inline constexpr std::array<const char*, 14> kQuickSetItems{"No Change",
                                                            "X = MAP",
                                                            "X = 3 Bar MAP",
                                                            "X = RPM",
                                                            "X = Coolant Temp",
                                                            "X = TPS",
                                                            "Y = Spark Advance",
                                                            "Y = Fuel Pulsewidth",
                                                            "Y = Factor 0.0 - 1.0",
                                                            "Y = Boost Above Baro",
                                                            "Y = MAP",
                                                            "Y = 3 Bar MAP",
                                                            "Y = RPM",
                                                            "Y = Coolant Temp"};
void applyQuickSet(PropertiesValues& v, int item);

// "Define Fields" for a flag byte: the names as they come back from the dialog,
// an empty one becoming "Bit k".
std::array<std::string, 8> bitNamesBack(const std::array<std::string, 8>& typed);
// "Define Fields" for a value list: the texts the dialog opens with ("%2.2X").
ValueListTexts valueListTexts(const PropertiesValues& v);
// Takes the dialog's texts back: values read as hexadecimal and cut to 8 bits
// (a text without a digit keeps the value), an empty description becoming "Value k".
void takeValueList(PropertiesValues& v, const ValueListTexts& typed);

// The address a text names, when it names one.
std::optional<std::int32_t> addressOf(const PropertiesValues& v);

// The checks before OK's values are written into `self`, in their order. The
// message to show (caption "Error"), or nothing when the values may be taken.
std::optional<std::string> check(const Calibration& cal, const CalEntry& self,
                                 const PropertiesValues& v);

// Writes the values into the entry and points it at the new address.
void apply(CalEntry& entry, const PropertiesValues& v, std::int32_t address);

inline constexpr const char* kDuplicateName = "An entry with that name already exists!";
inline constexpr const char* kDuplicateAddress = "An entry with that address already exists!";
inline constexpr const char* kNoAddress = "Please enter the address in hexadecimal.";
inline constexpr const char* kCaption = "Error";
// "That address lies outside the image (C000 to FFFF)!"
std::string outsideImageMessage(const Calibration& cal);

inline constexpr std::size_t kMaxDescription = 750;

} // namespace properties
} // namespace tevra
