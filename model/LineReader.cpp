#include "LineReader.h"

#include "TextRules.h"

namespace tevra {

LineReader::LineReader(const std::string& path)
    : file_(FileReader::read(path, FileReader::kTextLimit)), rest_(file_.data) {}

bool LineReader::next(std::string& line) {
    std::string_view l;
    if (!text::nextLine(rest_, l)) {
        line.clear();
        return false;
    }
    line.assign(l);
    return true;
}

} // namespace tevra
