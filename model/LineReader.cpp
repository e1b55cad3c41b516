#include "LineReader.h"

#include <cstring>
#include <filesystem>

namespace tevra {

LineReader::LineReader(const std::string& path) {
    // A folder opens as a file on some systems and then reads as empty: it is no
    // definition file.
    std::error_code ec;
    if (std::filesystem::is_regular_file(path, ec))
        file_ = std::fopen(path.c_str(), "rb");
}

LineReader::~LineReader() {
    if (file_)
        std::fclose(file_);
}

bool LineReader::refill() {
    begin_ = 0;
    end_ = std::fread(buffer_, 1, sizeof buffer_, file_);
    return end_ > 0;
}

bool LineReader::next(std::string& line) {
    line.clear();
    if (!file_)
        return false;
    bool any = false;
    while (begin_ < end_ || refill()) {
        any = true;
        const char* start = buffer_ + begin_;
        const auto* lf = static_cast<const char*>(std::memchr(start, '\n', end_ - begin_));
        if (lf) {
            line.append(start, static_cast<std::size_t>(lf - start));
            begin_ += static_cast<std::size_t>(lf - start) + 1;
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            return true;
        }
        line.append(start, end_ - begin_);
        begin_ = end_;
    }
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return any;
}

} // namespace tevra
