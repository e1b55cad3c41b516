#pragma once

#include "EntryType.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tevra {

class CalEntry;
class Calibration;

// What differs between two calibrations, entry by entry and in engineering units,
// for the command line's diff and for the editor's change marks. Entries are
// paired by name (ignoring case), then the rest by address. Calibration "a" is
// the old side, "b" the new one.
class CalibrationDiff {
public:
    enum class Kind {
        Definition, // a field of the definition: field, oldText, newText
        Outside,    // the entry's bytes reach outside one image: oldText/newText "inside"/"outside"
        Shape,      // point count or dimensions: oldRaw -> newRaw (field "points", "rows", ...)
        Point,      // 2D point `index`: X and Y, raw and engineering, on each side present
        Slope,      // 2D point `index` whose slope word alone changed
        Cell,       // 3D cell (`column`, `row`): raw values
        Value,      // constant: raw and engineering
        Bit,        // flag bit `index` (field = its name): oldRaw/newRaw 0 or 1
        Choice,     // value list: raw byte and item name (oldText/newText)
        Bytes,      // bytes that cannot be read as the entry's type: oldRaw/newRaw count
    };

    struct Side {
        bool present = false;
        int raw = 0;  // Y (points), value, bit, cell, byte
        int rawX = 0; // X of a point
        float x = 0;  // engineering X of a point
        float y = 0;  // engineering Y of a point, value of a constant
    };

    struct Change {
        Kind kind = Kind::Definition;
        std::string field;
        int index = -1;
        int column = -1;
        int row = -1;
        Side before;
        Side after;
        std::string oldText;
        std::string newText;
    };

    struct EntryDiff {
        std::string name; // as in a
        EntryType type = EntryType::Unknown;
        std::int32_t addressA = 0;
        std::int32_t addressB = 0;
        std::string xUnit, yUnit; // of a, for the text
        std::vector<Change> changes;
    };

    struct LoneEntry {
        std::string name;
        EntryType type = EntryType::Unknown;
        std::int32_t address = 0;
    };

    // Addresses in a's address space (offsets from b's image, moved to a's base).
    struct ByteRange {
        std::int32_t first = 0;
        std::int32_t last = 0;
    };

    struct Setting {
        std::string field, oldText, newText;
    };

    struct Result {
        std::vector<Setting> settings;
        std::vector<EntryDiff> entries;
        std::vector<LoneEntry> onlyInA;
        std::vector<LoneEntry> onlyInB;
        std::vector<ByteRange> bytesOutsideEntries;
        bool same() const {
            return settings.empty() && entries.empty() && onlyInA.empty() && onlyInB.empty() &&
                   bytesOutsideEntries.empty();
        }
    };

    static Result compare(const Calibration& a, const Calibration& b);

    // The changes between two entries (their definitions and their bytes).
    static std::vector<Change> compareEntries(const CalEntry& a, const CalEntry& b);

    // True when the bytes of the two entries differ (their extents, byte by byte;
    // different lengths differ). What the editor marks in its entry list.
    static bool bytesDiffer(const CalEntry& a, const CalEntry& b);

    // The entry of the comparison calibration an entry is compared with: the one of
    // the same name, ignoring case; none without a comparison image.
    static const CalEntry* partnerIn(const Calibration& comparison, const CalEntry& e);
    // True when the entry has a partner there whose bytes differ from its own.
    static bool differsFrom(const Calibration& comparison, const CalEntry& e);
};

} // namespace tevra
