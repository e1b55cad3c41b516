// Reading and editing table bytes through entries.
#include "Calibration.h"

#include <gtest/gtest.h>
#include <vector>

using namespace tevra;

namespace {

struct Fixture {
    Calibration cal;
    CalEntry* entry = nullptr;
    Fixture(EntryType type, std::vector<std::uint8_t> bytes, std::size_t imageSize = 64) {
        bytes.resize(std::max(imageSize, bytes.size()), 0x00);
        cal.SetImage(std::move(bytes));
        cal.readOnly = false;
        entry = cal.NewEntry();
        entry->type = type;
        entry->Relocate(0xC000);
    }
    int byte(int k) const { return cal.image()[k]; }
};

// 16-bit table with real points (10,100) (20,200) (30,300), end slope 15.
std::vector<std::uint8_t> table16() {
    return {10, 0, 100, 0, 0, 20, 0, 200, 0, 0, 30, 0x01, 0x2C, 0, 15, 0xFF};
}

} // namespace

TEST(CalEntryReading, Unsigned16TableCountsRealPointsPlusTheEndPoint) {
    Fixture f(EntryType::Unsigned16Table, table16());
    EXPECT_EQ(f.entry->PointCount(), 4);
    EXPECT_EQ(f.entry->GetX(3), 255);
    // Y(end) = 300 + trunc(15 * (255 - 30) / 256) = 300 + 13
    EXPECT_EQ(f.entry->GetY(3), 313);
    EXPECT_EQ(f.entry->GetSlope(2), 15);
    EXPECT_EQ(f.entry->GetSlope(3), -1);

    Fixture empty(EntryType::Unsigned16Table, {0xFF});
    EXPECT_EQ(empty.entry->PointCount(), 1);
    EXPECT_EQ(empty.entry->GetY(0), -1);
}

TEST(CalEntryReading, PointCountIsReadAgainOncePositioned) {
    // Asked before there is an image, the count byte reads as erased memory (255);
    // that must not outlive the positioning, or edits would reach past the table.
    Calibration cal;
    CalEntry* e = cal.NewEntry();
    e->type = EntryType::Unsigned8Table;
    EXPECT_EQ(e->PointCount(), 255);
    std::vector<std::uint8_t> img(64, 0x00);
    img[0] = 2;
    cal.SetImage(img);
    EXPECT_EQ(e->PointCount(), 2);

    // Relocate to the same address also reads the count again.
    cal.setImageByte(0, 3);
    e->Relocate(0xC000);
    EXPECT_EQ(e->PointCount(), 3);
}

TEST(CalEntryReading, ConversionsAndInterpolation) {
    // (10,-128) (10,127) (100,16)
    Fixture f(EntryType::Signed8Table, {3, 10, 0x80, 0, 0, 10, 0x7F, 0, 0, 100, 0x10, 0, 0});
    f.entry->yMin = "0";
    f.entry->yMax = "256";
    EXPECT_FLOAT_EQ(f.entry->XToEng(-1), 0.0f);
    EXPECT_FLOAT_EQ(f.entry->YToEng(-128), 0.0f);
    EXPECT_FLOAT_EQ(f.entry->YToEng(127), 255.0f);
    const struct {
        int x, y;
    } samples[] = {{5, -128}, {10, -128} /* equal X: the lower point */, {55, 72}, {200, 16}};
    for (const auto& s : samples)
        EXPECT_EQ(f.entry->Interpolate(s.x), s.y) << s.x;

    Fixture c(EntryType::Constant8, {0x42});
    EXPECT_EQ(c.entry->NearestPoint(0.9f, 0.9f), 0);
    EXPECT_EQ(c.entry->Interpolate(7), 0x42);
}

