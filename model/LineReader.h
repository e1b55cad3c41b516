#pragma once

#include <cstdio>
#include <string>

namespace tevra {

// Reads a text file line by line, whole lines of any length. A line ends at LF;
// a CR before the LF is not part of it, so files with CR LF and LF line ends read
// alike. Every byte counts, a NUL included: a stray one must not join two lines.
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
    bool refill();

    std::FILE* file_ = nullptr;
    char buffer_[4096];
    std::size_t begin_ = 0; // unread bytes are buffer_[begin_, end_)
    std::size_t end_ = 0;
};

} // namespace tevra
