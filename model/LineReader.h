#pragma once

#include "FileReader.h"

#include <string>
#include <string_view>

namespace tevra {

// Reads a text file line by line, whole lines of any length. CR, LF and CR LF each
// end a line, so files from every system read alike. Every other byte counts, a
// NUL included: a stray one must not join two lines. The file is read through
// FileReader, so a folder, a FIFO, a device or a file over the text size limit
// gives no lines and says why.
class LineReader {
public:
    explicit LineReader(const std::string& path);
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    bool isOpen() const { return file_.ok(); }
    // Whether the path names a file that exists but could not be read; what to
    // tell the user is then problem().
    bool refused() const { return !file_.ok() && file_.outcome != FileReader::Outcome::Missing; }
    const std::string& problem() const { return file_.problem; }
    // False at the end of the file.
    bool next(std::string& line);

private:
    FileReader::Result file_;
    std::string_view rest_;
};

} // namespace tevra
