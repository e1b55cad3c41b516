// The definition file (.tbl): everything about a calibration but its image bytes.
#include "AtomicFile.h"
#include "Calibration.h"
#include "LineReader.h"
#include "TextRules.h"

namespace tevra {

namespace {

// An encoded text field; an empty one is written as one underscore (it reads
// back as a single blank) so that no token goes missing.
std::string encodedField(const std::string& s) {
    std::string out = text::encodeBlanks(s);
    return out.empty() ? "_" : out;
}

// A min/max field is stored as typed, but it must stay one token: only its
// leading number is ever read, so what follows a blank is dropped, and an empty
// field is written as 0.
std::string numberField(const std::string& s) {
    auto tokens = text::splitTokens(s);
    return tokens.empty() ? "0" : std::string(tokens.front());
}

// Free text on lines of its own: a line break inside would start a new line.
std::string singleLine(std::string s) {
    for (char& c : s)
        if (c == '\r' || c == '\n')
            c = ' ';
    return s;
}

void decodeFields(CalEntry& e) {
    for (std::string* s :
         {&e.name, &e.xName, &e.xUnit, &e.yName, &e.yUnit, &e.chryslerName, &e.description})
        *s = text::decodeUnderscores(*s);
    for (auto& n : e.itemNames)
        n = text::decodeUnderscores(n);
}

// After a save the fields hold what the file holds: blanks and underscores alike
// read back as blanks, an empty field as one blank. Memory is brought in line
// with that at once.
void normaliseFields(CalEntry& e) {
    for (std::string* s :
         {&e.name, &e.xName, &e.xUnit, &e.yName, &e.yUnit, &e.chryslerName, &e.description})
        *s = text::decodeUnderscores(encodedField(*s));
    for (auto& n : e.itemNames)
        n = text::decodeUnderscores(encodedField(n));
}

void readEntryLine(CalEntry& e, const std::vector<std::string_view>& tok) {
    auto at = [&](std::size_t i) -> std::string {
        return i < tok.size() ? std::string(tok[i]) : std::string();
    };
    if (tok.size() > 0) {
        std::uint32_t a = 0;
        if (text::parseHexPrefix(tok[0], a))
            e.address = static_cast<std::int32_t>(a);
    }
    if (tok.size() > 1)
        e.type = static_cast<EntryType>(text::parseIntPrefix(tok[1]));
    if (tok.size() > 2)
        e.userFlag = !tok[2].empty() && tok[2][0] == 'y';
    std::string* fields[] = {&e.name, &e.xName, &e.xMin,  &e.xMax,         &e.xUnit,      &e.yName,
                             &e.yMin, &e.yMax,  &e.yUnit, &e.chryslerName, &e.description};
    std::size_t next = 3;
    for (std::string* f : fields)
        *f = at(next++);
    if (e.type == EntryType::FlagByte) {
        for (auto& n : e.itemNames)
            n = at(next++);
    } else if (e.type == EntryType::ValueList) {
        for (int k = 0; k < 8; ++k) {
            e.itemNames[k] = at(next++);
            if (next < tok.size()) {
                std::uint32_t v = 0;
                if (text::parseHexPrefix(tok[next], v))
                    e.itemValues[k] = static_cast<std::int32_t>(v);
            }
            ++next;
        }
    }
}

} // namespace

bool Calibration::SaveDefinitions(const std::string& path) {
    if (path.empty())
        return false;
    std::string out;
    out.reserve(256 + 160 * static_cast<std::size_t>(entryCount_));
    const char* eol = "\r\n";
    out += text::formatHex(static_cast<std::uint32_t>(baseAddress)) + eol;
    out += singleLine(description) + eol;
    out += singleLine(author) + eol;
    out += "injectors " + text::formatFixed(injectorSize, 1) + eol;
    out += "boost " + text::formatFixed(maxBoost, 1) + eol;
    out += "map " + text::formatFixed(mapType, 1) + eol;
    out += std::string("checksum ") + (checksumEnabled ? 'y' : 'n') + ' ' +
           text::formatHex(static_cast<std::uint32_t>(checksumAddress), 4) + ' ' +
           text::formatHex(static_cast<std::uint32_t>(fixupAddress), 4) + eol;
    out += "crc32 " + text::formatHex(ImageCrc32(), 8) + eol;
    out += std::string("Tevra_Version 1.11") + eol;
    for (int i = 0; i < entryCount_; ++i) {
        const CalEntry* e = entries_[i].get();
        if (!e)
            continue;
        out += text::formatHex(static_cast<std::uint32_t>(e->address));
        out += ' ' + std::to_string(static_cast<std::int32_t>(e->type));
        out += std::string(" ") + (e->userFlag ? 'y' : 'n');
        out += ' ' + encodedField(e->name);
        out += ' ' + encodedField(e->xName);
        out += ' ' + numberField(e->xMin);
        out += ' ' + numberField(e->xMax);
        out += ' ' + encodedField(e->xUnit);
        out += ' ' + encodedField(e->yName);
        out += ' ' + numberField(e->yMin);
        out += ' ' + numberField(e->yMax);
        out += ' ' + encodedField(e->yUnit);
        out += ' ' + encodedField(e->chryslerName);
        out += ' ' + encodedField(e->description);
        if (e->type == EntryType::FlagByte) {
            for (const auto& n : e->itemNames)
                out += ' ' + encodedField(n);
        } else if (e->type == EntryType::ValueList) {
            for (int k = 0; k < 8; ++k) {
                out += ' ' + encodedField(e->itemNames[k]);
                out += ' ' + text::formatHex(static_cast<std::uint32_t>(e->itemValues[k]), 2);
            }
        }
        out += eol;
    }
    const bool ok = AtomicFile::write(path, out);
    if (ok)
        for (int i = 0; i < entryCount_; ++i)
            if (entries_[i])
                normaliseFields(*entries_[i]);
    return ok;
}

bool Calibration::LoadDefinitions(const std::string& path) {
    return readDefinitions(path) == FileRead::Done;
}

Calibration::FileRead Calibration::readDefinitions(const std::string& path) {
    if (path.empty())
        return FileRead::Missing;
    LineReader in(path);
    if (in.refused()) {
        prompter().message(in.problem(), "Error");
        return FileRead::Refused;
    }
    if (!in.isOpen())
        return FileRead::Missing;
    std::string line;
    if (in.next(line)) {
        std::uint32_t base = 0;
        if (text::parseHexPrefix(line, base))
            baseAddress = static_cast<std::int32_t>(base);
        if (in.next(line)) {
            description = line;
            if (in.next(line))
                author = line;
        }
    }
    std::vector<CalEntry*> added;
    while (in.next(line)) {
        std::string_view l = line;
        if (l.find_first_not_of(" \t") == std::string_view::npos || l.front() == ';')
            continue;
        if (text::startsWithNoCase(l, "injectors")) {
            injectorSize = text::parseNumberPrefix(l.substr(9));
        } else if (text::startsWithNoCase(l, "boost")) {
            maxBoost = text::parseNumberPrefix(l.substr(5));
        } else if (text::startsWithNoCase(l, "map")) {
            mapType = text::parseNumberPrefix(l.substr(3));
        } else if (text::startsWithNoCase(l, "checksum")) {
            auto tok = text::splitTokens(l);
            if (tok.size() > 1)
                checksumEnabled = !tok[1].empty() && tok[1][0] == 'y';
            std::uint32_t v = 0;
            if (tok.size() > 2 && text::parseHexPrefix(tok[2], v))
                checksumAddress = static_cast<std::int32_t>(v);
            if (tok.size() > 3 && text::parseHexPrefix(tok[3], v))
                fixupAddress = static_cast<std::int32_t>(v);
        } else if (text::startsWithNoCase(l, "crc32") || text::startsWithNoCase(l, "Tevra")) {
            // The image CRC is only read by the library search; the version is not checked.
        } else if (CalEntry* e = NewEntry()) {
            readEntryLine(*e, text::splitTokens(l));
            added.push_back(e);
        }
    }
    for (CalEntry* e : added)
        decodeFields(*e);
    definitionPath = path;
    return FileRead::Done;
}

bool Calibration::ReadDefinitionCrc(const std::string& path, std::uint32_t& crc,
                                    std::string* problem) {
    LineReader in(path);
    if (problem)
        *problem = in.problem();
    std::string line;
    while (in.next(line)) {
        if (!text::startsWithNoCase(line, "crc32"))
            continue;
        auto tok = text::splitTokens(line);
        std::uint32_t v = 0;
        if (tok.size() > 1)
            text::parseHexPrefix(tok[1], v);
        crc = v;
        return true;
    }
    return false;
}

} // namespace tevra