TEST(CalEntryReading, NumberPrefixRuleIsDecimalOnly) {
    Fixture f(EntryType::Unsigned8Table, {0});
    const struct {
        const char* text;
        float value;
    } cases[] = {{"  12.5psi", 12.5f}, {"-3e2x", -300.0f}, {"0x10", 0.0f}, {"inf", 0.0f},
                 {"nan", 0.0f},        {"", 0.0f},         {"+.5", 0.5f},  {"7e", 7.0f}};
    for (const auto& c : cases) {
        f.entry->yMax = c.text;
        EXPECT_FLOAT_EQ(f.entry->yMaxValue(), c.value) << c.text;
    }
}

TEST(CalEntryEditing, SixteenBitLimitsAndEndPoint) {
    Fixture f(EntryType::Unsigned16Table, table16());
    // The last real point moves right up to 254, never onto the terminator's 255.
    f.entry->SetX(2, 300, false);
    EXPECT_EQ(f.byte(10), 254);
    EXPECT_EQ(f.entry->PointCount(), 4);
    f.entry->SetY(2, 20000, false);
    EXPECT_EQ(f.entry->GetY(2), 12287);
    // SetPointY on the end point below Y(P-2) stores slope 0.
    f.entry->SetPointY(3, 10);
    EXPECT_EQ(f.entry->GetSlope(2), 0);
}

TEST(CalEntryEditing, EndPointNudgesChangeTheExtrapolationSlopeByEight) {
    Fixture f(EntryType::Unsigned16Table, table16());
    f.entry->OffsetPoint(3, 0, -1);
    EXPECT_EQ(f.entry->GetSlope(2), 7);
    f.entry->OffsetPoint(3, 0, -1); // 7 - 10 < 0: refused
    EXPECT_EQ(f.entry->GetSlope(2), 7);
    f.entry->OffsetPoint(3, 0, +1);
    EXPECT_EQ(f.entry->GetSlope(2), 15);
    f.entry->OffsetPoint(3, 1, 0); // X of the end point never changes
    EXPECT_EQ(f.entry->GetX(3), 255);
}

TEST(CalEntryEditing, CheckedMovesKeepOrderAndSlopesConsistent) {
    // 8-bit table (10,0) (20,100) (30,50); slopes stale on purpose.
    Fixture f(EntryType::Unsigned8Table, {3, 10, 0, 0, 0, 20, 100, 0, 0, 30, 50, 0, 0});
    f.entry->OffsetPoint(1, 0, 1);
    EXPECT_EQ(f.entry->GetY(1), 101);
    EXPECT_EQ(f.entry->GetSlope(0), (101 * 256) / 10);
    EXPECT_EQ(static_cast<std::int16_t>(f.entry->GetSlope(1)), (-51 * 256) / 10);
    // Moving point 1 onto its right neighbour's X is refused, bytes unchanged.
    const auto before = f.cal.image();
    f.entry->DragPoint(1, 30.0f / 255.0f + 0.001f, 101.0f / 255.0f + 0.001f, true);
    EXPECT_EQ(f.entry->GetX(1), 20);
    // ... while its Y still follows (8-bit tables have no Y order).
    EXPECT_EQ(f.entry->GetY(1), 101);
    EXPECT_EQ(before[1 + 4], f.byte(1 + 4));
    // Equal X values give a stored slope of 0.
    f.entry->SetX(1, 10, false);
    f.entry->RecomputeSlopes();
    EXPECT_EQ(f.entry->GetSlope(0), 0);
}

TEST(CalEntryEditing, ReadOnlyOwnerIgnoresEveryEdit) {
    Fixture f(EntryType::Unsigned8Table, {2, 10, 20, 0, 0, 30, 40, 0, 0});
    f.cal.readOnly = true;
    const auto before = f.cal.image();
    f.entry->OffsetPoint(0, 1, 1);
    f.entry->DragPoint(0, 0.5f, 0.5f, true);
    f.entry->AddToAll(10);
    f.entry->SetAll(10);
    f.entry->ScaleAll(2, 2);
    EXPECT_EQ(f.cal.image(), before);
    EXPECT_FALSE(f.cal.dataModified());
}

