#pragma once

#include "Bus.h"

#include <array>
#include <cstdint>

namespace tevra::sim::test {

// 64 KB of plain RAM, for running CPU programs without a controller around.
class FlatBus : public Bus {
public:
    std::uint8_t read(std::uint16_t a) override { return memory[a]; }
    void write(std::uint16_t a, std::uint8_t v) override { memory[a] = v; }
    std::array<std::uint8_t, 0x10000> memory{};
};

} // namespace tevra::sim::test
