#pragma once

#include <cstdint>
#include <string>

namespace tevra {

// Reads a whole file the user named, and only an ordinary file of a size such a
// file can have. A folder, a FIFO or a device is refused without reading from it
// (a FIFO would block for ever, /dev/zero never ends), and a file larger than the
// caller's limit is not read at all. Every reader of the program's input files
// goes through here.
class FileReader {
public:
    // No text file the program reads (definition, S-record or settings file)
    // comes near this size.
    static constexpr std::uintmax_t kTextLimit = std::uintmax_t{16} << 20;

    enum class Outcome { Read, Missing, NotAFile, TooLarge, Unreadable };

    struct Result {
        Outcome outcome = Outcome::Missing;
        std::string data;
        // What to tell the user; empty when the file was read or does not exist.
        std::string problem;
        bool ok() const { return outcome == Outcome::Read; }
    };

    [[nodiscard]] static Result read(const std::string& path, std::uintmax_t limit);
};

} // namespace tevra
