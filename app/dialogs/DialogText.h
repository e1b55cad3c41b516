#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// How the dialogs read and write the numbers in their edit fields. Free of Qt so
// that the rules can be checked without widgets; all locale-independent.
namespace tevra::dialogtext {

// A hexadecimal field read like "%X": leading blanks skipped, an optional "0x",
// then the hexadecimal digits up to the first other character. Nothing when the
// text holds no digit there. The value wraps at 32 bits.
std::optional<std::int32_t> readHex(std::string_view text);

// A float as the fields show it: up to six significant digits, no trailing zeros
// (33 → "33", 2.5 → "2.5").
std::string formatNumber(double value);

// A field that must hold a number and nothing else but blanks around it.
std::optional<double> readNumber(std::string_view text);

// The two validation messages of a numeric field with a range.
inline constexpr const char* kNotANumber = "Please enter a number.";
std::string rangeMessage(double min, double max);

// Checks one numeric field: the message to show, or nothing when the value is
// a number within [min, max], which is then stored into value.
std::optional<std::string> checkNumber(std::string_view text, double min, double max, float& value);

} // namespace tevra::dialogtext
