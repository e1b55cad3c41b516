// Guessing the table type from the bytes at an address.
#include "TableClassifier.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

using namespace tevra;

namespace {

using Bytes = std::vector<std::uint8_t>;

// Pads with zero bytes, which end every walk that has not ended yet.
Bytes padded(Bytes b, std::size_t length, std::uint8_t fill = 0x00) {
    b.resize(length, fill);
    return b;
}

// Six rising 8-bit records, Y at most 0x80; the 16-bit walk stops at record 1.
Bytes eightBit(std::uint8_t y3) {
    return padded({6, 0x10, 0x20, 0, 0, 0x20, 0x30, 0, 0, 0x30, 0x80, 0,
                   0, 0x40, y3,   0, 0, 0x50, 0x10, 0, 0, 0x60, 0x00, 0},
                  40);
}

struct Case {
    const char* what;
    Bytes bytes;
    TableClassifier::Scores scores;
    EntryType type;
};

} // namespace

TEST(Classifier, ScoresAndChoices) {
    const Bytes sixteen = padded({0x10, 0, 0, 0x01, 0x00, 0x20, 0x00, 0x10, 0, 0, 0xFF}, 24);
    Bytes sixteenNoSlope = sixteen;
    sixteenNoSlope[3] = 0;
    const std::vector<Case> cases = {
        {"8-bit, Y at most 0x80", eightBit(0x40), {30, 0, 30, 0}, EntryType::Unsigned8Table},
        {"8-bit with one Y of 0x90", eightBit(0x90), {30, 0, 40, 0}, EntryType::Signed8Table},
        {"16-bit with a matching slope", sixteen, {0, 50, 0, 0}, EntryType::Unsigned16Table},
        {"16-bit, slope bytes 00 00", sixteenNoSlope, {0, 20, 0, 0}, EntryType::Unsigned16Table},
        {"3D 8 x 8 unsigned", padded({8, 8, 0x00}, 70), {0, 0, 0, 50}, EntryType::Table3D},
        {"3D signed, 17 x 4", padded({17, 4, 0xFF}, 80), {0, 0, 0, 50}, EntryType::Table3D},
        {"3D flag neither 00 nor FF", padded({8, 8, 0x01}, 70), {0, 0, 0, 0}, EntryType::Unknown},
        {"3D rows 18", padded({18, 8, 0x00}, 70), {0, 0, 0, 0}, EntryType::Unknown},
        // A 4 x 4 header that is also an 8-bit table with high Y bytes: S2 beats S7
        // only when strictly higher.
        {"8-bit signed beats 3D",
         padded({4, 4, 0, 0, 0, 5, 0x90, 0, 0, 6, 0x90, 0, 0, 7, 0x90}, 30),
         {30, 0, 60, 50},
         EntryType::Signed8Table},
        {"8-bit signed ties 3D",
         padded({4, 4, 0, 0, 0, 5, 0x90, 0, 0, 6, 0x90, 0, 0, 7, 0x00}, 30),
         {30, 0, 50, 50},
         EntryType::Signed8Table},
        {"nothing plausible", padded({0x00, 0x00, 0x05}, 40), {0, 0, 0, 0}, EntryType::Unknown},
        // Leading FF: record 1 is looked at, and an FF there scores 10.
        {"FF FF is a one-point 16-bit table",
         padded({0xFF, 0, 0, 0, 0, 0xFF}, 12, 0x00),
         {0, 10, 0, 0},
         EntryType::Unsigned16Table},
        {"ten records without a terminator",
         [] {
             Bytes b;
             for (int k = 0; k < 11; ++k)
                 for (std::uint8_t v : {std::uint8_t(0x11 + 20 * k), std::uint8_t(0),
                                        std::uint8_t(0), std::uint8_t(0), std::uint8_t(0)})
                     b.push_back(v);
             return b;
         }(),
         {0, 0, 0, 0},
         EntryType::Unknown},
        // Equal X in 8-bit records is allowed: ties keep Unsigned8Table.
        {"8-bit, equal X allowed",
         padded({2, 0x10, 0, 0, 0, 0x10, 0, 0, 0}, 30),
         {30, 0, 30, 0},
         EntryType::Unsigned8Table},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const TableClassifier::Scores s =
            TableClassifier::score(c.bytes.data(), c.bytes.data() + c.bytes.size() - 1);
        EXPECT_EQ(s.unsigned8, c.scores.unsigned8);
        EXPECT_EQ(s.unsigned16, c.scores.unsigned16);
        EXPECT_EQ(s.signed8, c.scores.signed8);
        EXPECT_EQ(s.table3D, c.scores.table3D);
        EXPECT_EQ(
            TableClassifier::ClassifyTable(c.bytes.data(), c.bytes.data() + c.bytes.size() - 1),
            c.type);
    }
}

TEST(Classifier, TiesKeepTheEarlierCandidate) {
    struct Tie {
        TableClassifier::Scores s;
        EntryType type;
    };
    const std::vector<Tie> ties = {
        {{30, 30, 30, 30}, EntryType::Unsigned8Table},
        {{20, 40, 40, 40}, EntryType::Unsigned16Table},
        {{20, 30, 40, 40}, EntryType::Signed8Table},
        {{0, 0, 0, 9}, EntryType::Unknown},
        {{0, 0, 0, 10}, EntryType::Table3D},
    };
    for (const Tie& t : ties)
        EXPECT_EQ(TableClassifier::choose(t.s), t.type);
}

// Records that straddle the last byte: every test that would need a byte after it
// fails, and no byte after it is read (the copy is exactly as long as the window,
// so AddressSanitizer sees any read past it).
TEST(Classifier, NeverReadsPastTheLastByte) {
    const Bytes sixteen = padded({0x10, 0, 0, 0x01, 0x00, 0x20, 0x00, 0x10, 0, 0, 0xFF}, 24);
    for (std::size_t length = 1; length <= sixteen.size(); ++length) {
        const Bytes cut(sixteen.begin(), sixteen.begin() + static_cast<std::ptrdiff_t>(length));
        const auto exact = std::make_unique<std::uint8_t[]>(length);
        std::copy(cut.begin(), cut.end(), exact.get());
        const TableClassifier::Scores s =
            TableClassifier::score(exact.get(), exact.get() + length - 1);
        SCOPED_TRACE(length);
        // The terminator at offset 10 is looked at only when it starts before the
        // last byte; the slope bonus needs more than 8 bytes past it.
        EXPECT_EQ(s.unsigned16, length <= 11 ? 0 : (length - 1 - 10 > 8 ? 50 : 20));
    }
    for (std::size_t length = 1; length <= 3; ++length) {
        const Bytes header = {8, 8, 0};
        std::vector<std::uint8_t> cut(header.begin(),
                                      header.begin() + static_cast<std::ptrdiff_t>(length));
        EXPECT_EQ(TableClassifier::score(cut.data(), cut.data() + length - 1).table3D,
                  length == 3 ? 50 : 0);
    }
    // An 8-bit count of 10 with only two records in the image: the walk stops at the end.
    Bytes shortTable = {10, 0x10, 0x90, 0, 0, 0x20, 0x90, 0, 0};
    const auto s = TableClassifier::score(shortTable.data(), shortTable.data() + 8);
    EXPECT_EQ(s.signed8, 50);
    EXPECT_EQ(TableClassifier::ClassifyTable(nullptr, nullptr), EntryType::Unknown);
}
