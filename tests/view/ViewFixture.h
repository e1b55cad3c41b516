#pragma once

#include "CalEntry.h"
#include "Calibration.h"

#include <cstdint>
#include <vector>

namespace tevra::testing {

// A 0xC000-based image of 0x100 bytes (erased, 0xFF) with one entry at 0xC010
// whose bytes are given; enough for every picture and edit the view makes.
struct OneEntry {
    Calibration cal;
    CalEntry* entry = nullptr;

    OneEntry(EntryType type, const std::vector<int>& bytes, bool editable = true,
             std::int32_t address = 0xC010) {
        std::vector<std::uint8_t> image(0x100, 0xFF);
        for (std::size_t k = 0; k < bytes.size(); ++k)
            image[0x10 + k] = static_cast<std::uint8_t>(bytes[k]);
        cal.SetImage(std::move(image));
        cal.readOnly = !editable;
        entry = cal.NewEntry();
        entry->type = type;
        entry->name = "Table";
        entry->Relocate(address);
    }

    int byte(int k) const { return cal.imageByte(0x10 + k); }
    std::vector<int> bytes(int n) const {
        std::vector<int> out;
        for (int k = 0; k < n; ++k)
            out.push_back(byte(k));
        return out;
    }
};

// Four real points and the end marker: X 0, 64, 128, 192 with Y rising, slopes
// consistent with them, the last slope (the extrapolation) 256.
inline std::vector<int> sixteenBitTable() {
    return {0,   0x00, 0x00, 0x10, 0x00, // X 0,   Y 0x0000, slope 0x1000
            64,  0x04, 0x00, 0x10, 0x00, // X 64,  Y 0x0400
            128, 0x08, 0x00, 0x10, 0x00, // X 128, Y 0x0800
            192, 0x0C, 0x00, 0x01, 0x00, // X 192, Y 0x0C00, extrapolation slope 0x0100
            0xFF};
}

// Three points of an unsigned 8-bit table: (0, 0), (128, 64), (255, 128).
inline std::vector<int> eightBitTable() {
    return {3, 0, 0, 0x00, 0x80, 128, 64, 0x00, 0x81, 255, 128, 0x00, 0x00};
}

} // namespace tevra::testing
