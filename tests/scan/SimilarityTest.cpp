// How alike two entries are: the figures cross-identification ranks pairs by.
#include "Calibration.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <vector>

using namespace tevra;

namespace {

// Two calibrations with room for a few tables each; bytes are written raw.
struct TwoImages {
    Calibration self, other;
    std::vector<std::uint8_t> a = std::vector<std::uint8_t>(0x400, 0);
    std::vector<std::uint8_t> b = std::vector<std::uint8_t>(0x400, 0);

    TwoImages(std::int32_t selfBase, std::int32_t otherBase) {
        self.baseAddress = selfBase;
        other.baseAddress = otherBase;
    }
    static void put(std::vector<std::uint8_t>& img, int at, std::vector<int> bytes) {
        for (int v : bytes)
            img[static_cast<std::size_t>(at++)] = static_cast<std::uint8_t>(v);
    }
    // Count byte, then (X, Y, slope 0) records.
    static void table8(std::vector<std::uint8_t>& img, int at,
                       std::vector<std::pair<int, int>> pts) {
        img[static_cast<std::size_t>(at)] = static_cast<std::uint8_t>(pts.size());
        for (std::size_t k = 0; k < pts.size(); ++k)
            put(img, at + 1 + 4 * static_cast<int>(k), {pts[k].first, pts[k].second, 0, 0});
    }
    CalEntry* entry(Calibration& cal, EntryType t, int offset) {
        CalEntry* e = cal.NewEntry();
        e->type = t;
        e->address = cal.baseAddress + offset;
        return e;
    }
    // Positions every entry created so far in the images.
    void load() {
        self.SetImage(a);
        other.SetImage(b);
    }
};

const std::vector<std::pair<int, int>> kCurve = {{0, 10}, {64, 40}, {128, 90}, {255, 200}};

} // namespace

