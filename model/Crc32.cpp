#include "Crc32.h"

namespace tevra {

namespace {
constexpr std::uint32_t reflect(std::uint32_t v, int bits) {
    std::uint32_t r = 0;
    for (int i = 0; i < bits; ++i)
        if (v & (1u << i))
            r |= 1u << (bits - 1 - i);
    return r;
}

constexpr std::array<std::uint32_t, 256> makeTable() {
    constexpr std::uint32_t poly = 0x04C11DB7u;
    std::array<std::uint32_t, 256> t{};
    for (std::uint32_t n = 0; n < 256; ++n) {
        std::uint32_t crc = reflect(n, 8) << 24;
        for (int k = 0; k < 8; ++k)
            crc = (crc & 0x80000000u) ? (crc << 1) ^ poly : crc << 1;
        t[n] = reflect(crc, 32);
    }
    return t;
}
} // namespace

const std::array<std::uint32_t, 256>& Crc32::table() {
    static constexpr std::array<std::uint32_t, 256> t = makeTable();
    return t;
}

std::uint32_t Crc32::compute(const std::uint8_t* data, std::size_t size) {
    const auto& t = table();
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < size; ++i)
        crc = (crc >> 8) ^ t[(crc ^ data[i]) & 0xFF];
    return ~crc;
}

} // namespace tevra
