#pragma once

#include <cstdint>

namespace tevra {

// The kinds of definition, numbered as they are stored in a definition file.
// A value read from a hand-edited file may lie outside 0..8; such an entry
// keeps its number but is never interpreted.
enum class EntryType : std::int32_t {
    Unsigned8Table = 0,
    Unsigned16Table = 1,
    Signed8Table = 2,
    Constant8 = 3,
    Constant16 = 4,
    FlagByte = 5,
    ValueList = 6,
    Table3D = 7,
    Unknown = 8,
};

constexpr int kEntryTypeCount = 9;

// The display text of a type ("Unsigned 8-Bit", ...), or nullptr outside 0..8.
const char* entryTypeText(EntryType type);

inline bool isTable2D(EntryType t) {
    return t == EntryType::Unsigned8Table || t == EntryType::Unsigned16Table ||
           t == EntryType::Signed8Table;
}
inline bool isConstant(EntryType t) {
    return t == EntryType::Constant8 || t == EntryType::Constant16;
}

} // namespace tevra
