// The definitions as one value: what undo of a deleted entry, a rebase or a
// scan puts back must be the calibration as it was, slot for slot.
#include "DefinitionsState.h"

#include "Calibration.h"

#include <gtest/gtest.h>

namespace tevra {
namespace {

struct Fixture {
    Calibration cal;
    Fixture() {
        cal.SetImage(std::vector<std::uint8_t>(0x4000, 0x11));
        for (int i = 0; i < 3; ++i) {
            CalEntry* e = cal.NewEntry();
            e->name = "entry " + std::to_string(i);
            e->type = EntryType::Constant8;
            e->Relocate(0xC000 + 0x1000 * i);
        }
    }
};

TEST(DefinitionsState, RestoresHolesRebaseAndSettings) {
    Fixture f;
    f.cal.DeleteEntry(f.cal.EntryAt(1)); // a hole in the middle
    const DefinitionsState before = f.cal.definitionsState();

    f.cal.description = "changed";
    ASSERT_TRUE(f.cal.Rebase(0xE000, false)); // drops the entry at 0xE000 (beyond 64 KB)
    f.cal.NewEntry()->name = "added";
    EXPECT_FALSE(sameDefinitions(before, f.cal.definitionsState()));

    f.cal.RestoreDefinitions(before);
    EXPECT_TRUE(sameDefinitions(before, f.cal.definitionsState()));
    EXPECT_EQ(f.cal.baseAddress, 0xC000);
    EXPECT_EQ(f.cal.description, "Tevra Calibration");
    ASSERT_EQ(f.cal.entryCount(), 3);
    EXPECT_EQ(f.cal.EntryAt(1), nullptr);
    ASSERT_NE(f.cal.EntryAt(2), nullptr);
    // The restored entries read the image at their addresses again.
    EXPECT_EQ(f.cal.EntryAt(2)->name, "entry 2");
    EXPECT_EQ(f.cal.EntryAt(2)->dataOffset(), 0x2000);
    EXPECT_EQ(f.cal.EntryAt(2)->GetX(0), 0x11);
    EXPECT_EQ(f.cal.EntryAt(2)->owner(), &f.cal);
}

TEST(DefinitionsState, SeesEveryFieldOfAnEntry) {
    Fixture f;
    const DefinitionsState before = f.cal.definitionsState();
    const std::vector<void (*)(CalEntry&)> edits = {
        [](CalEntry& e) { e.name = "x"; },
        [](CalEntry& e) { e.address += 1; },
        [](CalEntry& e) { e.yMax = "9"; },
        [](CalEntry& e) { e.itemNames[7] = "Fan"; },
        [](CalEntry& e) { e.itemValues[3] = 4; },
        [](CalEntry& e) { e.userFlag = !e.userFlag; },
        [](CalEntry& e) { e.type = EntryType::FlagByte; },
    };
    for (std::size_t k = 0; k < edits.size(); ++k) {
        SCOPED_TRACE(k);
        edits[k](*f.cal.EntryAt(0));
        EXPECT_FALSE(sameDefinitions(before, f.cal.definitionsState()));
        f.cal.RestoreDefinitions(before);
        EXPECT_TRUE(sameDefinitions(before, f.cal.definitionsState()));
    }
}

} // namespace
} // namespace tevra
