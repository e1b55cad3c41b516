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

int hexValue(std::string_view s, std::size_t pos, int digits) {
    int v = 0;
    for (int i = 0; i < digits; ++i) {
        const std::size_t at = pos + static_cast<std::size_t>(i);
        const unsigned char c = at < s.size() ? static_cast<unsigned char>(s[at]) : '0';
        v = v * 16 + hexDigitValues[c];
    }
    return v;
}

struct Record {
    int address = 0;
    int count = 0; // data bytes actually present and inside 0..0xFFFF
    std::size_t dataPos = 0;
};

enum class LineKind { Data, End, Other };

LineKind classify(std::string_view line, Record& rec) {
    std::size_t i = 0;
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r'))
        ++i;
    line.remove_prefix(i);
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
        line.remove_suffix(1);
    if (line.size() < 2 || (line[0] != 'S' && line[0] != 's'))
        return LineKind::Other;
    if (line[1] == '7' || line[1] == '8' || line[1] == '9')
        return LineKind::End;
    if (line[1] != '1' || line.size() < 8)
        return LineKind::Other;
    const int count = hexValue(line, 2, 2);
    if (count < 3)
        return LineKind::Other;
    rec.address = hexValue(line, 4, 4);
    int n = count - 3;
    // Only data bytes that are really on the line are taken (the last two characters
    // may be the checksum; a short line simply yields fewer bytes).
    const int present = static_cast<int>((line.size() - 8) / 2);
    n = std::min(n, present);
    n = std::min(n, 0x10000 - rec.address);
    rec.count = std::max(n, 0);
    rec.dataPos = i + 8;
    return LineKind::Data;
}

template <typename F> void forEachLine(std::string_view text, F f) {
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t nl = text.find('\n', pos);
        if (nl == std::string_view::npos)
            nl = text.size();
        if (!f(text.substr(pos, nl - pos)))
            return;
        pos = nl + 1;
    }
}
} // namespace

SRecord::Image SRecord::read(std::string_view text) {
    Image img;
    int lowest = 0x0FFFFFFF;
    int end = 0;
    forEachLine(text, [&](std::string_view line) {
        Record rec;
        switch (classify(line, rec)) {
        case LineKind::End:
            return false;
        case LineKind::Data:
            img.hasRecords = true;
            lowest = std::min(lowest, rec.address);
            end = std::max(end, rec.address + rec.count);
            return true;
        default:
            return true;
        }
    });
    if (!img.hasRecords)
        return img;
    img.baseAddress = lowest;
    img.bytes.assign(static_cast<std::size_t>(std::max(end - lowest, 0)), 0xFF);
    forEachLine(text, [&](std::string_view line) {
        Record rec;
        switch (classify(line, rec)) {
        case LineKind::End:
            return false;
        case LineKind::Data:
            for (int k = 0; k < rec.count; ++k) {
                const std::size_t at = static_cast<std::size_t>(rec.address - lowest + k);
                if (at < img.bytes.size())
                    img.bytes[at] =
                        static_cast<std::uint8_t>(hexValue(line, rec.dataPos + 2 * k, 2));
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
