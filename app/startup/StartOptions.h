#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tevra {

// The editor's command line, read into values. The framework's own options
// (-platform and the like) are removed before these are read.
struct StartOptions {
    bool help = false;
    bool version = false;
    std::optional<std::string> workFolder; // --workdir DIR
    std::string error;                     // empty unless the line was not understood
};

StartOptions parseStartOptions(const std::vector<std::string>& args);
// The text of tevra --help.
std::string startHelp();

} // namespace tevra
