#include "LineReader.h"

namespace tevra {

LineReader::LineReader(const std::string& path) : file_(std::fopen(path.c_str(), "rb")) {}

LineReader::~LineReader() {
    if (file_)
        std::fclose(file_);
}

bool LineReader::next(std::string& line) {
    line.clear();
    if (!file_)
        return false;
    char buf[4096];
    bool any = false;
    while (std::fgets(buf, sizeof buf, file_)) {
        any = true;
        line += buf;
        if (!line.empty() && line.back() == '\n') {
            line.pop_back();
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            return true;
        }
    }
    if (any && !line.empty() && line.back() == '\r')
        line.pop_back();
    return any;
}

} // namespace tevra
