#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace tevra {

// The reflected CRC-32 of IEEE 802.3 (polynomial 0x04C11DB7, initial value
// 0xFFFFFFFF, final complement). Definition files record it to find the library
// file made for an image.
class Crc32 {
public:
    static std::uint32_t compute(const std::uint8_t* data, std::size_t size);

private:
    static const std::array<std::uint32_t, 256>& table();
};

} // namespace tevra
