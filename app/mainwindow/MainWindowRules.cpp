#include "MainWindowRules.h"

#include "CalEntry.h"
#include "Calibration.h"
#include "EntryType.h"
#include "PathRules.h"
#include "TextRules.h"

#include <algorithm>

namespace tevra {

std::vector<CalEntry*> orderedEntries(const Calibration& cal, ListOrder order) {
    std::vector<CalEntry*> slots;
    for (int i = 0; i < cal.entryCount(); ++i) {
        if (CalEntry* e = cal.EntryAt(i))
            slots.push_back(e);
    }
    const auto byAddress = [](const CalEntry* a, const CalEntry* b) {
        return a->address < b->address;
    };
    switch (order) {
    case ListOrder::Address:
        std::stable_sort(slots.begin(), slots.end(), byAddress);
        return slots;
    case ListOrder::Name:
        // Byte by byte with letter case significant: "Zeta" comes before "alpha".
        std::stable_sort(slots.begin(), slots.end(),
                         [](const CalEntry* a, const CalEntry* b) { return a->name < b->name; });
        return slots;
    case ListOrder::Type: {
        std::vector<CalEntry*> out;
        for (int t = 0; t < kEntryTypeCount; ++t) {
            const auto first = out.size();
            for (CalEntry* e : slots) {
                if (static_cast<int>(e->type) == t)
                    out.push_back(e);
            }
            std::stable_sort(out.begin() + static_cast<std::ptrdiff_t>(first), out.end(),
                             byAddress);
        }
        return out;
    }
    }
    return slots;
}

std::string infoLineText(const CalEntry& entry) {
    std::string text = text::formatHex(static_cast<std::uint32_t>(entry.address)) + ": ";
    if (const char* type = entryTypeText(entry.type))
        text += type;
    return text;
}

EntryCommands commandsFor(const CalEntry& entry, bool readOnly) {
    EntryCommands c{!readOnly, true};
    switch (entry.type) {
    case EntryType::Constant8:
    case EntryType::Constant16:
        c.binary = false;
        break;
    case EntryType::FlagByte:
    case EntryType::ValueList:
        c.binary = false;
        c.scale = false;
        break;
    default:
        break;
    }
    return c;
}

std::int32_t proposedBaseAddress(const std::string& imagePath, const Calibration& cal) {
    if (text::toLowerAscii(path::extension(imagePath)) == ".s19")
        return cal.baseAddress;
    return 0x10000 - cal.imageLength();
}

namespace {

// FNV-1a, 64 bits: quick, and good enough to tell edited definitions apart.
class Digest {
public:
    void add(const void* data, std::size_t n) {
        const auto* p = static_cast<const unsigned char*>(data);
        for (std::size_t i = 0; i < n; ++i) {
            value_ ^= p[i];
            value_ *= 0x100000001B3ULL;
        }
    }
    void add(std::int64_t v) { add(&v, sizeof v); }
    // The length first, so that moving text between two fields changes the digest.
    void add(const std::string& s) {
        add(static_cast<std::int64_t>(s.size()));
        add(s.data(), s.size());
    }
    std::uint64_t value() const { return value_; }

private:
    std::uint64_t value_ = 0xCBF29CE484222325ULL;
};

} // namespace

std::uint64_t definitionsFingerprint(const Calibration& cal) {
    // Empty slots are left out: a scan that makes a trial entry and deletes it
    // again leaves a hole, not a change.
    Digest d;
    for (int i = 0; i < cal.entryCount(); ++i) {
        const CalEntry* e = cal.EntryAt(i);
        if (!e)
            continue;
        d.add(std::int64_t{i});
        d.add(std::int64_t{static_cast<int>(e->type)});
        d.add(std::int64_t{e->address});
        for (const std::string* s :
             {&e->name, &e->xName, &e->xMin, &e->xMax, &e->xUnit, &e->yName, &e->yMin, &e->yMax,
              &e->yUnit, &e->chryslerName, &e->description})
            d.add(*s);
        d.add(std::int64_t{e->userFlag ? 1 : 0});
        for (const std::string& s : e->itemNames)
            d.add(s);
        for (std::int32_t v : e->itemValues)
            d.add(std::int64_t{v});
    }
    return d.value();
}

} // namespace tevra
