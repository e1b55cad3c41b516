// The values view's model side: typed engineering values to raw and back, the
// edits of a selection, and pasted blocks, against the bytes.
#include "EntryValues.h"

#include "CalEntry.h"
#include "Calibration.h"
#include "TabText.h"

#include <cstdio>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

namespace tevra {
namespace {

// An image of 64 erased bytes with one entry at its start.
struct One {
    Calibration cal;
    CalEntry* entry = nullptr;
    One(EntryType type, std::vector<std::uint8_t> bytes, bool editable = true) {
        bytes.resize(64, 0xFF);
        cal.SetImage(std::move(bytes));
        cal.readOnly = !editable;
        entry = cal.NewEntry();
        entry->type = type;
        entry->Relocate(0xC000);
    }
    int byte(int k) const { return cal.imageByte(k); }
};

// Three points (0, 10), (100, 20), (200, 50) with their slopes.
std::vector<std::uint8_t> eightBit() {
    return {3, 0, 10, 0, 25, 100, 20, 0, 76, 200, 50, 0, 0};
}

// Two real points (X 0, Y 0x0100), (X 128, Y 0x0200) and the end point.
std::vector<std::uint8_t> sixteenBit() {
    return {0, 0x01, 0x00, 0x02, 0x00, 128, 0x02, 0x00, 0x01, 0x00, 0xFF};
}

// A 3 x 3 grid, unsigned or signed.
std::vector<std::uint8_t> grid(bool isSigned, std::vector<std::uint8_t> cells) {
    std::vector<std::uint8_t> b{3, 3, static_cast<std::uint8_t>(isSigned ? 0xFF : 0)};
    b.insert(b.end(), cells.begin(), cells.end());
    return b;
}

// The text the view shows for a value.
std::string shownText(double v, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, v);
    return text;
}

TEST(EntryValues, TypedValuesBecomeTheNearestRawValueAndReadBackAsStored) {
    struct Case {
        const char* what;
        EntryType type;
        std::vector<std::uint8_t> bytes;
        const char* yMin;
        const char* yMax;
        int column, row;
        double typed;
        int expectedRaw;
    };
    const Case cases[] = {
        {"8-bit Y nearest", EntryType::Unsigned8Table, eightBit(), "0", "100", 1, 1, 30.0, 77},
        {"8-bit Y above range clamps", EntryType::Unsigned8Table, eightBit(), "0", "100", 1, 1,
         500.0, 255},
        {"8-bit Y below range clamps", EntryType::Unsigned8Table, eightBit(), "0", "100", 1, 1,
         -5.0, 0},
        {"X in engineering units", EntryType::Unsigned8Table, eightBit(), "0", "100", 0, 1, 500.0,
         128},
        {"X beyond its right neighbour is refused", EntryType::Unsigned8Table, eightBit(), "0",
         "100", 0, 1, 900.0, 100},
        {"signed Y with offset", EntryType::Signed8Table, eightBit(), "-64", "64", 1, 0, -32.0,
         -64},
        {"16-bit Y keeps its order", EntryType::Unsigned16Table, sixteenBit(), "0", "12288", 1, 0,
         600.0, 0x0100},
        {"16-bit Y in order", EntryType::Unsigned16Table, sixteenBit(), "0", "12288", 1, 0, 300.0,
         300},
        {"16-bit end point sets the slope", EntryType::Unsigned16Table, sixteenBit(), "0", "12288",
         1, 2, 0x0200 + 254.0, 0x0200 + 254},
        {"16-bit end point slope saturates", EntryType::Unsigned16Table, sixteenBit(), "0", "12288",
         1, 2, 1.0e7, 0x0200 + 65535 * 127 / 256},
        {"constant on its bar's scale", EntryType::Constant8, {0}, "100", "355", 0, 0, 226.0, 126},
        {"16-bit constant clamps", EntryType::Constant16, {0, 0}, "0", "65535", 0, 0, 1.0e9, 65535},
        {"3D cell", EntryType::Table3D, grid(false, {}), "0", "1", 1, 2, 99.6, 100},
        {"signed 3D cell clamps", EntryType::Table3D, grid(true, {}), "0", "1", 0, 0, -300.0, -128},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        One one(c.type, c.bytes);
        one.entry->xMin = "0";
        one.entry->xMax = "1000";
        one.entry->yMin = c.yMin;
        one.entry->yMax = c.yMax;
        EntryValues values(*one.entry);
        values.enter(c.column, c.row, c.typed);
        EXPECT_EQ(values.raw(c.column, c.row), c.expectedRaw);
        EXPECT_TRUE(one.cal.dataModified());
    }
}

TEST(EntryValues, ShownValuesTypedBackStoreTheSameBytes) {
    for (const char* range : {"100", "7.5", "12288", "3"}) {
        SCOPED_TRACE(range);
        One one(EntryType::Unsigned16Table, sixteenBit());
        one.entry->yMax = range;
        EntryValues values(*one.entry);
        for (int raw = 0x0100; raw < 0x0140; ++raw) {
            one.entry->SetY(0, raw, false);
            const double shown = std::stod(shownText(values.eng(1, 0), values.decimals(1)));
            values.enter(1, 0, shown);
            ASSERT_EQ(values.raw(1, 0), raw);
        }
    }
}

TEST(EntryValues, NothingChangesOnAReadOnlyCalibration) {
    One one(EntryType::Unsigned8Table, eightBit(), false);
    EntryValues values(*one.entry);
    const std::vector<std::uint8_t> before = one.cal.image();
    values.enter(1, 0, 99);
    values.step({0, 0, 1, 2}, 5);
    values.set({0, 0, 1, 2}, 7);
    values.interpolate({1, 0, 1, 2});
    EXPECT_EQ(values.paste(1, 0, {{1}, {2}}), "");
    EXPECT_EQ(one.cal.image(), before);
    EXPECT_FALSE(one.cal.dataModified());
}

TEST(EntryValues, SelectionEditsChangeTheSelectedValuesAndKeepSlopes) {
    struct Case {
        const char* what;
        std::function<void(EntryValues&)> edit;
        std::vector<int> y; // Y of the three points after the edit
    };
    const Case cases[] = {
        {"one raw step up, X column selected too",
         [](EntryValues& v) {
             v.step({0, 0, 1, 1}, 1);
         },
         {11, 21, 50}},
        {"add an amount in engineering units",
         [](EntryValues& v) {
             v.add({1, 1, 1, 2}, 10.0);
         },
         {10, 46, 76}},
        {"set",
         [](EntryValues& v) {
             v.set({1, 0, 1, 2}, 50.0);
         },
         {128, 128, 128}},
        {"multiply by a percentage",
         [](EntryValues& v) {
             v.scale({1, 2, 1, 2}, 50.0);
         },
         {10, 20, 25}},
        {"interpolate along X, not by index",
         [](EntryValues& v) {
             EXPECT_TRUE(v.interpolate({1, 0, 1, 2}));
         },
         {10, 30, 50}},
        {"a single point does not interpolate",
         [](EntryValues& v) {
             EXPECT_FALSE(v.interpolate({1, 1, 1, 1}));
         },
         {10, 20, 50}},
        {"clamped at the byte range",
         [](EntryValues& v) {
             v.step({1, 0, 1, 2}, 300);
         },
         {255, 255, 255}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        One one(EntryType::Unsigned8Table, eightBit());
        one.entry->xMax = "1000";
        one.entry->yMax = "100";
        EntryValues values(*one.entry);
        c.edit(values);
        EXPECT_EQ((std::vector<int>{one.entry->GetY(0), one.entry->GetY(1), one.entry->GetY(2)}),
                  c.y);
        EXPECT_EQ(one.entry->GetX(1), 100); // X never moves
        // The controller reads the slopes: they follow every edit.
        for (int k = 0; k < 2; ++k) {
            const int slope = static_cast<std::int16_t>(one.entry->GetSlope(k));
            EXPECT_EQ(slope,
                      (c.y[k + 1] - c.y[k]) * 256 / (one.entry->GetX(k + 1) - one.entry->GetX(k)));
        }
    }
}

TEST(EntryValues, GridInterpolatesAlongARowAndBilinearlyOverABlock) {
    One row(EntryType::Table3D, grid(false, {0, 7, 40, 1, 2, 3, 9, 9, 9}));
    EXPECT_TRUE(EntryValues(*row.entry).interpolate({0, 0, 2, 0}));
    EXPECT_EQ((std::vector<int>{row.byte(3), row.byte(4), row.byte(5), row.byte(6)}),
              (std::vector<int>{0, 20, 40, 1}));

    One block(EntryType::Table3D, grid(true, {0, 0, 0xEC, 0, 0, 0, 20, 0, 100}));
    EXPECT_TRUE(EntryValues(*block.entry).interpolate({0, 0, 2, 2}));
    std::vector<int> cells;
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            cells.push_back(block.entry->GetCell(c, r));
    // Corners 0, -20 / 20, 100: the middle is their mean, the edges their halves.
    EXPECT_EQ(cells, (std::vector<int>{0, -10, -20, 10, 25, 40, 20, 60, 100}));
}

TEST(EntryValues, PasteStoresAllOrNothing) {
    struct Case {
        const char* what;
        int column, row;
        std::vector<std::vector<double>> block;
        std::string errorStart; // empty: stored
        std::vector<int> xy;    // X and Y of the three points afterwards
    };
    const std::vector<int> unchanged{0, 10, 100, 20, 200, 50};
    const Case cases[] = {
        {"Y column", 1, 1, {{30}, {40}}, "", {0, 10, 100, 30, 200, 40}},
        {"X and Y", 0, 0, {{0, 1}, {50, 2}}, "", {0, 1, 50, 2, 200, 50}},
        {"too many rows", 1, 1, {{1}, {2}, {3}}, "The pasted block of 1 x 3 values", unchanged},
        {"too many columns", 1, 0, {{1, 2}}, "The pasted block of 2 x 1 values", unchanged},
        {"X out of order", 0, 0, {{300, 1}, {10, 2}}, "The pasted X values", unchanged},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        One one(EntryType::Unsigned8Table, eightBit());
        one.entry->xMax = "256";
        one.entry->yMax = "256";
        const std::string error = EntryValues(*one.entry).paste(c.column, c.row, c.block);
        EXPECT_EQ(error.substr(0, c.errorStart.size()), c.errorStart);
        EXPECT_EQ(error.empty(), c.errorStart.empty());
        std::vector<int> xy;
        for (int i = 0; i < 3; ++i) {
            xy.push_back(one.entry->GetX(i));
            xy.push_back(one.entry->GetY(i));
        }
        EXPECT_EQ(xy, c.xy);
        EXPECT_EQ(one.cal.dataModified(), c.errorStart.empty());
    }
}

TEST(TabText, ReadsTypedNumbersAndTabSeparatedBlocks) {
    struct NumberCase {
        const char* text;
        bool hex;
        std::optional<double> value;
    };
    const NumberCase numbers[] = {
        {" 12.5 ", false, 12.5}, {"-3", false, -3.0}, {"+4e2", false, 400.0}, {".5", false, 0.5},
        {"12a", false, {}},      {"", false, {}},     {"inf", false, {}},     {"nan", false, {}},
        {"1,5", false, {}},      {"fe", true, 254.0}, {"0x1F", true, 31.0},   {"-10", true, -16.0},
        {"g1", true, {}},        {"abc", false, {}},
    };
    for (const NumberCase& c : numbers) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(TabText::parseNumber(c.text, c.hex), c.value);
    }

    const TabText::Block ok = TabText::parseBlock("1\t2\r\n3\t4.5\r\n");
    EXPECT_EQ(ok.error, "");
    EXPECT_EQ(ok.rows, (std::vector<std::vector<double>>{{1, 2}, {3, 4.5}}));
    EXPECT_EQ(TabText::parseBlock("1\t2\n3\n").error, "Line 2 holds 1 values, the first line 2.");
    EXPECT_EQ(TabText::parseBlock("1\tx\n").error, "Line 1, value 2 is not a number: \"x\".");
    EXPECT_EQ(TabText::parseBlock("").error, "There are no values to paste.");
    EXPECT_EQ(TabText::formatBlock({{"1", "2.50"}, {"3", "4"}}), "1\t2.50\n3\t4\n");
}

} // namespace
} // namespace tevra
