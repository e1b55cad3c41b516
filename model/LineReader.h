#pragma once

#include <cstdio>
#include <string>

namespace tevra {

// Reads a text file line by line, whole lines of any length. A line ends at LF;
// a CR before the LF is not part of it, so files with CR LF and LF line ends read
// alike.
class LineReader {
public:
    explicit LineReader(const std::string& path);
    ~LineReader();
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    bool isOpen() const { return file_ != nullptr; }
    // False at the end of the file.
    bool next(std::string& line);

private:
    std::FILE* file_ = nullptr;
};

} // namespace tevra
