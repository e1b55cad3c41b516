#include "CodeReferences.h"

#include <algorithm>

namespace tevra {

namespace {

constexpr std::uint8_t kLoadIndexImmediate = 0xCE; // LDX #nnnn

bool isPrefix(std::uint8_t b) {
    return b == 0x18 || b == 0x1A || b == 0xCD;
}

// Length of an unprefixed opcode with its operands.
int baseLength(std::uint8_t op) {
    switch (op) {
    case 0x12: // BRSET dir
    case 0x13: // BRCLR dir
    case 0x1E: // BRSET ind
    case 0x1F: // BRCLR ind
        return 4;
    case 0x14: // BSET dir
    case 0x15: // BCLR dir
    case 0x1C: // BSET ind
    case 0x1D: // BCLR ind
        return 3;
    case 0x83: // SUBD #
    case 0x8C: // CPX #
    case 0x8E: // LDS #
    case 0xC3: // ADDD #
    case 0xCC: // LDD #
    case 0xCE: // LDX #
        return 3;
    case 0x8F: // XGDX
    case 0xCF: // STOP
        return 1;
    default:
        break;
    }
    const int row = op >> 4;
    if (row <= 0x1 || (row >= 0x3 && row <= 0x5))
        return 1; // inherent
    if (row == 0x7 || row == 0xB || row == 0xF)
        return 3; // extended
    return 2;     // immediate 8-bit, direct, indexed, relative
}

// True when the opcode's last two operand bytes are a 16-bit address or value.
bool hasWordOperand(std::uint8_t op) {
    const int row = op >> 4;
    if (row == 0x7 || row == 0xB || row == 0xF)
        return true;
    return op == 0x83 || op == 0x8C || op == 0x8E || op == 0xC3 || op == 0xCC || op == 0xCE;
}

// Extended-mode instructions that read a value from memory: how code uses a constant.
bool readsExtended(std::uint8_t op) {
    switch (op) {
    case 0x7D: // TST
    case 0xFC: // LDD
    case 0xFE: // LDX
        return true;
    default:
        break;
    }
    const int row = op >> 4, col = op & 0xF;
    // SUB, CMP, SBC, SUBD/ADDD, AND, BIT, LDA, EOR, ADC, ORA, ADD for A and B.
    return (row == 0xB || row == 0xF) && (col <= 0x6 || (col >= 0x8 && col <= 0xB));
}

struct Reader {
    const std::vector<std::uint8_t>& image;
    std::int32_t base;
    std::int64_t length() const { return static_cast<std::int64_t>(image.size()); }
    int at(std::int64_t k) const {
        return k >= 0 && k < length() ? image[static_cast<std::size_t>(k)] : -1;
    }
    bool inside(std::int64_t address) const { return address > base && address < base + length(); }
    bool wordInside(std::int64_t k) const {
        const int hi = at(k), lo = at(k + 1);
        return hi >= 0 && lo >= 0 && inside(hi * 256 + lo);
    }
};

using Fingerprint = std::array<std::int16_t, CodeReferences::kBefore + CodeReferences::kAfter>;

Fingerprint fingerprint(const Reader& r, std::int64_t site) {
    Fingerprint f;
    constexpr int before = CodeReferences::kBefore;
    // Before the instruction: the bytes as they are, with any word operand that
    // names an address inside the image masked (instruction starts there are
    // guessed: code cannot be decoded backwards for certain).
    for (int k = 0; k < before; ++k) {
        const int b = r.at(site - before + k);
        f[static_cast<std::size_t>(k)] =
            static_cast<std::int16_t>(b < 0 ? CodeReferences::kNone : b);
    }
    for (std::int64_t j = site - before - 2; j < site - 2; ++j) {
        const int op = r.at(j);
        if (op < 0 || !hasWordOperand(static_cast<std::uint8_t>(op)) || !r.wordInside(j + 1))
            continue;
        for (std::int64_t m = j + 1; m <= j + 2; ++m)
            if (m >= site - before)
                f[static_cast<std::size_t>(m - (site - before))] = CodeReferences::kMasked;
    }
    // From the instruction on: decoded instruction by instruction.
    const std::uint8_t* first = r.image.data();
    const std::uint8_t* end = first + r.length();
    std::int64_t q = site;
    int k = 0;
    while (k < CodeReferences::kAfter) {
        const int len = q < r.length() ? CodeReferences::instructionLength(first + q, end) : 0;
        if (len == 0) {
            for (; k < CodeReferences::kAfter; ++k)
                f[static_cast<std::size_t>(before + k)] = CodeReferences::kNone;
            break;
        }
        const std::uint8_t op = first[q + (isPrefix(first[q]) && len > 1 ? 1 : 0)];
        const bool masked = hasWordOperand(op) && r.wordInside(q + len - 2);
        for (int m = 0; m < len && k < CodeReferences::kAfter; ++m, ++k) {
            const bool operand = masked && m >= len - 2;
            f[static_cast<std::size_t>(before + k)] =
                operand ? CodeReferences::kMasked : static_cast<std::int16_t>(first[q + m]);
        }
        q += len;
    }
    return f;
}

} // namespace

int CodeReferences::instructionLength(const std::uint8_t* p, const std::uint8_t* end) {
    if (p >= end)
        return 0;
    int len = 0;
    if (isPrefix(*p)) {
        if (p + 1 >= end)
            return 0;
        len = isPrefix(p[1]) ? 1 : 1 + baseLength(p[1]);
    } else {
        len = baseLength(*p);
    }
    return end - p >= len ? len : 0;
}

CodeReferences::CodeReferences(const std::vector<std::uint8_t>& image, std::int32_t base) {
    const Reader r{image, base};
    for (std::int64_t i = 0; i + 2 < r.length(); ++i) {
        const std::uint8_t op = image[static_cast<std::size_t>(i)];
        const bool index = op == kLoadIndexImmediate;
        if (!index && !readsExtended(op))
            continue;
        const std::int64_t target = r.at(i + 1) * 256 + r.at(i + 2);
        if (!r.inside(target))
            continue;
        const auto t = static_cast<std::int32_t>(target);
        byTarget_[t].push_back(static_cast<int>(sites_.size()));
        sites_.push_back({i, t, index, fingerprint(r, i)});
    }
}

const std::vector<int>& CodeReferences::sitesOf(std::int32_t target) const {
    static const std::vector<int> none;
    auto it = byTarget_.find(target);
    return it == byTarget_.end() ? none : it->second;
}

namespace {
std::vector<std::int32_t> targets(const std::vector<CodeReferences::Site>& sites, bool index) {
    std::vector<std::int32_t> out;
    for (const auto& s : sites)
        if (s.loadsIndex == index)
            out.push_back(s.target);
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return out;
}
} // namespace

std::vector<std::int32_t> CodeReferences::indexTargets() const {
    return targets(sites_, true);
}

std::vector<std::int32_t> CodeReferences::extendedTargets() const {
    return targets(sites_, false);
}

float CodeReferences::likeness(const Site& a, const Site& b) {
    int agree = 0, total = 0;
    for (std::size_t k = 0; k < a.fingerprint.size(); ++k) {
        const std::int16_t x = a.fingerprint[k], y = b.fingerprint[k];
        if (x == kNone && y == kNone)
            continue;
        // The instruction itself and its nearest neighbours say most; further out
        // the code is more often another routine's.
        const int after = static_cast<int>(k) - kBefore;
        const int weight = after < 0 ? (after >= -2 ? 2 : 1) : after < 3 ? 3 : after < 8 ? 2 : 1;
        total += weight;
        if (x == y)
            agree += weight;
    }
    return total == 0 ? 0.0f : static_cast<float>(agree) / static_cast<float>(total);
}

} // namespace tevra
