#include "DialogText.h"

#include "TextRules.h"

#include <charconv>
#include <cmath>

namespace tevra::dialogtext {

namespace {

using text::hexDigit;
using text::isBlank;

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

} // namespace

std::optional<std::int32_t> readHex(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && isBlank(text[i]))
        ++i;
    // "0x" counts as a prefix only when a digit follows it; "0xg" reads as 0.
    if (i + 2 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X') &&
        hexDigit(text[i + 2]) >= 0)
        i += 2;
    std::uint32_t value = 0;
    bool any = false;
    for (; i < text.size() && hexDigit(text[i]) >= 0; ++i) {
        value = value * 16 + static_cast<std::uint32_t>(hexDigit(text[i]));
        any = true;
    }
    if (!any)
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

std::string formatNumber(double value) {
    char buffer[32];
    const auto res =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 6);
    return std::string(buffer, res.ptr);
}

std::optional<double> readNumber(std::string_view text) {
    std::string_view s = trimmed(text);
    // One sign at most: from_chars takes no '+', so it is dropped here, and the
    // text after it must not bring a sign of its own ("+-5" is no number).
    if (!s.empty() && s.front() == '+') {
        s.remove_prefix(1);
        if (!s.empty() && s.front() == '-')
            return std::nullopt;
    }
    // from_chars would also take "inf" and "nan"; a field wants digits.
    if (s.empty() ||
        !(s.front() == '-' || s.front() == '.' || (s.front() >= '0' && s.front() <= '9')))
        return std::nullopt;
    double v = 0;
    const auto res = std::from_chars(s.data(), s.data() + s.size(), v, std::chars_format::general);
    if (res.ec != std::errc() || res.ptr != s.data() + s.size() || !std::isfinite(v))
        return std::nullopt;
    return v;
}

std::string rangeMessage(double min, double max) {
    return "Please enter a number between " + formatNumber(min) + " and " + formatNumber(max) + ".";
}

std::optional<std::string> checkNumber(std::string_view text, double min, double max,
                                       float& value) {
    const std::optional<double> v = readNumber(text);
    if (!v)
        return std::string(kNotANumber);
    if (*v < min || *v > max)
        return rangeMessage(min, max);
    value = static_cast<float>(*v);
    return std::nullopt;
}

} // namespace tevra::dialogtext
