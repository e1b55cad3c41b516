#include "EntryPropertiesRules.h"

#include "Calibration.h"
#include "DialogText.h"
#include "TextRules.h"

namespace tevra::properties {

namespace {

struct QuickSet {
    bool xAxis;
    const char* name;
    const char* unit;
    const char* min;
    const char* max;
};

// Items 1.. of kQuickSetItems, in the same order.
constexpr std::array<QuickSet, 13> kQuickSets{{
    {true, "MAP", "psi", "-14.7", "14.7"},
    {true, "MAP", "psi", "-14.7", "29.4"},
    {true, "RPM", "rpm", "0", "8192"},
    {true, "Coolant Temperature", "F", "-60", "259"},
    {true, "TPS", "V", "0", "5"},
    {false, "Spark Advance", "Degrees", "-64", "64"},
    {false, "Injector Pulsewidth", "uSec", "0", "49152"},
    {false, "Factor", "%%", "0", "100"},
    {false, "Boost Above Baro", "psi", "0", "29.4"},
    {false, "MAP", "psi", "-14.7", "14.7"},
    {false, "MAP", "psi", "-14.7", "29.4"},
    {false, "RPM", "rpm", "0", "8192"},
    {false, "Coolant Temperature", "F", "-60", "259"},
}};

} // namespace

PropertiesValues valuesOf(const CalEntry& e) {
    PropertiesValues v;
    v.hexAddress = text::formatHex(static_cast<std::uint32_t>(e.address));
    v.chryslerName = e.chryslerName;
    v.description = e.description;
    v.name = e.name;
    v.xName = e.xName;
    v.xUnit = e.xUnit;
    v.xMin = e.xMin;
    v.xMax = e.xMax;
    v.yName = e.yName;
    v.yUnit = e.yUnit;
    v.yMin = e.yMin;
    v.yMax = e.yMax;
    v.type = e.type;
    v.itemNames = e.itemNames;
    v.itemValues = e.itemValues;
    return v;
}

PropertiesValues newEntryValues(const CalEntry& fresh) {
    PropertiesValues v;
    v.itemNames = fresh.itemNames;
    v.itemValues = fresh.itemValues;
    return v;
}

void applyQuickSet(PropertiesValues& v, int item) {
    if (item < 1 || item > static_cast<int>(kQuickSets.size()))
        return;
    const QuickSet& q = kQuickSets[static_cast<std::size_t>(item - 1)];
    (q.xAxis ? v.xName : v.yName) = q.name;
    (q.xAxis ? v.xUnit : v.yUnit) = q.unit;
    (q.xAxis ? v.xMin : v.yMin) = q.min;
    (q.xAxis ? v.xMax : v.yMax) = q.max;
}

std::array<std::string, 8> bitNamesBack(const std::array<std::string, 8>& typed) {
    std::array<std::string, 8> names = typed;
    for (std::size_t k = 0; k < names.size(); ++k)
        if (names[k].empty())
            names[k] = "Bit " + std::to_string(k);
    return names;
}

ValueListTexts valueListTexts(const PropertiesValues& v) {
    ValueListTexts t;
    for (std::size_t k = 0; k < 8; ++k) {
        t.values[k] = text::formatHex(static_cast<std::uint32_t>(v.itemValues[k]), 2);
        t.descriptions[k] = v.itemNames[k];
    }
    return t;
}

void takeValueList(PropertiesValues& v, const ValueListTexts& typed) {
    for (std::size_t k = 0; k < 8; ++k) {
        v.itemNames[k] =
            typed.descriptions[k].empty() ? "Value " + std::to_string(k) : typed.descriptions[k];
        if (auto value = dialogtext::readHex(typed.values[k]))
            v.itemValues[k] = *value & 0xFF;
    }
}

std::optional<std::int32_t> addressOf(const PropertiesValues& v) {
    return dialogtext::readHex(v.hexAddress);
}

std::string outsideImageMessage(const Calibration& cal) {
    const auto first = static_cast<std::uint32_t>(cal.baseAddress);
    const auto last = first + static_cast<std::uint32_t>(cal.imageLength()) - 1;
    return "That address lies outside the image (" + text::formatHex(first, 4) + " to " +
           text::formatHex(last, 4) + ")!";
}

std::optional<std::string> check(const Calibration& cal, const CalEntry& self,
                                 const PropertiesValues& v) {
    if (cal.FindByName(v.name, &self))
        return std::string(kDuplicateName);
    const std::optional<std::int32_t> address = addressOf(v);
    if (!address)
        return std::string(kNoAddress);
    // An entry must start inside the image: one outside could never be shown or
    // edited. One that only runs past the end is read as far as the image goes.
    const std::int64_t offset = std::int64_t{*address} - cal.baseAddress;
    if (offset < 0 || offset >= cal.imageLength())
        return outsideImageMessage(cal);
    if (cal.FindByAddress(*address, &self))
        return std::string(kDuplicateAddress);
    return std::nullopt;
}

void apply(CalEntry& e, const PropertiesValues& v, std::int32_t address) {
    e.chryslerName = v.chryslerName;
    e.description = v.description;
    e.name = v.name;
    e.xName = v.xName;
    e.xUnit = v.xUnit;
    e.xMin = v.xMin;
    e.xMax = v.xMax;
    e.yName = v.yName;
    e.yUnit = v.yUnit;
    e.yMin = v.yMin;
    e.yMax = v.yMax;
    e.type = v.type;
    e.itemNames = v.itemNames;
    e.itemValues = v.itemValues;
    // Relocating points the data into the image; the point-count cache is keyed by
    // type and address, so it is recomputed on the next read.
    e.Relocate(address);
}

} // namespace tevra::properties
