#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

namespace tevra::test {

// The emulated controller (tevra-ecm-sim) running as a child process with its
// serial link on a pseudo-terminal; the real SerialCom talks to it.
class SimulatedEcm {
public:
    // Starts the emulator with `eeprom` (32K from 0x8000) and extra flags (it
    // runs --fast unless they say --realtime); waits until its link exists.
    // ok() tells whether that worked.
    SimulatedEcm(const std::vector<unsigned char>& eeprom, std::vector<std::string> flags = {});
    ~SimulatedEcm();
    SimulatedEcm(const SimulatedEcm&) = delete;
    SimulatedEcm& operator=(const SimulatedEcm&) = delete;

    bool ok() const { return ok_; }
    const std::string& link() const { return link_; }
    // Ends the emulator and returns the EEPROM it saved (empty on failure).
    std::vector<unsigned char> stopAndSave();

private:
    std::string dir_;
    std::string link_;
    std::string saved_;
    pid_t pid_ = -1;
    bool ok_ = false;
};

} // namespace tevra::test
