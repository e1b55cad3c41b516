#include "PortMap.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <tuple>

namespace tevra {

namespace {

constexpr const char* kGroups[] = {"ttyUSB", "ttyACM", "ttyS"};

// Group and number of a device name, or none when it is not a serial port name.
std::optional<std::pair<int, long>> classify(const std::string& name) {
    for (int g = 0; g < 3; ++g) {
        const std::string prefix = kGroups[g];
        if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) {
            continue;
        }
        const std::string digits = name.substr(prefix.size());
        if (digits.size() > 6 || !std::all_of(digits.begin(), digits.end(), [](unsigned char c) {
                return std::isdigit(c) != 0;
            })) {
            return std::nullopt;
        }
        return std::make_pair(g, std::stol(digits));
    }
    return std::nullopt;
}

// Built-in ports exist as device nodes even without a UART behind them.
bool uartPresent(const std::string& sysDir, const std::string& name) {
    std::ifstream in(sysDir + "/" + name + "/type");
    int type = -1;
    if (!(in >> type)) {
        return true; // nothing to tell: keep it
    }
    return type != 0;
}

std::string trim(const std::string& s) {
    const auto begin = s.find_first_not_of(" \t\r\n");
    if (begin == std::string::npos) {
        return {};
    }
    const auto end = s.find_last_not_of(" \t\r\n");
    return s.substr(begin, end - begin + 1);
}

} // namespace

std::vector<std::string> discoverSerialDevices(const std::string& devDir,
                                               const std::string& sysDir) {
    std::vector<std::tuple<int, long, std::string>> found;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(devDir, ec)) {
        const std::string name = entry.path().filename().string();
        const auto kind = classify(name);
        if (!kind || (kind->first == 2 && !uartPresent(sysDir, name))) {
            continue;
        }
        found.emplace_back(kind->first, kind->second, entry.path().string());
    }
    std::sort(found.begin(), found.end());
    std::vector<std::string> paths;
    for (auto& f : found) {
        paths.push_back(std::move(std::get<2>(f)));
    }
    return paths;
}

std::vector<std::string> systemSerialDevices() {
#ifdef _WIN32
    return {"COM1", "COM2", "COM3", "COM4"};
#else
    return discoverSerialDevices();
#endif
}

PortMap defaultPortMap(const std::vector<std::string>& found) {
    PortMap map;
    for (std::size_t i = 0; i < found.size() && i < map.devices.size(); ++i) {
        map.devices[i] = found[i];
    }
    return map;
}

bool parsePortMapLine(const std::string& line, PortMap& map) {
    const std::string text = trim(line);
    if (text.size() < 7 || text.compare(0, 4, "port") != 0 || text[4] < '1' ||
        text[4] > '0' + PortMap::kPortCount || (text[5] != ' ' && text[5] != '\t')) {
        return false;
    }
    const std::string path = trim(text.substr(6));
    if (path.empty()) {
        return false;
    }
    map.devices[static_cast<std::size_t>(text[4] - '1')] = path;
    return true;
}

std::vector<std::string> formatPortMap(const PortMap& map) {
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < map.devices.size(); ++i) {
        if (!map.devices[i].empty()) {
            lines.push_back("port" + std::to_string(i + 1) + " " + map.devices[i]);
        }
    }
    return lines;
}

std::optional<std::string> resolvePort(const std::string& name, const PortMap& map) {
    std::string key;
    for (char c : name) {
        if (c != ' ') {
            key += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        }
    }
    if (key.size() > 3 && key.compare(0, 3, "COM") == 0) {
        key = key.substr(3);
    }
    if (key.size() == 1 && key[0] >= '1' && key[0] <= '0' + PortMap::kPortCount) {
        const std::string& device = map.devices[static_cast<std::size_t>(key[0] - '1')];
        if (device.empty()) {
            return std::nullopt;
        }
        return device;
    }
    return name;
}

} // namespace tevra
