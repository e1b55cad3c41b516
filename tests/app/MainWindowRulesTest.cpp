#include "MainWindowRules.h"

#include "Calibration.h"

#include <functional>
#include <gtest/gtest.h>
#include <vector>

namespace tevra {
namespace {

TEST(MainWindowRules, ProposesTheBaseAddressFromTheImage) {
    struct Case {
        const char* path;
        std::size_t length;
        std::int32_t readerBase;
        std::int32_t expected;
    };
    const Case cases[] = {
        {"/c/a.bin", 0x4000, 0xC000, 0xC000}, {"/c/a.bin", 0x8000, 0xC000, 0x8000},
        {"/c/a.bin", 0x2000, 0xC000, 0xE000}, {"/c/a.S19", 0x4000, 0x9000, 0x9000},
        {"/c/a.s19", 0x2000, 0x8000, 0x8000}, {"/c/no-extension", 0x1000, 0xC000, 0xF000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        Calibration cal;
        cal.SetImage(std::vector<std::uint8_t>(c.length));
        cal.baseAddress = c.readerBase;
        EXPECT_EQ(proposedBaseAddress(c.path, cal), c.expected);
    }
}

// The scan compares fingerprints to decide whether the definitions changed, so
// every field a scan can copy into an entry must show in it, and a trial entry
// it deletes again must not.
TEST(MainWindowRules, DefinitionsFingerprintSeesEveryCopiedField) {
    struct Case {
        const char* what;
        std::function<void(Calibration&)> change;
        bool changed;
    };
    const auto first = [](Calibration& c) { return c.EntryAt(0); };
    const Case cases[] = {
        {"type", [&](Calibration& c) { first(c)->type = EntryType::Signed8Table; }, true},
        {"name", [&](Calibration& c) { first(c)->name = "Spark"; }, true},
        {"axis text", [&](Calibration& c) { first(c)->xMax = "255"; }, true},
        {"text moved between fields",
         [&](Calibration& c) {
             first(c)->xName = "INX";
             first(c)->xMin = "";
         },
         true},
        {"unit", [&](Calibration& c) { first(c)->yUnit = "deg"; }, true},
        {"description", [&](Calibration& c) { first(c)->description = "Advance"; }, true},
        {"item name", [&](Calibration& c) { first(c)->itemNames[7] = "Fan"; }, true},
        {"item value", [&](Calibration& c) { first(c)->itemValues[3] = 9; }, true},
        {"entry added", [](Calibration& c) { c.NewEntry(); }, true},
        {"entry deleted", [&](Calibration& c) { c.DeleteEntry(first(c)); }, true},
        {"trial entry deleted again", [](Calibration& c) { c.DeleteEntry(c.NewEntry()); }, false},
        {"cross-identification mark", [&](Calibration& c) { first(c)->matched = true; }, false},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        Calibration cal;
        cal.SetImage(std::vector<std::uint8_t>(0x4000));
        CalEntry* e = cal.NewEntry();
        e->name = "Fuel";
        e->xName = "IN";
        e->xMin = "X";
        const std::uint64_t before = definitionsFingerprint(cal);
        k.change(cal);
        EXPECT_EQ(definitionsFingerprint(cal) != before, k.changed);
    }
}

} // namespace
} // namespace tevra
