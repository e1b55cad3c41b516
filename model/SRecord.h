#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tevra {

// Motorola S-records as calibration images are exchanged: S1 records of 32 data
// bytes and the terminator "S9030000FC".
class SRecord {
public:
    struct Image {
        bool hasRecords = false;
        std::int32_t baseAddress = 0; // lowest S1 address
        std::vector<std::uint8_t> bytes;
    };

    // Reads S1 records in any order until S7/S8/S9. Bytes that no record covers
    // are 0xFF. A malformed record never writes outside the image: a count below 3
    // is skipped, data missing from a short line is not taken, and data past 0xFFFF
    // is dropped.
    static Image read(std::string_view text);
    // The records of an image, each line ending with CR LF.
    static std::string write(const std::vector<std::uint8_t>& bytes, std::int32_t baseAddress);
};

} // namespace tevra
