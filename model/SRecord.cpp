#include "SRecord.h"

#include "TextRules.h"

#include <algorithm>
#include <array>
#include <span>

namespace tevra {

namespace {
// A hex field: 0-9 and A-F in either case; any other character counts as a zero digit.
// Read through a table, as every data byte of an image passes here.
constexpr std::array<std::uint8_t, 256> hexDigitValues = [] {
    std::array<std::uint8_t, 256> t{};
    for (int c = 0; c < 256; ++c)
        t[c] = static_cast<std::uint8_t>(std::max(text::hexDigit(static_cast<char>(c)), 0));
    return t;
}();

std::uint32_t hexValue(std::string_view s, std::size_t pos, int digits) {
    std::uint32_t v = 0;
    for (int i = 0; i < digits; ++i) {
        const std::size_t at = pos + static_cast<std::size_t>(i);
        const unsigned char c = at < s.size() ? static_cast<unsigned char>(s[at]) : '0';
        v = v * 16 + hexDigitValues[c];
    }
    return v;
}

struct Record {
    std::uint32_t address = 0;
    int count = 0; // data bytes actually present and inside 0..0xFFFF
    std::size_t dataPos = 0;
    bool intact = true; // the checksum matches and the line holds what its count claims
    bool placed = true; // its address lies inside 0000-FFFF and its count covers it
};

enum class LineKind { Data, End, Other };

LineKind classify(std::string_view line, Record& rec) {
    std::size_t i = 0;
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
        ++i;
    line.remove_prefix(i);
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t'))
        line.remove_suffix(1);
    if (line.size() < 2 || (line[0] != 'S' && line[0] != 's'))
        return LineKind::Other;
    if (line[1] == '7' || line[1] == '8' || line[1] == '9')
        return LineKind::End;
    // S1, S2 and S3 differ only in the width of the address: 2, 3 or 4 bytes.
    if (line[1] < '1' || line[1] > '3')
        return LineKind::Other;
    const int addressBytes = line[1] - '0' + 1;
    const std::size_t dataPos = 4 + 2 * static_cast<std::size_t>(addressBytes);
    if (line.size() < 4)
        return LineKind::Other;
    const int count = static_cast<int>(hexValue(line, 2, 2));
    // The count covers the address, the data and the checksum byte.
    int n = count - addressBytes - 1;
    const int pairs = line.size() > dataPos ? static_cast<int>((line.size() - dataPos) / 2) : 0;
    rec.intact = n >= 0 && pairs >= n + 1;
    // A line shorter than its count claims ends with its checksum all the same:
    // only the pairs before the last one are data.
    n = std::max(std::min(n, pairs - 1), 0);
    unsigned sum = static_cast<unsigned>(count);
    for (int k = 0; k < addressBytes + n; ++k)
        sum += hexValue(line, 4 + 2 * static_cast<std::size_t>(k), 2);
    if (rec.intact)
        rec.intact =
            ((sum + hexValue(line, dataPos + 2 * static_cast<std::size_t>(n), 2)) & 0xFF) == 0xFF;
    rec.address = hexValue(line, 4, 2 * addressBytes);
    // Only bytes inside the controller's 64 KB address space are taken.
    const std::uint32_t room = rec.address < 0x10000 ? 0x10000 - rec.address : 0;
    rec.count = static_cast<int>(std::min<std::uint32_t>(static_cast<std::uint32_t>(n), room));
    rec.dataPos = i + dataPos;
    rec.placed = count >= addressBytes + 1 && rec.address < 0x10000;
    return LineKind::Data;
}

// Calls f(line, number) for each line, numbered from 1, until f returns false.
template <typename F> void forEachLine(std::string_view text, F f) {
    std::string_view line;
    for (int number = 1; text::nextLine(text, line); ++number)
        if (!f(line, number))
            return;
}
} // namespace

SRecord::Image SRecord::read(std::string_view text) {
    Image img;
    std::uint32_t lowest = 0xFFFFFFFF;
    std::uint32_t end = 0;
    bool inside = false;
    forEachLine(text, [&](std::string_view line, int number) {
        Record rec;
        switch (classify(line, rec)) {
        case LineKind::End:
            return false;
        case LineKind::Data:
            img.hasRecords = true;
            if (!rec.intact && img.firstDamagedLine == 0)
                img.firstDamagedLine = number;
            if (rec.placed) {
                inside = true;
                lowest = std::min(lowest, rec.address);
                end = std::max(end, rec.address + static_cast<std::uint32_t>(rec.count));
            }
            return true;
        default:
            return true;
        }
    });
    if (!inside)
        return img;
    img.baseAddress = static_cast<std::int32_t>(lowest);
    img.bytes.assign(end - lowest, 0xFF);
    forEachLine(text, [&](std::string_view line, int) {
        Record rec;
        switch (classify(line, rec)) {
        case LineKind::End:
            return false;
        case LineKind::Data:
            for (int k = 0; k < rec.count; ++k) {
                const std::size_t at = rec.address - lowest + static_cast<std::size_t>(k);
                img.bytes[at] = static_cast<std::uint8_t>(
                    hexValue(line, rec.dataPos + 2 * static_cast<std::size_t>(k), 2));
            }
            return true;
        default:
            return true;
        }
    });
    return img;
}

namespace {
constexpr char hexDigits[] = "0123456789ABCDEF";

char* putHexByte(char* out, unsigned v) {
    out[0] = hexDigits[(v >> 4) & 0xF];
    out[1] = hexDigits[v & 0xF];
    return out + 2;
}
} // namespace

std::string SRecord::write(const std::vector<std::uint8_t>& bytes, std::int32_t baseAddress) {
    static constexpr std::size_t perLine = 32;
    static constexpr std::string_view endRecord = "S9030000FC\r\n";
    const std::size_t lines = (bytes.size() + perLine - 1) / perLine;
    // "S1", count, address, data, checksum, CR LF.
    std::string out(bytes.size() * 2 + lines * 12 + endRecord.size(), '\0');
    char* p = out.data();
    for (std::size_t off = 0; off < bytes.size(); off += perLine) {
        const std::size_t n = std::min(perLine, bytes.size() - off);
        const std::uint32_t addr =
            static_cast<std::uint32_t>(baseAddress + static_cast<std::int32_t>(off)) & 0xFFFF;
        unsigned sum = static_cast<unsigned>(n + 3) + (addr >> 8) + (addr & 0xFF);
        *p++ = 'S';
        *p++ = '1';
        p = putHexByte(p, static_cast<unsigned>(n + 3));
        p = putHexByte(p, addr >> 8);
        p = putHexByte(p, addr & 0xFF);
        for (const std::uint8_t b : std::span(bytes).subspan(off, n)) {
            p = putHexByte(p, b);
            sum += b;
        }
        p = putHexByte(p, ~sum & 0xFF);
        *p++ = '\r';
        *p++ = '\n';
    }
    std::copy(endRecord.begin(), endRecord.end(), p);
    return out;
}

} // namespace tevra
