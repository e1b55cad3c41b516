#pragma once

#include "SimFaults.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tevra::sim {

// The command line of tevra-ecm-sim, parsed into values.
struct SimOptions {
    std::string imagePath;
    std::optional<std::uint16_t> base; // default: the image ends at 0xFFFF
    std::string linkPath;
    bool fast = false; // default is real-time pacing
    std::optional<std::string> savePath;
    bool verbose = false;
    SimFaults faults;
};

struct SimOptionsResult {
    std::optional<SimOptions> options; // empty on error or when help was asked
    std::string error;                 // what was wrong, empty when nothing was
    bool helpRequested = false;
    bool versionRequested = false;
};

SimOptionsResult parseSimOptions(const std::vector<std::string>& args);
std::string simUsage();

} // namespace tevra::sim
