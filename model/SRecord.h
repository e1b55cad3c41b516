#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tevra {

// Motorola S-records as calibration images are exchanged: S1 records of 32 data
// bytes and the terminator "S9030000FC". Other tools write the same bytes as S2
// or S3 records; those are read too.
class SRecord {
public:
    struct Image {
        bool hasRecords = false;
        std::int32_t baseAddress = 0; // lowest record address
        std::vector<std::uint8_t> bytes;
        // The line (from 1) of the first data record whose checksum is wrong or
        // that is shorter than its count claims; 0 when every record is intact.
        int firstDamagedLine = 0;
    };

    // Reads S1, S2 and S3 records in any order until S7/S8/S9; CR, LF and CR LF
    // all end a line. Bytes that no record covers are 0xFF. A damaged record is
    // still read, and reported: a count too small for its address is skipped, a
    // line shorter than its count claims gives only the data bytes before its
    // last pair (the checksum), and data outside 0000-FFFF is dropped.
    static Image read(std::string_view text);
    // The records of an image, each line ending with CR LF.
    static std::string write(const std::vector<std::uint8_t>& bytes, std::int32_t baseAddress);
};

} // namespace tevra
