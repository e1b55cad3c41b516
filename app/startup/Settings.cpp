#include "Settings.h"

#include "AtomicFile.h"
#include "FileReader.h"
#include "TextRules.h"

#include <algorithm>

namespace tevra {

namespace {

std::vector<std::string_view> splitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    for (std::string_view line; text::nextLine(text, line);)
        lines.push_back(line);
    return lines;
}

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

// The value after "key" and a run of blanks, or nothing when the line does not
// start with the key followed by at least one blank.
std::optional<std::string_view> valueAfter(std::string_view line, std::string_view key) {
    if (line.substr(0, key.size()) != key || line.size() == key.size() ||
        !isBlank(line[key.size()]))
        return std::nullopt;
    line.remove_prefix(key.size());
    while (!line.empty() && isBlank(line.front()))
        line.remove_prefix(1);
    if (line.empty())
        return std::nullopt;
    return line;
}

// Each reader returns whether the line held its key; only then is the line used up.
bool readFlag(std::string_view line, std::string_view key, bool& flag) {
    auto v = valueAfter(line, key);
    if (!v)
        return false;
    flag = v->front() == 'y'; // only a lower-case y means yes
    return true;
}

bool readSpeed(std::string_view line, int& speed) {
    auto v = valueAfter(line, "flash_speed");
    if (!v)
        return false;
    const char first = v->front();
    const bool sign = first == '+' || first == '-';
    if (v->size() <= (sign ? 1u : 0u) || (*v)[sign ? 1 : 0] < '0' || (*v)[sign ? 1 : 0] > '9')
        return false;
    // The pacing is only defined for 0..100; a hand-edited value is brought into range.
    speed = std::clamp(text::parseIntPrefix(*v), 0, 100);
    return true;
}

// "window_size W H" with two positive sizes; anything else is not the key.
bool readWindowSize(std::string_view line, Settings& s) {
    auto v = valueAfter(line, "window_size");
    if (!v)
        return false;
    const std::size_t blank = v->find(' ');
    if (blank == std::string_view::npos)
        return false;
    const std::string_view w = v->substr(0, blank);
    const std::string_view h = v->substr(blank + 1);
    auto digits = [](std::string_view t) {
        return !t.empty() && t.size() <= 5 &&
               std::all_of(t.begin(), t.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    if (!digits(w) || !digits(h))
        return false;
    s.windowWidth = text::parseIntPrefix(w);
    s.windowHeight = text::parseIntPrefix(h);
    return true;
}

bool readWindowLine(std::string_view line, Settings& s) {
    return readWindowSize(line, s) || readFlag(line, "window_maximized", s.windowMaximized);
}

} // namespace

Settings Settings::parse(std::string_view text) {
    Settings s;
    const std::vector<std::string_view> lines = splitLines(text);
    if (lines.empty())
        return s;
    s.lastPath = std::string(lines[0]);
    // The keys are read in order, each from where the previous one stopped: a key
    // that does not match keeps its default and leaves its line to the next key.
    std::size_t next = 1;
    if (next < lines.size() && readFlag(lines[next], "reload_last", s.reloadLast))
        ++next;
    if (next < lines.size() && readFlag(lines[next], "hide_mouse", s.hideMouse))
        ++next;
    if (next < lines.size() && readSpeed(lines[next], s.flashSpeed))
        ++next;
    // Port lines count wherever they follow the keys; other lines are kept only
    // from the fifth on, so junk in a key's place is not written back.
    for (std::size_t i = next; i < lines.size(); ++i) {
        if (parsePortMapLine(std::string(lines[i]), s.ports) || readWindowLine(lines[i], s) ||
            readFlag(lines[i], "values_view", s.valuesView))
            continue;
        if (!lines[i].empty() && i >= 4)
            s.extraLines.emplace_back(lines[i]);
    }
    return s;
}

std::string Settings::format() const {
    std::string out = lastPath + "\n";
    out += std::string("reload_last ") + (reloadLast ? 'y' : 'n') + "\n";
    out += std::string("hide_mouse ") + (hideMouse ? 'y' : 'n') + "\n";
    out += "flash_speed " + std::to_string(flashSpeed) + "\n";
    for (const std::string& line : formatPortMap(ports))
        out += line + "\n";
    if (windowWidth > 0 && windowHeight > 0) {
        out += "window_size " + std::to_string(windowWidth) + " " + std::to_string(windowHeight) +
               "\n";
        out += std::string("window_maximized ") + (windowMaximized ? 'y' : 'n') + "\n";
    }
    if (valuesView)
        out += "values_view y\n";
    for (const std::string& line : extraLines)
        out += line + "\n";
    return out;
}

std::optional<Settings> Settings::load(const std::string& path, std::string* problem) {
    const FileReader::Result file = FileReader::read(path, FileReader::kTextLimit);
    if (problem)
        *problem = file.problem;
    if (!file.ok())
        return std::nullopt;
    return parse(file.data);
}

bool Settings::save(const std::string& path) const {
    return AtomicFile::write(path, format());
}

} // namespace tevra
