// Modify All Points on a 3D table: every cell scaled, set or shifted, clamped.
#include "Calibration.h"

#include <gtest/gtest.h>
#include <vector>

using namespace tevra;

namespace {

// A 3 x 2 grid (rows 2, columns 3) at the start of a 16-byte image.
struct Grid {
    Calibration cal;
    CalEntry* entry = nullptr;
    explicit Grid(bool isSigned, std::vector<std::uint8_t> cells, bool editable = true) {
        std::vector<std::uint8_t> bytes{2, 3, static_cast<std::uint8_t>(isSigned ? 0xFF : 0x00)};
        bytes.insert(bytes.end(), cells.begin(), cells.end());
        bytes.resize(16, 0xEE);
        cal.SetImage(std::move(bytes));
        cal.readOnly = !editable;
        entry = cal.NewEntry();
        entry->type = EntryType::Table3D;
        entry->Relocate(0xC000);
    }
    std::vector<int> cells() const {
        std::vector<int> out;
        for (int r = 0; r < 2; ++r)
            for (int c = 0; c < 3; ++c)
                out.push_back(entry->GetCell(c, r));
        return out;
    }
};

enum class Op { Scale, Set, Add };

struct CellCase {
    const char* name;
    bool isSigned;
    std::vector<std::uint8_t> cells;
    Op op;
    float value;
    std::vector<int> expected;
};

void apply(CalEntry& e, Op op, float v) {
    switch (op) {
    case Op::Scale:
        e.ScaleCells(v);
        break;
    case Op::Set:
        e.SetAllCells(v);
        break;
    case Op::Add:
        e.AddToAllCells(v);
        break;
    }
}

class CellEdits : public ::testing::TestWithParam<CellCase> {};

} // namespace

TEST_P(CellEdits, ChangeEveryCellWithinTheCellRange) {
    const CellCase& c = GetParam();
    Grid g(c.isSigned, c.cells);
    apply(*g.entry, c.op, c.value);
    EXPECT_EQ(g.cells(), c.expected);
    EXPECT_TRUE(g.cal.dataModified());
    // The header and the bytes after the grid stay as they were.
    EXPECT_EQ(g.cal.imageByte(0), 2);
    EXPECT_EQ(g.cal.imageByte(2), c.isSigned ? 0xFF : 0x00);
    EXPECT_EQ(g.cal.imageByte(9), 0xEE);
}

INSTANTIATE_TEST_SUITE_P(Table3D, CellEdits,
                         ::testing::Values(CellCase{"ScaleUnsignedTruncatesAndStopsAt255",
                                                    false,
                                                    {0, 1, 3, 100, 128, 200},
                                                    Op::Scale,
                                                    1.5f,
                                                    {0, 1, 4, 150, 192, 255}},
                                           CellCase{"ScaleSignedKeepsTheSignAndStopsAtMinus128",
                                                    true,
                                                    {0x9C, 0xFF, 0, 1, 3, 0x7F},
                                                    Op::Scale,
                                                    2.0f,
                                                    {-128, -2, 0, 2, 6, 127}},
                                           CellCase{"ScaleByZeroClearsEveryCell",
                                                    true,
                                                    {0x80, 5, 0, 1, 3, 0x7F},
                                                    Op::Scale,
                                                    0.0f,
                                                    {0, 0, 0, 0, 0, 0}},
                                           CellCase{"SetTruncatesTheTypedValue",
                                                    false,
                                                    {0, 1, 2, 3, 4, 5},
                                                    Op::Set,
                                                    17.9f,
                                                    {17, 17, 17, 17, 17, 17}},
                                           CellCase{"SetNegativeOnUnsignedStopsAtZero",
                                                    false,
                                                    {9, 9, 9, 9, 9, 9},
                                                    Op::Set,
                                                    -5.0f,
                                                    {0, 0, 0, 0, 0, 0}},
                                           CellCase{"SetNegativeOnSignedStoresIt",
                                                    true,
                                                    {9, 9, 9, 9, 9, 9},
                                                    Op::Set,
                                                    -5.0f,
                                                    {-5, -5, -5, -5, -5, -5}},
                                           CellCase{"AddStopsAtBothEndsOfUnsigned",
                                                    false,
                                                    {0, 1, 250, 255, 3, 100},
                                                    Op::Add,
                                                    10.0f,
                                                    {10, 11, 255, 255, 13, 110}},
                                           CellCase{"SubtractStopsAtMinus128OfSigned",
                                                    true,
                                                    {0x80, 0x85, 0, 0x7F, 3, 0xF6},
                                                    Op::Add,
                                                    -10.0f,
                                                    {-128, -128, -10, 117, -7, -20}},
                                           CellCase{"HugeAmountsSaturate",
                                                    false,
                                                    {0, 1, 2, 3, 4, 5},
                                                    Op::Add,
                                                    1.0e30f,
                                                    {255, 255, 255, 255, 255, 255}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CellEditsRefused, ReadOnlyOrOtherTypesOrGridOutsideTheImageChangeNothing) {
    {
        Grid g(false, {1, 2, 3, 4, 5, 6}, /*editable=*/false);
        g.entry->AddToAllCells(1);
        g.entry->SetAllCells(9);
        g.entry->ScaleCells(2);
        EXPECT_EQ(g.cells(), (std::vector<int>{1, 2, 3, 4, 5, 6}));
        EXPECT_FALSE(g.cal.dataModified());
    }
    {
        Grid g(false, {1, 2, 3, 4, 5, 6});
        g.entry->type = EntryType::Unsigned8Table;
        g.entry->SetAllCells(9);
        g.entry->type = EntryType::Table3D;
        EXPECT_EQ(g.cells(), (std::vector<int>{1, 2, 3, 4, 5, 6}));
        EXPECT_FALSE(g.cal.dataModified());
    }
    {
        // 5 x 5 cells declared, 13 bytes of image left: the grid is not edited at all.
        Grid g(false, {1, 2, 3, 4, 5, 6});
        g.cal.setImageByte(0, 5);
        g.cal.setImageByte(1, 5);
        const std::vector<std::uint8_t> before = g.cal.image();
        g.entry->SetAllCells(0);
        EXPECT_EQ(g.cal.image(), before);
        EXPECT_FALSE(g.cal.dataModified());
    }
}
