#pragma once

#include <string>
#include <string_view>

namespace tevra {

// Writes a whole file so that the target is either the old file or the complete
// new one: the data goes to a temporary file in the same folder, is flushed to
// disk, and is then renamed over the target. A full disk, an unwritable folder or
// a crash mid-write leave the old file intact. Where the file system allows, the
// temporary file has no name while it is written, so a killed save leaves nothing
// behind; elsewhere each save first removes what killed saves of the same target
// left. Saving through a symbolic link replaces the file it points to.
class AtomicFile {
public:
    [[nodiscard]] static bool write(const std::string& path, std::string_view data,
                                    std::string* error = nullptr);
    // Copies a file the same way (a text file, read as FileReader reads it).
    [[nodiscard]] static bool copy(const std::string& from, const std::string& to,
                                   std::string* error = nullptr);
};

} // namespace tevra
