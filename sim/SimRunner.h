#pragma once

#include "SimOptions.h"

#include <atomic>

namespace tevra::sim {

// Runs the emulated controller on a pseudo-terminal until `stop` is set:
// moves bytes between the line and the emulator, paces emulated time
// against the wall clock, follows the editor's port settings and
// open/close, applies the line faults, and saves the EEPROM at the end.
// Returns the process exit code.
int runSimulator(const SimOptions& options, const std::atomic<bool>& stop);

} // namespace tevra::sim
