#pragma once

#include <cstdint>

namespace tevra {

class CalEntry;

// The bytes an entry's layout occupies, counted from the start of its owner's
// image. The comparison of calibrations, the definition checks and the editor's
// change marks all ask the same question: which bytes belong to this entry.
struct EntryExtent {
    std::int64_t offset = 0; // may be negative, or past the image
    std::int64_t length = 1; // at least 1
    // Every byte the layout needs lies inside the image (for a 16-bit table: its
    // terminator was found inside the image).
    bool complete = false;
    // A 16-bit table whose records run to the end of the image without an X byte
    // of 0xFF; the extent then ends with the image.
    bool unterminated = false;

    std::int64_t end() const { return offset + length; }
    bool overlaps(const EntryExtent& o) const { return offset < o.end() && o.offset < end(); }

    // Unknown entries and types outside 0..8 cover their first byte only.
    static EntryExtent of(const CalEntry& e);
};

} // namespace tevra
