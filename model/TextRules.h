#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Text conventions shared by the definition file, the settings file and the
// dialogs. All of them are locale-independent: a calibration written on one
// machine must read back the same on any other.
namespace tevra::text {

// White space as the C library's isspace sees it in the "C" locale.
bool isBlank(char c);
// The value of one hexadecimal digit (either case), or -1.
constexpr int hexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// The number-prefix rule: the leading decimal number of a text (leading blanks
// skipped, optional sign, digits with an optional decimal point and exponent),
// 0 when there is none. Hexadecimal, "inf" and "nan" are not numbers here.
float parseNumberPrefix(std::string_view s);
// Same rule, also telling whether a number was found and where it ended.
bool scanNumberPrefix(std::string_view s, double& value, std::size_t* end = nullptr);

// Leading hexadecimal digits (either case), after optional leading blanks.
// False when there is no digit; the value wraps at 32 bits.
bool parseHexPrefix(std::string_view s, std::uint32_t& value);
// Leading decimal integer with optional sign (atoi-like, clamped to int32); 0 when none.
std::int32_t parseIntPrefix(std::string_view s);

// Converts a float to int by truncation toward zero; NaN gives 0 and values
// beyond the int range are clamped.
int truncToInt(double v);

// printf-style "%.Nf" without the locale.
std::string formatFixed(double v, int decimals);
// Upper-case hexadecimal with at least minDigits digits ("%X", "%04X").
std::string formatHex(std::uint32_t v, int minDigits = 1);

bool startsWithNoCase(std::string_view s, std::string_view prefix);
bool equalsNoCase(std::string_view a, std::string_view b);
std::string toLowerAscii(std::string_view s);

// Splits at runs of blanks and tabs.
std::vector<std::string_view> splitTokens(std::string_view line);

// Takes the next line off the front of rest. CR, LF and CR LF each end a line, so
// files from every system (old Macs wrote CR alone) read alike; the line end is
// not part of the line. False once rest is empty.
bool nextLine(std::string_view& rest, std::string_view& line);

// Definition-file encoding of text fields: blanks become underscores and back.
std::string encodeBlanks(std::string_view s);
std::string decodeUnderscores(std::string_view s);

} // namespace tevra::text
