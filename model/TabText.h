#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tevra {

// Numbers as typed into a value or exchanged with spreadsheets and other table
// editors: rows on lines, values separated by tabs. Reading is independent of
// the locale, so a block copied on one machine pastes the same on any other.
class TabText {
public:
    // A whole typed value: blanks around it allowed, nothing else. Decimal with
    // optional sign, decimal point and exponent; with hex, hexadecimal digits
    // with an optional sign. Nothing for anything else (empty, "12a", "inf").
    static std::optional<double> parseNumber(std::string_view text, bool hex = false);

    struct Block {
        std::vector<std::vector<double>> rows; // every row as long as the first
        std::string error;                     // empty when the text was read
    };
    // Lines end in LF or CR LF; a last line break is not an extra row. Every
    // line must hold as many values as the first; an empty cell is an error.
    static Block parseBlock(std::string_view text, bool hex = false);

    // Rows of texts joined by tabs, each row ending with a line break.
    static std::string formatBlock(const std::vector<std::vector<std::string>>& rows);
};

} // namespace tevra
