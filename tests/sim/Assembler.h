#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tevra::sim::test {

struct Assembled {
    std::vector<std::uint8_t> bytes; // the .text section from `origin` on
    std::string error;               // the tools' messages when they failed
};

// Assembles 68HC11 source with m68hc11-as and links it so that the text
// starts at `origin`. A failure is a broken test, reported through error.
Assembled assemble(const std::string& source, std::uint16_t origin);

} // namespace tevra::sim::test
