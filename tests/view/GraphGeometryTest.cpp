#include "GraphGeometry.h"

#include "CurvePixels.h"
#include "ViewFixture.h"

#include <gtest/gtest.h>

namespace tevra {
namespace {

const PlotRect kPlot = plotRect(kGraphWidth, kGraphHeight);

TEST(GraphGeometry, ControlAndPlotSize) {
    // 395 x 277 dialog units at 6 x 13 base units, rounded like the dialog manager.
    EXPECT_EQ(kGraphWidth, 593);
    EXPECT_EQ(kGraphHeight, 450);
    EXPECT_EQ(kPlot.left, 40);
    EXPECT_EQ(kPlot.top, 10);
    EXPECT_EQ(kPlot.right, 583);
    EXPECT_EQ(kPlot.bottom, 425);
}

TEST(GraphGeometry, RawValueToPixel) {
    struct Case {
        EntryType type;
        int raw;
        int y;
    };
    const Case cases[] = {
        {EntryType::Unsigned8Table, 0, 425},     {EntryType::Unsigned8Table, 128, 217},
        {EntryType::Unsigned8Table, 256, 10},    {EntryType::Signed8Table, -128, 425},
        {EntryType::Signed8Table, 0, 217},       {EntryType::Signed8Table, 127, 11},
        {EntryType::Unsigned16Table, 0, 425},    {EntryType::Unsigned16Table, 6144, 217},
        {EntryType::Unsigned16Table, 12288, 10}, {EntryType::Unsigned16Table, 24576, -405},
    };
    for (const Case& c : cases)
        EXPECT_EQ(pointPixelY(kPlot, c.type, c.raw), c.y)
            << "type " << static_cast<int>(c.type) << " raw " << c.raw;
    EXPECT_EQ(pointPixelX(kPlot, 0), kPlot.left);
    EXPECT_EQ(pointPixelX(kPlot, 128), 311);
    EXPECT_EQ(pointPixelX(kPlot, 256), kPlot.right);
}

TEST(GraphGeometry, ComparisonOverlay) {
    const AxisRanges same{0, 256, 0, 256};
    struct Case {
        AxisRanges secondary;
        PixelPoint in;
        PixelPoint out;
    };
    const Case cases[] = {
        {same, {100, 300}, {100, 300}}, // equal ranges: the same pixel
        {same, {kPlot.right, kPlot.top}, {kPlot.right, kPlot.top}},
        {{0, 256, 0, 512}, {100, 325}, {100, 225}},  // doubled Y range: twice as high
        {{128, 384, 0, 256}, {40, 300}, {311, 300}}, // X range shifted by half
        {{0, 128, 0, 256}, {583, 300}, {311, 300}},  // X range halved
        {{0, 256, 100, 356}, {40, 425}, {40, 263}},  // Y range raised
    };
    for (const Case& c : cases)
        EXPECT_EQ(overlayPixel(kPlot, c.in, same, c.secondary), c.out) << c.in.x << "," << c.in.y;
    EXPECT_TRUE(overlayPossible(same));
    EXPECT_FALSE(overlayPossible({5, 5, 0, 256}));
    EXPECT_FALSE(overlayPossible({0, 256, 7, 7}));
}

TEST(GraphGeometry, ConstantBar) {
    EXPECT_EQ(constantBarHalfWidth(kPlot, EntryType::Constant8), 27);
    EXPECT_EQ(constantBarHalfWidth(kPlot, EntryType::Constant16), 54);
    EXPECT_EQ(constantBarTop(kPlot, EntryType::Constant8, 0), kPlot.bottom);
    EXPECT_EQ(constantBarTop(kPlot, EntryType::Constant8, 0xFF), kPlot.bottom - 255 * 415 / 256);
    EXPECT_EQ(constantBarTop(kPlot, EntryType::Constant16, 0xFFFF),
              kPlot.bottom - 415 * 65535 / 65536);
}

TEST(GraphGeometry, BoxHitTest) {
    const PixelPoint o = boxOrigin(kPlot);
    EXPECT_EQ(o, (PixelPoint{176, 114}));
    struct Case {
        int x, y, box;
    };
    const Case cases[] = {
        {o.x, o.y, 0},
        {o.x + 24, o.y + 24, 0},
        {o.x + 25, o.y, -1},
        {o.x, o.y + 25, -1},
        {o.x - 1, o.y, -1},
        {o.x + 10, o.y + 90, 3},
        {o.x + 10, o.y + 234, 7},
        {o.x + 10, o.y + 240, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(boxAt(kPlot, c.x, c.y), c.box) << c.x << "," << c.y;
}

TEST(GraphGeometry, GridAndCellHitTest) {
    for (int side : {2, 33, 0, -1})
        EXPECT_FALSE(gridRect(593, 450, side, 8).valid) << side;
    EXPECT_TRUE(gridRect(593, 450, 32, 32).valid);
    const GridRect g = gridRect(593, 450, 3, 4);
    ASSERT_TRUE(g.valid);
    EXPECT_EQ(g.x0, 296 - 31);
    EXPECT_EQ(g.y0, 225 - 42);
    struct Case {
        int x, y;
        bool hit;
        CellIndex cell;
    };
    const Case cases[] = {
        {g.x0, g.y0, true, {0, 0}},           {g.x0 + 20, g.y0 + 20, true, {0, 0}},
        {g.x0 + 21, g.y0 + 63, true, {1, 3}}, {g.x0 + 62, g.y0 + 83, true, {2, 3}},
        {g.x0 + 63, g.y0, false, {}},         {g.x0, g.y0 + 84, false, {}},
        {g.x0 - 1, g.y0, false, {}},
    };
    for (const Case& c : cases) {
        const auto cell = cellAt(g, c.x, c.y);
        ASSERT_EQ(cell.has_value(), c.hit) << c.x << "," << c.y;
        if (c.hit) {
            EXPECT_EQ(*cell, c.cell);
        }
    }
}

TEST(GraphGeometry, PixelToUnitSquare) {
    const GridRect g = gridRect(593, 450, 4, 4);
    struct Case {
        EntryType type;
        int x, y;
        bool inside;
        float fx, fy;
    };
    const Case cases[] = {
        {EntryType::Unsigned8Table, kPlot.left, kPlot.bottom, true, 0.0f, 0.0f},
        {EntryType::Unsigned8Table, kPlot.right, kPlot.top, true, 1.0f, 1.0f},
        {EntryType::Constant8, 311, 217, true, 271.0f / 543, 1.0f - 207.0f / 415},
        {EntryType::Unsigned16Table, kPlot.right + 1, 100, false, 0, 0},
        {EntryType::Signed8Table, 100, kPlot.top - 1, false, 0, 0},
        {EntryType::Unknown, 311, 217, false, 0, 0},
        {static_cast<EntryType>(12), 311, 217, false, 0, 0},
        {EntryType::Table3D, g.x0, g.y0, true, 0.0f, 0.0f},
        {EntryType::Table3D, g.x0 + 42, g.y0 + 63, true, 0.5f, 0.75f}, // rows grow downward
        {EntryType::Table3D, g.x0 + 84, g.y0, false, 0, 0},
    };
    for (const Case& c : cases) {
        const auto u = toUnitSquare(c.type, kPlot, g, c.x, c.y);
        ASSERT_EQ(u.has_value(), c.inside) << c.x << "," << c.y;
        if (c.inside) {
            EXPECT_FLOAT_EQ(u->fx, c.fx);
            EXPECT_FLOAT_EQ(u->fy, c.fy);
        }
    }
    EXPECT_FALSE(toUnitSquare(EntryType::Unsigned8Table, plotRect(50, 35), g, 40, 10));
}

TEST(CurvePixels, SixteenBitEndsOnTheRightEdge) {
    testing::OneEntry f(EntryType::Unsigned16Table, testing::sixteenBitTable());
    const CurvePixels c = curvePixels(*f.entry, kPlot);
    ASSERT_EQ(c.markers.size(), 5u);
    EXPECT_FALSE(c.hasFinish);
    EXPECT_EQ(c.start, (PixelPoint{kPlot.left, kPlot.bottom}));
    EXPECT_EQ(c.markers[1], (PixelPoint{pointPixelX(kPlot, 64),
                                        pointPixelY(kPlot, EntryType::Unsigned16Table, 0x400)}));
    // The line runs on to raw X 256: 0x0C00 + 0x100 * (256 - 192) / 256.
    EXPECT_EQ(c.markers[4],
              (PixelPoint{kPlot.right, pointPixelY(kPlot, EntryType::Unsigned16Table, 0x0C40)}));
}

TEST(CurvePixels, EightBitRunsFlatToTheRightEdge) {
    testing::OneEntry f(EntryType::Unsigned8Table, testing::eightBitTable());
    const CurvePixels c = curvePixels(*f.entry, kPlot);
    ASSERT_EQ(c.markers.size(), 3u);
    ASSERT_TRUE(c.hasFinish);
    EXPECT_EQ(c.start, (PixelPoint{kPlot.left, pointPixelY(kPlot, EntryType::Unsigned8Table, 0)}));
    EXPECT_EQ(c.finish, (PixelPoint{kPlot.right, c.markers[2].y}));
}

TEST(CurvePixels, TablesWithoutRealPointsDrawNothing) {
    testing::OneEntry zeroCount(EntryType::Unsigned8Table, {0});
    EXPECT_TRUE(curvePixels(*zeroCount.entry, kPlot).empty());
    testing::OneEntry endOnly(EntryType::Unsigned16Table, {0xFF});
    EXPECT_TRUE(curvePixels(*endOnly.entry, kPlot).empty());
    testing::OneEntry constant(EntryType::Constant8, {5});
    EXPECT_TRUE(curvePixels(*constant.entry, kPlot).empty());
}

} // namespace
} // namespace tevra
