#include "TabText.h"

#include <charconv>
#include <cmath>
#include <cstdint>

namespace tevra {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f' || c == '\n';
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

std::optional<double> parseHex(std::string_view s) {
    bool negative = false;
    if (!s.empty() && (s.front() == '-' || s.front() == '+')) {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X'))
        s.remove_prefix(2);
    if (s.empty() || s.size() > 8)
        return std::nullopt;
    std::uint32_t v = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v, 16);
    if (ec != std::errc() || end != s.data() + s.size())
        return std::nullopt;
    return negative ? -double(v) : double(v);
}

std::vector<std::string_view> split(std::string_view text, char sep) {
    std::vector<std::string_view> parts;
    for (;;) {
        const std::size_t at = text.find(sep);
        parts.push_back(text.substr(0, at));
        if (at == std::string_view::npos)
            return parts;
        text.remove_prefix(at + 1);
    }
}

} // namespace

std::optional<double> TabText::parseNumber(std::string_view text, bool hex) {
    std::string_view s = trimmed(text);
    if (hex)
        return parseHex(s);
    if (!s.empty() && s.front() == '+')
        s.remove_prefix(1);
    if (s.empty())
        return std::nullopt;
    // from_chars accepts "inf" and "nan"; typed values are plain numbers only.
    const char first = s.front() == '-' && s.size() > 1 ? s[1] : s.front();
    if ((first < '0' || first > '9') && first != '.')
        return std::nullopt;
    double v = 0;
    const auto [end, ec] =
        std::from_chars(s.data(), s.data() + s.size(), v, std::chars_format::general);
    if (ec != std::errc() || end != s.data() + s.size() || !std::isfinite(v))
        return std::nullopt;
    return v;
}

TabText::Block TabText::parseBlock(std::string_view text, bool hex) {
    Block block;
    if (!text.empty() && text.back() == '\n')
        text.remove_suffix(1);
    if (!text.empty() && text.back() == '\r')
        text.remove_suffix(1);
    if (trimmed(text).empty()) {
        block.error = "There are no values to paste.";
        return block;
    }
    const std::vector<std::string_view> lines = split(text, '\n');
    for (std::size_t r = 0; r < lines.size(); ++r) {
        std::string_view line = lines[r];
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        std::vector<double> row;
        const std::vector<std::string_view> cells = split(line, '\t');
        for (std::size_t c = 0; c < cells.size(); ++c) {
            const auto v = parseNumber(cells[c], hex);
            if (!v) {
                block.rows.clear();
                block.error = "Line " + std::to_string(r + 1) + ", value " + std::to_string(c + 1) +
                              " is not a number: \"" + std::string(trimmed(cells[c])) + "\".";
                return block;
            }
            row.push_back(*v);
        }
        if (!block.rows.empty() && row.size() != block.rows.front().size()) {
            block.rows.clear();
            block.error = "Line " + std::to_string(r + 1) + " holds " + std::to_string(row.size()) +
                          " values, the first line " +
                          std::to_string(lines.empty() ? 0 : split(lines[0], '\t').size()) + ".";
            return block;
        }
        block.rows.push_back(std::move(row));
    }
    return block;
}

std::string TabText::formatBlock(const std::vector<std::vector<std::string>>& rows) {
    std::string out;
    for (const auto& row : rows) {
        for (std::size_t c = 0; c < row.size(); ++c) {
            if (c > 0)
                out += '\t';
            out += row[c];
        }
        out += '\n';
    }
    return out;
}

} // namespace tevra
