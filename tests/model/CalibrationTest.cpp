// The calibration document: slots, rebasing, checksum and CRC.
#include "Calibration.h"

#include "Crc32.h"

#include <gtest/gtest.h>
#include <numeric>
#include <string>

using namespace tevra;

TEST(CalibrationEntries, DeletedSlotsAreReusedAndTheCountIsAHighWaterMark) {
    Calibration cal;
    CalEntry* e[5];
    for (auto& p : e)
        p = cal.NewEntry();
    cal.DeleteEntry(e[3]);
    EXPECT_EQ(cal.entryCount(), 5);
    EXPECT_EQ(cal.EntryAt(3), nullptr);
    CalEntry* again = cal.NewEntry();
    EXPECT_EQ(cal.EntryAt(3), again);
    EXPECT_EQ(cal.EntryAt(-1), nullptr);
    EXPECT_EQ(cal.EntryAt(5), nullptr);

    for (int i = 5; i < Calibration::kMaxEntries; ++i)
        ASSERT_NE(cal.NewEntry(), nullptr);
    EXPECT_EQ(cal.NewEntry(), nullptr);
}

TEST(CalibrationEntries, FindByNameIgnoresCase) {
    Calibration cal;
    CalEntry* a = cal.NewEntry();
    a->name = "New Table";
    EXPECT_EQ(cal.FindByName("new table", nullptr), a);
    EXPECT_EQ(cal.FindByName("NEW TABLE", a), nullptr);
}

TEST(CalibrationRebase, EntriesKeepTheirOffsets) {
    Calibration cal;
    cal.SetImage(std::vector<std::uint8_t>(0x4000, 0));
    CalEntry* low = cal.NewEntry();
    low->Relocate(0xC010);
    CalEntry* high = cal.NewEntry();
    high->Relocate(0xC100);

    EXPECT_TRUE(cal.Rebase(0xC000, false)); // same base: nothing changes
    EXPECT_EQ(low->address, 0xC010);

    EXPECT_TRUE(cal.Rebase(0x8000, false));
    EXPECT_EQ(low->address, 0x8010);
    EXPECT_EQ(cal.baseAddress, 0x8000);

    // Moving to 0xFF00 pushes offsets of 0x100 and more past 0xFFFF.
    EXPECT_FALSE(cal.Rebase(0x10000 - 0x100, true));
    EXPECT_EQ(cal.baseAddress, 0x8000);
    EXPECT_TRUE(cal.Rebase(0x10000 - 0x100, false));
    EXPECT_EQ(cal.EntryAt(0), low);
    EXPECT_EQ(low->address, 0xFF10);
    EXPECT_EQ(cal.EntryAt(1), nullptr);
}

namespace {
int countedSum(const Calibration& cal, bool skipWindow) {
    int sum = 0;
    for (int i = 0; i < cal.imageLength(); ++i) {
        const int a = cal.baseAddress + i;
        if (skipWindow && a >= 0xB600 && a <= 0xB7FF)
            continue;
        sum += cal.image()[i];
    }
    return sum & 0xFF;
}
} // namespace

TEST(CalibrationChecksum, SumIsMadeFF) {
    struct Case {
        int base, length, checksum, fixup;
        bool window;
    };
    const Case cases[] = {
        {0x8000, 0x8000, 0x8010, 0x8011, true},
        {0xC000, 0x4000, 0xC010, 0xC011, false},
        {0xC000, 0x4000, 0xC020, 0xC020, false},
    };
    for (const auto& c : cases) {
        Calibration cal;
        cal.baseAddress = c.base;
        std::vector<std::uint8_t> img(c.length);
        for (int i = 0; i < c.length; ++i)
            img[i] = static_cast<std::uint8_t>(i * 7 + 3);
        cal.SetImage(img);
        cal.checksumAddress = c.checksum;
        cal.fixupAddress = c.fixup;
        cal.ApplyChecksum();
        if (c.checksum == c.fixup) {
            // First forced to 0xFF and counted, then overwritten by the complement.
            EXPECT_NE(cal.image()[c.fixup - c.base], 0xFF);
            continue;
        }
        EXPECT_EQ(cal.image()[c.checksum - c.base], 0xFF);
        EXPECT_EQ(countedSum(cal, c.window), 0xFF);
        if (!c.window)
            continue;
        // Bytes in 0xB600-0xB7FF do not affect a 32 KB image's fix-up byte.
        const auto fix = cal.image()[c.fixup - c.base];
        img = cal.image();
        img[0xB600 - c.base] ^= 0x5A;
        img[0xB7FF - c.base] ^= 0x33;
        cal.SetImage(img);
        cal.ApplyChecksum();
        EXPECT_EQ(cal.image()[c.fixup - c.base], fix);
    }
    // Addresses outside the image: nothing happens.
    Calibration cal;
    cal.SetImage(std::vector<std::uint8_t>(16, 1));
    cal.checksumAddress = 0xB000;
    cal.ApplyChecksum();
    EXPECT_EQ(cal.image(), std::vector<std::uint8_t>(16, 1));
}

TEST(CalibrationCrc, KnownVectorAndEmptyImage) {
    const std::string check = "123456789";
    EXPECT_EQ(Crc32::compute(reinterpret_cast<const std::uint8_t*>(check.data()), check.size()),
              0xCBF43926u);
    Calibration cal;
    EXPECT_EQ(cal.ImageCrc32(), 0u);
}

TEST(CalibrationFlags, CallbackRunsWheneverAFlagIsSet) {
    Calibration cal;
    int calls = 0;
    cal.setModifiedCallback([&] { ++calls; });
    cal.SetDataModified(false);
    cal.SetDefinitionsModified(true);
    EXPECT_EQ(calls, 2);
    cal.Clear();
    EXPECT_TRUE(cal.definitionsModified()); // Clear keeps the flags
}
