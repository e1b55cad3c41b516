#include "PortMap.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace tevra::test {
namespace {

namespace fs = std::filesystem;

TEST(PortMap, DiscoveryPutsUsbAdaptersFirstInNumberOrder) {
    const fs::path root = fs::temp_directory_path() / ("tevra-ports-" + std::to_string(::getpid()));
    fs::remove_all(root);
    fs::create_directories(root / "dev");
    for (const char* name : {"ttyS1", "ttyS0", "ttyS2", "ttyUSB10", "ttyUSB2", "ttyACM0", "tty0",
                             "ttyUSBx", "console", "ttyS"}) {
        std::ofstream(root / "dev" / name).put('\0');
    }
    // ttyS2 has no UART behind it; ttyS0 says so explicitly, ttyS1 says nothing.
    fs::create_directories(root / "sys" / "ttyS2");
    std::ofstream(root / "sys" / "ttyS2" / "type") << "0\n";
    fs::create_directories(root / "sys" / "ttyS0");
    std::ofstream(root / "sys" / "ttyS0" / "type") << "4\n";

    const auto found = discoverSerialDevices((root / "dev").string(), (root / "sys").string());
    std::vector<std::string> names;
    for (const auto& p : found) {
        names.push_back(fs::path(p).filename().string());
    }
    EXPECT_EQ(names,
              (std::vector<std::string>{"ttyUSB2", "ttyUSB10", "ttyACM0", "ttyS0", "ttyS1"}));

    const PortMap map = defaultPortMap(found);
    EXPECT_EQ(fs::path(map.devices[0]).filename(), "ttyUSB2");
    EXPECT_EQ(fs::path(map.devices[3]).filename(), "ttyS0");
    EXPECT_TRUE(defaultPortMap({"/dev/ttyS0"}).devices[1].empty());
    fs::remove_all(root);
}

TEST(PortMap, LinesRoundTripAndForeignLinesAreLeftAlone) {
    PortMap map;
    map.devices = {"/dev/ttyUSB0", "", "/dev/ttyS0", "/tmp/ecm link"};
    PortMap back;
    for (const auto& line : formatPortMap(map)) {
        EXPECT_TRUE(parsePortMapLine(line, back)) << line;
    }
    EXPECT_EQ(back, map);
    EXPECT_EQ(formatPortMap(map).front(), "port1 /dev/ttyUSB0");

    for (const char* line : {"reload_last 1", "port5 /dev/ttyS0", "port0 /dev/x", "port1", "port1 ",
                             "port12 /dev/x", "flash_speed 100"}) {
        PortMap untouched = map;
        EXPECT_FALSE(parsePortMapLine(line, untouched)) << line;
        EXPECT_EQ(untouched, map);
    }
    EXPECT_TRUE(parsePortMapLine("port2 /dev/ttyACM0\r", back));
    EXPECT_EQ(back.devices[1], "/dev/ttyACM0");
}

TEST(PortMap, CommandLinePortNames) {
    PortMap map;
    map.devices = {"/dev/ttyUSB0", "/dev/ttyUSB1", "", "/dev/ttyS0"};
    const std::pair<const char*, std::optional<std::string>> cases[] = {
        {"1", "/dev/ttyUSB0"},  {"COM2", "/dev/ttyUSB1"},     {"com 4", "/dev/ttyS0"},
        {"COM3", std::nullopt}, {"/dev/pts/7", "/dev/pts/7"}, {"5", "5"},
    };
    for (const auto& [name, expected] : cases) {
        EXPECT_EQ(resolvePort(name, map), expected) << name;
    }
}

} // namespace
} // namespace tevra::test
