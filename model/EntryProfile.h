#pragma once

#include "CalEntry.h"
#include "EntryComparison.h"

#include <cstdint>
#include <vector>

namespace tevra {

// Everything cross-identification compares of one entry, read from the image once
// instead of once per pair. Each part is read under the type the entry is read as
// during a comparison, through the same entry operations CalEntry::Similarity uses.
class EntryProfile {
public:
    static EntryProfile of(CalEntry& e);

    EntryType type = EntryType::Unknown;
    std::int32_t address = 0;

    // 2D tables, 8-bit ones read as unsigned.
    bool tableInImage = false;
    int pointCount = 0;
    int tableFullScale = 256;
    EntryComparison::Curve curve{};

    // One-byte items: 8-bit constants, flag bytes, value lists, and unknown
    // entries read as any of them.
    bool byteInImage = false;
    int byteValue = 0;
    int byteFullScale = 256;

    // 16-bit constants, and unknown entries read as one.
    bool wordInImage = false;
    int wordValue = 0;
    int wordFullScale = 65536;

    // 3D tables.
    bool cellsInImage = false;
    int rows = 0;
    int columns = 0;
    std::vector<int> cells;

private:
    void readTable(CalEntry& e, EntryType as);
    void readByte(CalEntry& e, EntryType as);
    void readWord(CalEntry& e);
    void readCells(CalEntry& e);
};

} // namespace tevra
