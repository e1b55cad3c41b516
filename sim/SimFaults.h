#pragma once

#include <cstdint>
#include <optional>

namespace tevra::sim {

// Faults the emulated controller can be told to show, so that the editor's
// error paths can be exercised. Byte counts refer to the bytes the
// bootloaded program sends, starting at 1; the boot ROM's echo does not count.
// The two *Received counts refer to the bytes the editor sends while the
// bootloaded program runs, also from 1.
struct SimFaults {
    bool echoOnly = false;                            // a line that only echoes, no controller
    std::optional<std::uint64_t> dropByte = {};       // this byte never reaches the host
    std::optional<std::uint64_t> stallAfter = {};     // nothing is sent after this many bytes
    std::optional<std::uint16_t> corruptAddress = {}; // reads of this address come back wrong
    bool noSdp = false;                               // the EEPROM never unlocks: writes fail
    std::optional<std::uint64_t> hangupAfter = {};    // the line goes away after this many bytes
    std::optional<std::uint64_t> dropReceived = {};   // this byte never reaches the controller
    std::optional<std::uint64_t> garbleReceived = {}; // this byte arrives with a framing error
};

} // namespace tevra::sim
