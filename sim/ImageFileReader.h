#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tevra::sim {

// Reads the image the emulator starts from. Only an ordinary file of at most
// `limit` bytes is read: a folder, a FIFO or a device is refused without reading
// from it, so a wrong path ends the emulator with a message instead of an abort,
// a hang or a read that never ends.
class ImageFileReader {
public:
    // An error text, or "" when bytes holds the file.
    static std::string read(const std::string& path, std::size_t limit,
                            std::vector<std::uint8_t>& bytes);
};

} // namespace tevra::sim
