#pragma once

#include <array>
#include <cstdint>

namespace tevra {

// What the editor sends the controller's bootstrap: the synchronisation byte
// 0xFF, then the 256 bytes of the loader (Loader.s), stored from address 0.
// Byte 1 is the loader's first byte, which a probe of address 0 reads back.
extern const std::array<std::uint8_t, 257> kBootloaderImage;

} // namespace tevra
