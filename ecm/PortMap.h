#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace tevra {

// Which serial device each of the editor's four ports ("COM 1".."COM 4")
// opens. Kept in Config.cfg after its four settings lines as "port1 PATH".."port4 PATH";
// a port without a device fails to open.
struct PortMap {
    static constexpr int kPortCount = 4;
    std::array<std::string, kPortCount> devices;

    bool operator==(const PortMap&) const = default;
};

// The serial devices found under devDir, USB adapters first (ttyUSB*, then
// ttyACM*), then built-in ports (ttyS*), each group in number order. A ttyS
// entry whose UART the kernel reports as absent (sysDir/NAME/type is 0) is left out.
std::vector<std::string> discoverSerialDevices(const std::string& devDir = "/dev",
                                               const std::string& sysDir = "/sys/class/tty");

// The serial devices of this machine: discoverSerialDevices() on a POSIX system;
// on Windows the devices COM1..COM4 themselves, which are opened by name.
std::vector<std::string> systemSerialDevices();

// The first four of the found devices, in order.
PortMap defaultPortMap(const std::vector<std::string>& found);

// Reads one "portN PATH" line into map; false (map untouched) for any other line.
bool parsePortMapLine(const std::string& line, PortMap& map);
// The lines that parsePortMapLine reads back; ports without a device are left out.
std::vector<std::string> formatPortMap(const PortMap& map);

// A port named on a command line: "1".."4", "COM1".."COM4" or "COM 1" through
// the map, anything else is taken as a device path. None for an unmapped port.
std::optional<std::string> resolvePort(const std::string& name, const PortMap& map);

} // namespace tevra
