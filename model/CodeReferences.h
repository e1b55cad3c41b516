#pragma once

#include <array>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace tevra {

// The places in a 68HC11 image whose instructions name an address inside the
// image: LDX # loads (how the code finds a table) and extended-mode loads and
// compares (how it reads a constant), each with a fingerprint of the code around
// it. A recompile moves code and data, so the fingerprint masks every operand that
// is an address inside the image and keeps what a move does not change: opcodes,
// RAM addresses, immediate values, branch offsets.
//
// The image is searched byte by byte, as the table scan does, so operands and
// data that happen to look like such an instruction give references too; their
// fingerprints rarely resemble real code.
class CodeReferences {
public:
    static constexpr int kBefore = 6; // bytes kept before the instruction
    static constexpr int kAfter = 12; // bytes kept from the instruction on
    static constexpr std::int16_t kMasked = -1;
    static constexpr std::int16_t kNone = -2; // outside the image

    struct Site {
        std::int64_t offset; // of the opcode
        std::int32_t target; // the address the instruction names
        bool loadsIndex;     // LDX #; otherwise an extended-mode read
        std::array<std::int16_t, kBefore + kAfter> fingerprint;
    };

    CodeReferences(const std::vector<std::uint8_t>& image, std::int32_t base);

    const std::vector<Site>& sites() const { return sites_; }
    // The sites naming one address (indices into sites()); empty when none.
    const std::vector<int>& sitesOf(std::int32_t target) const;
    // Addresses named by an LDX # load, in ascending order.
    std::vector<std::int32_t> indexTargets() const;
    // Addresses named by an extended-mode read, in ascending order.
    std::vector<std::int32_t> extendedTargets() const;

    // Likeness of two fingerprints, 0..1: the weighted share of positions that
    // agree, positions nearer the instruction weighing more.
    static float likeness(const Site& a, const Site& b);

    // Length of the 68HC11 instruction at p (prefix bytes included), 0 when it
    // does not fit before end.
    static int instructionLength(const std::uint8_t* p, const std::uint8_t* end);

private:
    std::vector<Site> sites_;
    std::unordered_map<std::int32_t, std::vector<int>> byTarget_;
};

} // namespace tevra