TEST(Similarity, TablesScoreCountsAndCurveAndTheAddressBonus) {
    struct Case {
        const char* what;
        std::int32_t otherBase;
        int otherOffset;
        std::vector<std::pair<int, int>> otherCurve;
        float expected;
    };
    auto shifted = [](int dy) {
        auto c = kCurve;
        for (auto& p : c)
            p.second += dy;
        return c;
    };
    const std::vector<Case> cases = {
        {"identical, other base", 0x8000, 0x100, kCurve, 1.0f},
        {"identical, same base, 0x40 apart", 0xC000, 0x140, kCurve, (0.8f + 0.75f) / 1.8f},
        {"identical, same base, same address", 0xC000, 0x100, kCurve, 1.0f},
        {"identical, same base, far apart", 0xC000, 0x300, kCurve, 0.8f / 1.8f},
        {"raised by 32: difference 0.125", 0x8000, 0x100, shifted(32),
         (0.4f + 0.4f * 0.875f) / 0.8f},
        {"one point fewer",
         0x8000,
         0x100,
         {{0, 10}, {64, 40}, {255, 200}},
         -1.0f}, // checked below against its own curve difference
        {"two points fewer", 0x8000, 0x100, {{0, 10}, {255, 200}}, -1.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TwoImages t(0xC000, c.otherBase);
        TwoImages::table8(t.a, 0x100, kCurve);
        TwoImages::table8(t.b, c.otherOffset, c.otherCurve);
        CalEntry* mine = t.entry(t.self, EntryType::Unsigned8Table, 0x100);
        CalEntry* theirs = t.entry(t.other, EntryType::Unsigned8Table, c.otherOffset);
        t.load();
        const float s = mine->Similarity(*theirs);
        if (c.expected >= 0) {
            EXPECT_FLOAT_EQ(s, c.expected);
        } else {
            const float counts = c.otherCurve.size() == 3 ? 0.2f : 0.0f;
            EXPECT_FLOAT_EQ(s, (counts + 0.4f * (1 - mine->CurveDifference(*theirs))) / 0.8f);
            EXPECT_GT(mine->CurveDifference(*theirs), 0.0f);
        }
    }
}

TEST(Similarity, SignedAndUnsignedTablesCompareAsUnsignedAndKeepTheirTypes) {
    TwoImages t(0xC000, 0x8000);
    TwoImages::table8(t.a, 0x10, {{0, 0x90}, {255, 0x10}});
    TwoImages::table8(t.b, 0x10, {{0, 0x90}, {255, 0x10}});
    CalEntry* mine = t.entry(t.self, EntryType::Signed8Table, 0x10);
    CalEntry* theirs = t.entry(t.other, EntryType::Unsigned8Table, 0x10);
    t.load();
    EXPECT_FLOAT_EQ(mine->Similarity(*theirs), 1.0f);
    EXPECT_FLOAT_EQ(theirs->CurveDifference(*mine), 0.0f);
    EXPECT_EQ(mine->type, EntryType::Signed8Table);
    EXPECT_EQ(theirs->type, EntryType::Unsigned8Table);
    // Reading it as unsigned left it signed.
    EXPECT_EQ(mine->GetY(0), static_cast<std::int8_t>(0x90));
}

TEST(Similarity, SixteenBitTablesUseTheirFullScale) {
    TwoImages t(0xC000, 0x8000);
    // Points (0x10, 1000) and (0x80, 2000), then the terminator.
    TwoImages::put(t.a, 0x20, {0x10, 0x03, 0xE8, 0, 0, 0x80, 0x07, 0xD0, 0, 0, 0xFF});
    TwoImages::put(t.b, 0x20, {0x10, 0x03, 0xE8 + 0x0C, 0, 0, 0x80, 0x07, 0xD0 + 0x0C, 0, 0, 0xFF});
    CalEntry* mine = t.entry(t.self, EntryType::Unsigned16Table, 0x20);
    CalEntry* theirs = t.entry(t.other, EntryType::Unsigned16Table, 0x20);
    t.load();
    // Every sample differs by 12 (the end point extrapolates with slope 0).
    EXPECT_FLOAT_EQ(mine->CurveDifference(*theirs), 12.0f / 12288.0f);
    EXPECT_FLOAT_EQ(mine->Similarity(*theirs), (0.4f + 0.4f * (1 - 12.0f / 12288.0f)) / 0.8f);
}

TEST(Similarity, ConstantsFlagsAndUnknownEntries) {
    struct Case {
        const char* what;
        EntryType selfType, otherType;
        std::vector<int> selfBytes, otherBytes;
        float expected;
    };
    const float r = 10.0f / 256.0f;
    const std::vector<Case> cases = {
        {"8-bit constants 100 and 110",
         EntryType::Constant8,
         EntryType::Constant8,
         {100},
         {110},
         (1 - r / 0.2f + 1) / 2},
        {"unknown read as that constant",
         EntryType::Unknown,
         EntryType::Constant8,
         {100},
         {110},
         (1 - r / 0.2f + 1) / 2},
        {"constants 0.2 of full scale apart",
         EntryType::Constant8,
         EntryType::Constant8,
         {0},
         {52},
         (0 + 1) / 2.0f},
        {"16-bit constants",
         EntryType::Constant16,
         EntryType::Constant16,
         {0x10, 0x00},
         {0x10, 0xFF},
         (1 - (255.0f / 65536.0f) / 0.2f + 1) / 2},
        {"unknown read as a 16-bit constant",
         EntryType::Unknown,
         EntryType::Constant16,
         {1, 2},
         {1, 2},
         1.0f},
        {"equal flag bytes", EntryType::FlagByte, EntryType::FlagByte, {0x5A}, {0x5A}, 1.0f},
        {"different flag bytes",
         EntryType::FlagByte,
         EntryType::FlagByte,
         {0x5A},
         {0x5B},
         1.0f / 1.4f},
        {"unknown read as a value list", EntryType::Unknown, EntryType::ValueList, {3}, {3}, 1.0f},
        {"unknown against a table", EntryType::Unknown, EntryType::Unsigned8Table, {1}, {1}, 0.0f},
        {"unknown against unknown", EntryType::Unknown, EntryType::Unknown, {1}, {1}, 0.0f},
        {"constant against unknown", EntryType::Constant8, EntryType::Unknown, {1}, {1}, 0.0f},
        {"different types", EntryType::Constant8, EntryType::FlagByte, {1}, {1}, 0.0f},
        {"8-bit against 16-bit table",
         EntryType::Unsigned8Table,
         EntryType::Unsigned16Table,
         {1},
         {1},
         0.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TwoImages t(0xC000, 0xC000);
        TwoImages::put(t.a, 0x30, c.selfBytes);
        TwoImages::put(t.b, 0x30, c.otherBytes);
        CalEntry* mine = t.entry(t.self, c.selfType, 0x30);
        CalEntry* theirs = t.entry(t.other, c.otherType, 0x30);
        t.load();
        EXPECT_FLOAT_EQ(mine->Similarity(*theirs), c.expected);
        EXPECT_EQ(mine->type, c.selfType);
        EXPECT_EQ(theirs->type, c.otherType);
    }
}

TEST(Similarity, ThreeDimensionalTables) {
    auto score = [](std::vector<int> mine, std::vector<int> theirs, std::int32_t otherBase) {
        TwoImages t(0xC000, otherBase);
        TwoImages::put(t.a, 0x40, mine);
        TwoImages::put(t.b, 0x40, theirs);
        CalEntry* a = t.entry(t.self, EntryType::Table3D, 0x40);
        CalEntry* b = t.entry(t.other, EntryType::Table3D, 0x40);
        t.load();
        return a->Similarity(*b);
    };
    std::vector<int> four = {4, 4, 0};
    for (int k = 0; k < 16; ++k)
        four.push_back(10 * k);
    EXPECT_NEAR(score(four, four, 0x8000), 0.72f / 5.52f, 1e-6);
    // Near cells (1 to 38 steps apart) count 0.1, farther ones nothing.
    auto near = four, far = four;
    near[3] += 38;
    far[3] += 39;
    EXPECT_NEAR(score(four, near, 0x8000), (0.4f + 15 * 0.02f + 0.1f) / 5.52f, 1e-6);
    EXPECT_NEAR(score(four, far, 0x8000), (0.4f + 15 * 0.02f) / 5.52f, 1e-6);
    // Different dimensions: nothing but the address bonus, over 0.4 + 1.
    auto wide = four;
    wide[1] = 3;
    EXPECT_FLOAT_EQ(score(four, wide, 0x8000), 0.0f);
    EXPECT_FLOAT_EQ(score(four, wide, 0xC000), 1.0f / 1.4f);
}

// Entries reaching past the image are never anyone's partner, and comparing them
// reads nothing outside the image.
TEST(Similarity, EntriesOutsideTheImageScoreZero) {
    struct Case {
        const char* what;
        EntryType type;
        int offset;
    };
    const std::vector<Case> cases = {
        {"8-bit table whose records run past the end", EntryType::Unsigned8Table, 0x3F8},
        {"16-bit table without a terminator in the image", EntryType::Unsigned16Table, 0x3F0},
        {"3D table past the end", EntryType::Table3D, 0x3F0},
        {"16-bit constant on the last byte", EntryType::Constant16, 0x3FF},
        {"constant after the image", EntryType::Constant8, 0x400},
        {"constant before the image", EntryType::Constant8, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TwoImages t(0xC000, 0xC000);
        // Bytes that would make a plausible partner if the image went on.
        for (std::size_t k = 0x3F0; k < 0x400; ++k)
            t.a[k] = t.b[k] = 0x05;
        TwoImages::put(t.a, 0x3F0, {5, 5, 0});
        TwoImages::put(t.b, 0x3F0, {5, 5, 0});
        CalEntry* outside = t.entry(t.self, c.type, c.offset);
        CalEntry* inside = t.entry(t.other, c.type, 0x10);
        CalEntry* twin = t.entry(t.other, c.type, c.offset);
        t.load();
        EXPECT_EQ(outside->Similarity(*inside), 0.0f);
        EXPECT_EQ(outside->Similarity(*twin), 0.0f);
        EXPECT_EQ(inside->Similarity(*outside), 0.0f);
        if (isTable2D(c.type)) {
            EXPECT_EQ(outside->CurveDifference(*twin), 1.0f);
        }
    }
}
