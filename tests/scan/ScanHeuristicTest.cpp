// Finding tables through the addresses the controller's code loads with LDX #.
#include "Calibration.h"
#include "TempDir.h"

#include <cstdint>
#include <filesystem>
#include <gtest/gtest.h>
#include <vector>

using namespace tevra;

namespace {

std::vector<std::uint8_t> blank16k() {
    return std::vector<std::uint8_t>(0x4000, 0x00);
}

void put(std::vector<std::uint8_t>& img, std::size_t at, std::vector<std::uint8_t> bytes) {
    for (std::uint8_t b : bytes)
        img[at++] = b;
}

int countEntries(const Calibration& cal) {
    int n = 0;
    for (int i = 0; i < cal.entryCount(); ++i)
        n += cal.EntryAt(i) != nullptr;
    return n;
}

} // namespace

TEST(ScanHeuristic, TakesOperandsStrictlyInsideTheImageOnce) {
    auto img = blank16k();
    put(img, 0x100, {2, 0x10, 0x20, 0, 0, 0x30, 0x40, 0, 0}); // an 8-bit table
    put(img, 0x10, {0xCE, 0xC1, 0x00});
    put(img, 0x20, {0xCE, 0xC1, 0x00}); // the same table again
    put(img, 0x30, {0xCE, 0xC0, 0x00}); // the base itself
    put(img, 0x40, {0xCE, 0x00, 0x10}); // below the image
    put(img, 0x50, {0xCE, 0xFF, 0xFF}); // the last byte: inside
    put(img, 0x3FFE, {0xCE, 0xC2});     // no room for an operand
    Calibration cal;
    cal.SetImage(img);
    int calls = 0;
    cal.setModifiedCallback([&] { ++calls; });
    cal.ScanHeuristic();

    ASSERT_EQ(countEntries(cal), 2);
    const CalEntry* table = cal.FindByAddress(0xC100, nullptr);
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->type, EntryType::Unsigned8Table);
    EXPECT_EQ(table->name, "TC100 Unsigned Table");
    EXPECT_EQ(table->GetY(1), 0x40); // positioned in the image
    // Everything else keeps the defaults of a new entry.
    EXPECT_EQ(table->xName, "IN");
    EXPECT_EQ(table->yMax, "256");
    EXPECT_EQ(table->chryslerName, "NAME");
    EXPECT_EQ(table->description, "Description");
    EXPECT_FALSE(table->userFlag);
    EXPECT_NE(cal.FindByAddress(0xFFFF, nullptr), nullptr);
    EXPECT_TRUE(cal.definitionsModified());
    EXPECT_EQ(calls, 1);

    // A second scan finds only known addresses: nothing added, no flag, no callback.
    cal.SetDefinitionsModified(false);
    calls = 0;
    cal.ScanHeuristic();
    EXPECT_EQ(countEntries(cal), 2);
    EXPECT_FALSE(cal.definitionsModified());
    EXPECT_EQ(calls, 0);
}

TEST(ScanHeuristic, NamesEntriesByTheirType) {
    struct Case {
        std::vector<std::uint8_t> bytes;
        EntryType type;
        const char* name;
    };
    const std::vector<Case> cases = {
        {{0x10, 0, 0, 0x01, 0x00, 0x20, 0x00, 0x10, 0, 0, 0xFF},
         EntryType::Unsigned16Table,
         "TC200 16-Bit Table"},
        {{2, 0x10, 0x90, 0, 0, 0x20, 0x90, 0, 0}, EntryType::Signed8Table, "TC200 Signed Table"},
        {{8, 8, 0xFF}, EntryType::Table3D, "TC200 3D Table"},
        {{0, 0, 0}, EntryType::Unknown, "TC200 Unknown Type"},
    };
    for (const Case& c : cases) {
        auto img = blank16k();
        put(img, 0x200, c.bytes);
        put(img, 0x0, {0xCE, 0xC2, 0x00});
        Calibration cal;
        cal.SetImage(img);
        cal.ScanHeuristic();
        const CalEntry* e = cal.FindByAddress(0xC200, nullptr);
        ASSERT_NE(e, nullptr);
        EXPECT_EQ(e->type, c.type);
        EXPECT_EQ(e->name, c.name);
    }
}

TEST(ScanHeuristic, StopsAddingAtTheLastSlotAndIgnoresAMissingImage) {
    Calibration empty;
    empty.ScanHeuristic();
    EXPECT_EQ(empty.entryCount(), 0);
    EXPECT_FALSE(empty.definitionsModified());

    // 1200 different operands in a 32 KB image at 0x8000.
    std::vector<std::uint8_t> img(0x8000, 0x00);
    for (int k = 0; k < 1200; ++k)
        put(img, static_cast<std::size_t>(3 * k),
            {0xCE, static_cast<std::uint8_t>(0x90 + k / 256), static_cast<std::uint8_t>(k)});
    Calibration cal;
    cal.baseAddress = 0x8000;
    cal.SetImage(img);
    cal.ScanHeuristic();
    EXPECT_EQ(countEntries(cal), Calibration::kMaxEntries);
    EXPECT_EQ(cal.NewEntry(), nullptr);
    EXPECT_TRUE(cal.definitionsModified());
}

// The demo calibration's code addresses each of its tables with LDX #; its
// definition file says what each one really is.
TEST(ScanHeuristic, FindsEveryTableOfTheDemoWithItsType) {
    const std::string demo = std::string(TEVRA_SOURCE_DIR) + "/resources/demo/demo";
    Calibration truth;
    ASSERT_TRUE(truth.OpenCalibration(demo + ".bin"));

    // The same image alone, as an unknown calibration would arrive.
    test::TempDir dir;
    std::filesystem::copy_file(demo + ".bin", dir.file("bare.bin"));
    Calibration scanned;
    ASSERT_TRUE(scanned.OpenCalibration(dir.file("bare.bin")));
    ASSERT_EQ(scanned.entryCount(), 0);
    scanned.baseAddress = truth.baseAddress;
    scanned.ScanHeuristic();

    int tables = 0;
    for (int i = 0; i < truth.entryCount(); ++i) {
        const CalEntry* t = truth.EntryAt(i);
        if (!t || !(isTable2D(t->type) || t->type == EntryType::Table3D))
            continue;
        ++tables;
        SCOPED_TRACE(t->name);
        const CalEntry* found = scanned.FindByAddress(t->address, nullptr);
        ASSERT_NE(found, nullptr);
        EXPECT_EQ(found->type, t->type);
    }
    EXPECT_EQ(tables, 6);
}
