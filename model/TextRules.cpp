#include "TextRules.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace tevra::text {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

namespace {
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
char lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
} // namespace

bool scanNumberPrefix(std::string_view s, double& value, std::size_t* endOut) {
    std::size_t i = 0;
    while (i < s.size() && isBlank(s[i]))
        ++i;
    const std::size_t start = i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    const std::size_t mantissa = i;
    std::size_t digits = 0;
    while (i < s.size() && isDigit(s[i])) {
        ++i;
        ++digits;
    }
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && isDigit(s[i])) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0) {
        value = 0;
        if (endOut)
            *endOut = start;
        return false;
    }
    std::size_t end = i;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-'))
            ++j;
        if (j < s.size() && isDigit(s[j])) {
            while (j < s.size() && isDigit(s[j]))
                ++j;
            end = j;
        }
    }
    // The text is now known to be a plain decimal number; from_chars reads it
    // exactly and without the locale.
    double v = 0;
    auto res = std::from_chars(s.data() + mantissa, s.data() + end, v, std::chars_format::general);
    if (res.ec == std::errc::result_out_of_range) {
        // Overflow reads as infinity, underflow as zero, as strtod does.
        bool expNegative = false;
        for (std::size_t k = mantissa; k < end; ++k)
            if ((s[k] == 'e' || s[k] == 'E') && k + 1 < end && s[k + 1] == '-')
                expNegative = true;
        v = expNegative ? 0.0 : std::numeric_limits<double>::infinity();
    }
    value = negative ? -v : v;
    if (endOut)
        *endOut = end;
    return true;
}

float parseNumberPrefix(std::string_view s) {
    double v = 0;
    scanNumberPrefix(s, v);
    return static_cast<float>(v);
}

bool parseHexPrefix(std::string_view s, std::uint32_t& value) {
    std::size_t i = 0;
    while (i < s.size() && isBlank(s[i]))
        ++i;
    std::uint32_t v = 0;
    bool any = false;
    for (; i < s.size(); ++i) {
        int d = hexDigit(s[i]);
        if (d < 0)
            break;
        v = (v << 4) | static_cast<std::uint32_t>(d);
        any = true;
    }
    if (any)
        value = v;
    return any;
}

std::int32_t parseIntPrefix(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size() && isBlank(s[i]))
        ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    std::int64_t v = 0;
    for (; i < s.size() && isDigit(s[i]); ++i) {
        v = v * 10 + (s[i] - '0');
        if (v > std::numeric_limits<std::int32_t>::max() + std::int64_t{1})
            v = std::numeric_limits<std::int32_t>::max() + std::int64_t{1};
    }
    if (negative)
        v = -v;
    v = std::clamp<std::int64_t>(v, std::numeric_limits<std::int32_t>::min(),
                                 std::numeric_limits<std::int32_t>::max());
    return static_cast<std::int32_t>(v);
}

int truncToInt(double v) {
    if (std::isnan(v))
        return 0;
    if (v >= static_cast<double>(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (v <= static_cast<double>(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return static_cast<int>(v);
}

std::string formatFixed(double v, int decimals) {
    if (std::isnan(v))
        return "nan";
    if (std::isinf(v))
        return v < 0 ? "-inf" : "inf";
    char buf[400];
    auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, decimals);
    return std::string(buf, res.ptr);
}

std::string formatHex(std::uint32_t v, int minDigits) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    do {
        out.push_back(digits[v & 0xF]);
        v >>= 4;
    } while (v != 0);
    while (static_cast<int>(out.size()) < minDigits)
        out.push_back('0');
    std::reverse(out.begin(), out.end());
    return out;
}

bool startsWithNoCase(std::string_view s, std::string_view prefix) {
    if (s.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (lower(s[i]) != lower(prefix[i]))
            return false;
    return true;
}

bool equalsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && startsWithNoCase(a, b);
}

std::string toLowerAscii(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        c = lower(c);
    return out;
}

std::vector<std::string_view> splitTokens(std::string_view line) {
    std::vector<std::string_view> out;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
            ++i;
        std::size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t')
            ++i;
        if (i > start)
            out.push_back(line.substr(start, i - start));
    }
    return out;
}

bool nextLine(std::string_view& rest, std::string_view& line) {
    if (rest.empty())
        return false;
    std::size_t end = 0;
    while (end < rest.size() && rest[end] != '\n' && rest[end] != '\r')
        ++end;
    if (end == rest.size()) {
        line = rest;
        rest = {};
        return true;
    }
    line = rest.substr(0, end);
    const bool crlf = rest[end] == '\r' && end + 1 < rest.size() && rest[end + 1] == '\n';
    rest.remove_prefix(end + (crlf ? 2 : 1));
    return true;
}

std::string encodeBlanks(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (isBlank(c))
            c = '_';
    return out;
}

std::string decodeUnderscores(std::string_view s) {
    std::string out(s);
    std::replace(out.begin(), out.end(), '_', ' ');
    return out;
}

} // namespace tevra::text