TEST(CalEntryEditing, WholeTableOperations) {
    Fixture f(EntryType::Unsigned8Table, {2, 100, 130, 0, 0, 200, 200, 0, 0});
    f.entry->ScaleAll(0.5f, 2.0f);
    EXPECT_EQ(f.entry->GetX(0), 50);
    EXPECT_EQ(f.entry->GetY(0), 255);
    EXPECT_EQ(f.entry->GetY(1), 255);
    EXPECT_TRUE(f.cal.dataModified());
    f.entry->AddToAll(-3.0f); // yMin 0, yMax 256: -3 raw steps
    EXPECT_EQ(f.entry->GetY(0), 252);

    Fixture c(EntryType::Constant8, {0x65});
    c.entry->ScaleAll(1.0f, 0.5f);
    EXPECT_EQ(c.byte(0), 0x32);

    Fixture unknown(EntryType::Unknown, {1, 2, 3});
    unknown.entry->AddToAll(5);
    EXPECT_FALSE(unknown.cal.dataModified());
}

TEST(CalEntryEditing, CellsStopAtTheirRange) {
    Fixture s(EntryType::Table3D, {3, 3, 0xFF, 0x7F, 0x80, 0, 0, 0, 0, 0, 0, 0});
    s.entry->AddToCell(0, 0, 1);
    s.entry->AddToCell(1, 0, -1);
    EXPECT_EQ(s.entry->GetCell(0, 0), 127);
    EXPECT_EQ(s.entry->GetCell(1, 0), -128);
    Fixture u(EntryType::Table3D, {3, 3, 0x00, 0xFF, 0x00, 0, 0, 0, 0, 0, 0, 0});
    u.entry->AddToCell(0, 0, 1);
    u.entry->AddToCell(1, 0, -1);
    EXPECT_EQ(u.entry->GetCell(0, 0), 255);
    EXPECT_EQ(u.entry->GetCell(1, 0), 0);
}

// Entries that reach outside the image: reads see erased memory, writes are dropped,
// and the layout is reported as not in the image.
TEST(CalEntryBounds, LayoutsOutsideTheImageAreNeverTouched) {
    struct Case {
        const char* what;
        EntryType type;
        int address;
        std::vector<std::uint8_t> bytes;
    };
    const Case cases[] = {
        {"below the base", EntryType::Unsigned8Table, 0xBFFE, {}},
        {"count reaches past the end", EntryType::Unsigned8Table, 0xC00E, {}},
        {"16-bit without terminator", EntryType::Unsigned16Table, 0xC000, {}},
        {"3D cells past the end", EntryType::Table3D, 0xC00C, {}},
        {"constant straddling the end", EntryType::Constant16, 0xC00F, {}},
        {"far past the end", EntryType::FlagByte, 0xF000, {}},
    };
    for (const auto& c : cases) {
        Calibration cal;
        std::vector<std::uint8_t> img(16, 0x05);
        img[14] = 8; // a count of 8 at 0xC00E, dimensions 8x8 at 0xC00C/D
        img[12] = 8;
        img[13] = 8;
        cal.SetImage(img);
        cal.readOnly = false;
        CalEntry* e = cal.NewEntry();
        e->type = c.type;
        e->Relocate(c.address);
        EXPECT_FALSE(e->inImage()) << c.what;
        const int p = e->PointCount();
        for (int i = 0; i < p; ++i) {
            e->OffsetPoint(i, 1, 1);
            e->SetPointY(i, 1000);
            e->ScalePoint(i, 2, 2);
        }
        e->AddToAll(3);
        e->RecomputeSlopes();
        for (int r = 0; r < 8; ++r)
            for (int col = 0; col < 8; ++col)
                e->AddToCell(col, r, 1);
        EXPECT_EQ(cal.image(), img) << c.what;
        EXPECT_FALSE(cal.dataModified()) << c.what;
    }
}
