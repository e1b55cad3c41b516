#include "ChangeText.h"

#include "TextRules.h"

namespace tevra {

namespace {

using Diff = CalibrationDiff;
using Kind = Diff::Kind;

// Engineering values with at most two decimals and no trailing zeros.
std::string number(float v) {
    std::string s = text::formatFixed(v, 2);
    if (s.find('.') != std::string::npos) {
        while (s.back() == '0')
            s.pop_back();
        if (s.back() == '.')
            s.pop_back();
    }
    return s == "-0" ? "0" : s;
}

std::string withUnit(const std::string& v, const std::string& unit) {
    return unit.empty() ? v : v + " " + unit;
}

std::string pointText(const Diff::Side& s, bool x, const std::string& xUnit,
                      const std::string& yUnit) {
    if (!s.present)
        return "none";
    return x ? withUnit(number(s.x), xUnit) : withUnit(number(s.y), yUnit);
}

std::string choiceText(int raw, const std::string& name) {
    return text::formatHex(static_cast<std::uint32_t>(raw), 2) + (name.empty() ? "" : " " + name);
}

} // namespace

std::pair<std::string, std::string> ChangeText::of(const Diff::Change& c, const std::string& xUnit,
                                                   const std::string& yUnit) {
    switch (c.kind) {
    case Kind::Definition:
        return {c.field, "'" + c.oldText + "' -> '" + c.newText + "'"};
    case Kind::Outside:
        return {"bytes", c.oldText + " the image -> " + c.newText + " the image"};
    case Kind::Shape:
        return {c.field, std::to_string(c.before.raw) + " -> " + std::to_string(c.after.raw)};
    case Kind::Point: {
        std::string what = "X " + pointText(c.before, true, xUnit, yUnit) + " -> " +
                           pointText(c.after, true, xUnit, yUnit) + "   Y " +
                           pointText(c.before, false, xUnit, yUnit) + " -> " +
                           pointText(c.after, false, xUnit, yUnit);
        return {"point " + std::to_string(c.index), what};
    }
    case Kind::Slope:
        return {"point " + std::to_string(c.index),
                "slope " + std::to_string(c.before.raw) + " -> " + std::to_string(c.after.raw)};
    case Kind::Cell:
        return {"cell " + std::to_string(c.column) + "," + std::to_string(c.row),
                std::to_string(c.before.raw) + " -> " + std::to_string(c.after.raw)};
    case Kind::Value:
        return {"value",
                withUnit(number(c.before.y), yUnit) + " -> " + withUnit(number(c.after.y), yUnit)};
    case Kind::Bit:
        return {"bit " + std::to_string(c.index), c.field + ": " + (c.before.raw ? "on" : "off") +
                                                      " -> " + (c.after.raw ? "on" : "off")};
    case Kind::Choice:
        return {"choice",
                choiceText(c.before.raw, c.oldText) + " -> " + choiceText(c.after.raw, c.newText)};
    case Kind::Bytes:
        return {"bytes", std::to_string(c.before.raw) + " bytes differ"};
    }
    return {};
}

} // namespace tevra
