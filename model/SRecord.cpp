#include "SRecord.h"


#include <algorithm>

namespace tevra {

namespace {
// A hex field: 0-9 and A-F in either case; any other character counts as a zero digit.
int hexValue(std::string_view s, std::size_t pos, int digits) {
    int v = 0;
    for (int i = 0; i < digits; ++i) {
        char c = pos + i < s.size() ? s[pos + i] : '0';
        int d = 0;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        else if (c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        v = v * 16 + d;
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
void appendHexByte(std::string& out, unsigned v) {
    static const char digits[] = "0123456789ABCDEF";
    out += digits[(v >> 4) & 0xF];
    out += digits[v & 0xF];
}
} // namespace

std::string SRecord::write(const std::vector<std::uint8_t>& bytes, std::int32_t baseAddress) {
    std::string out;
    out.reserve(bytes.size() * 2 + (bytes.size() / 32 + 1) * 14 + 16);
    for (std::size_t off = 0; off < bytes.size(); off += 32) {
        const std::size_t n = std::min<std::size_t>(32, bytes.size() - off);
        const std::uint32_t addr =
            static_cast<std::uint32_t>(baseAddress + static_cast<std::int32_t>(off)) & 0xFFFF;
        unsigned sum = static_cast<unsigned>(n + 3) + (addr >> 8) + (addr & 0xFF);
        out += "S1";
        appendHexByte(out, static_cast<unsigned>(n + 3));
        appendHexByte(out, addr >> 8);
        appendHexByte(out, addr & 0xFF);
        for (std::size_t k = 0; k < n; ++k) {
            appendHexByte(out, bytes[off + k]);
            sum += bytes[off + k];
        }
        appendHexByte(out, ~sum & 0xFF);
        out += "\r\n";
    }
    out += "S9030000FC\r\n";
    return out;
}

} // namespace tevra
