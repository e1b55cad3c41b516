// Comparing two calibrations: what each kind of edit shows as, how entries are
// paired, the bytes outside every entry, and the extents the comparison rests on.
#include "CalibrationDiff.h"

#include "Calibration.h"
#include "EntryExtent.h"

#include <functional>
#include <gtest/gtest.h>

using namespace tevra;
using Kind = CalibrationDiff::Kind;

namespace {

const std::string kDemo = std::string(TEVRA_SOURCE_DIR) + "/resources/demo/demo.bin";

// The demo calibration opened as the editor opens it.
struct Demo : Calibration {
    Demo() { EXPECT_TRUE(OpenCalibration(kDemo)); }
    CalEntry& entry(const char* name) { return *FindByName(name, nullptr); }
    void poke(std::int32_t address, int v) { setImageByte(address - baseAddress, v); }
};

} // namespace

TEST(CalibrationDiff, IdenticalCalibrationsAreTheSame) {
    Demo a, b;
    EXPECT_TRUE(CalibrationDiff::compare(a, b).same());
}

TEST(CalibrationDiff, EachKindOfEditShowsAsItsOwnChange) {
    struct Case {
        const char* what;
        std::function<void(Demo&)> edit;
        const char* entry;
        Kind kind;
        int index;
        int oldRaw, newRaw;
    };
    const Case cases[] = {
        {"8-bit point Y", [](Demo& d) { d.poke(0xC100 + 1 + 4 * 3 + 1, 52); }, "Spark Advance",
         Kind::Point, 3, 50, 52},
        {"slope word alone", [](Demo& d) { d.poke(0xC100 + 1 + 4 * 2 + 3, 0x11); }, "Spark Advance",
         Kind::Slope, 2, -1, -1},
        {"point count", [](Demo& d) { d.poke(0xC100, 9); }, "Spark Advance", Kind::Shape, -1, 10,
         9},
        {"16-bit end point (its slope)", [](Demo& d) { d.poke(0xC140 + 5 * 7 + 3, 0x10); },
         "Fuel Pulse Width", Kind::Point, 8, -1, -1},
        {"3D cell", [](Demo& d) { d.poke(0xC200 + 3 + 8 * 2 + 5, 99); }, "Volumetric Efficiency",
         Kind::Cell, -1, -1, 99},
        {"3D rows", [](Demo& d) { d.poke(0xC200, 7); }, "Volumetric Efficiency", Kind::Shape, -1, 8,
         7},
        {"constant", [](Demo& d) { d.poke(0xC300, 200); }, "Overboost Limit", Kind::Value, -1, 190,
         200},
        {"flag bit 3", [](Demo& d) { d.poke(0xC304, 0x0B ^ 0x08); }, "Option Flags", Kind::Bit, 3,
         1, 0},
        {"value list", [](Demo& d) { d.poke(0xC305, 2); }, "Transmission Type", Kind::Choice, -1, 1,
         2},
        {"unknown bytes", [](Demo& d) { d.poke(0xC310, 0); }, "Unknown Block", Kind::Bytes, -1, 1,
         1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Demo a, b;
        c.edit(b);
        const auto r = CalibrationDiff::compare(a, b);
        ASSERT_EQ(r.entries.size(), 1u);
        const auto& e = r.entries[0];
        EXPECT_EQ(e.name, c.entry);
        const auto hit = std::find_if(e.changes.begin(), e.changes.end(),
                                      [&](const auto& ch) { return ch.kind == c.kind; });
        ASSERT_NE(hit, e.changes.end());
        EXPECT_EQ(hit->index, c.index);
        if (c.oldRaw >= 0) {
            EXPECT_EQ(hit->before.raw, c.oldRaw);
        }
        if (c.newRaw >= 0) {
            EXPECT_EQ(hit->after.raw, c.newRaw);
        }
        EXPECT_TRUE(r.bytesOutsideEntries.empty());
        EXPECT_TRUE(CalibrationDiff::bytesDiffer(a.entry(c.entry), b.entry(c.entry)));
    }
}

TEST(CalibrationDiff, PointsCarryEngineeringValues) {
    Demo a, b;
    b.poke(0xC100 + 1 + 4 * 3 + 1, 52); // Y raw 50 -> 52, 0.5 degree per step
    const auto r = CalibrationDiff::compare(a, b);
    const auto& c = r.entries.at(0).changes.at(0);
    EXPECT_FLOAT_EQ(c.before.x, 1600.0f);
    EXPECT_FLOAT_EQ(c.after.x, 1600.0f);
    EXPECT_FLOAT_EQ(c.before.y, 25.0f);
    EXPECT_FLOAT_EQ(c.after.y, 26.0f);
}

TEST(CalibrationDiff, EntriesPairByNameIgnoringCaseThenByAddress) {
    Demo a, b;
    b.entry("Spark Advance").name = "SPARK ADVANCE"; // same entry, name case differs
    b.entry("Boost Target").name = "Boost Goal";     // renamed: paired by its address
    b.entry("Rev Limit").Relocate(0xC3F0);           // moved and renamed: on one side only
    b.entry("Rev Limit").name = "Rev Cut";
    const auto r = CalibrationDiff::compare(a, b);

    auto changed = [&](const char* name) {
        return std::find_if(r.entries.begin(), r.entries.end(),
                            [&](const auto& e) { return e.name == name; });
    };
    ASSERT_NE(changed("Spark Advance"), r.entries.end());
    EXPECT_EQ(changed("Spark Advance")->changes.at(0).field, "name");
    ASSERT_NE(changed("Boost Target"), r.entries.end());
    EXPECT_EQ(changed("Boost Target")->changes.at(0).newText, "Boost Goal");
    ASSERT_EQ(r.onlyInA.size(), 1u);
    EXPECT_EQ(r.onlyInA[0].name, "Rev Limit");
    ASSERT_EQ(r.onlyInB.size(), 1u);
    EXPECT_EQ(r.onlyInB[0].name, "Rev Cut");
    EXPECT_EQ(r.onlyInB[0].address, 0xC3F0);
}

TEST(CalibrationDiff, BytesOutsideEveryEntryAreReportedAsRanges) {
    Demo a, b;
    b.poke(0xC010, 0x00); // code
    b.poke(0xC011, 0x00);
    b.poke(0xC3FF, 0x42); // an undefined table
    b.poke(0xC101, 0x11); // inside Spark Advance: reported there, not here
    b.poke(0xC311, 0x99); // the Unknown Block covers its first byte only
    const auto r = CalibrationDiff::compare(a, b);
    ASSERT_EQ(r.bytesOutsideEntries.size(), 3u);
    EXPECT_EQ(r.bytesOutsideEntries[0].first, 0xC010);
    EXPECT_EQ(r.bytesOutsideEntries[0].last, 0xC011);
    EXPECT_EQ(r.bytesOutsideEntries[1].first, 0xC311);
    EXPECT_EQ(r.bytesOutsideEntries[2].first, 0xC3FF);
}

TEST(CalibrationDiff, EntriesOutsideTheImageAreNotReadAndSaySo) {
    Demo a, b;
    b.entry("Knock Retard").Relocate(0xFFF0); // 6 x 10 cells cannot fit before 0x10000
    const auto r = CalibrationDiff::compare(a, b);
    ASSERT_EQ(r.entries.size(), 1u);
    const auto& changes = r.entries[0].changes;
    EXPECT_TRUE(std::any_of(changes.begin(), changes.end(), [](const auto& c) {
        return c.kind == Kind::Outside && c.oldText == "inside" && c.newText == "outside";
    }));
    EXPECT_FALSE(std::any_of(changes.begin(), changes.end(),
                             [](const auto& c) { return c.kind == Kind::Cell; }));
}

TEST(CalibrationDiff, ImagesOfDifferentLengthsAndEmptyImages) {
    Calibration empty1, empty2;
    empty1.SetImage({});
    empty2.SetImage({});
    EXPECT_TRUE(CalibrationDiff::compare(empty1, empty2).same());

    Calibration shortOne, longOne;
    shortOne.SetImage(std::vector<std::uint8_t>(4, 0xAA));
    longOne.SetImage(std::vector<std::uint8_t>(6, 0xAA));
    const auto r = CalibrationDiff::compare(shortOne, longOne);
    ASSERT_EQ(r.bytesOutsideEntries.size(), 1u);
    EXPECT_EQ(r.bytesOutsideEntries[0].first, 0xC004);
    EXPECT_EQ(r.bytesOutsideEntries[0].last, 0xC005);
    EXPECT_EQ(r.settings.at(0).field, "imageLength");
}

TEST(EntryExtent, CoversTheLayoutOfEachType) {
    Demo d;
    struct Case {
        const char* name;
        std::int64_t length;
    };
    const Case cases[] = {{"Spark Advance", 1 + 4 * 10},
                          {"Fuel Pulse Width", 5 * 8 + 1},
                          {"Volumetric Efficiency", 3 + 64},
                          {"Knock Retard", 3 + 60},
                          {"Rev Limit", 2},
                          {"Option Flags", 1},
                          {"Unknown Block", 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const EntryExtent x = EntryExtent::of(d.entry(c.name));
        EXPECT_EQ(x.length, c.length);
        EXPECT_TRUE(x.complete);
    }
}

TEST(EntryExtent, SixteenBitTableWithoutTerminatorEndsWithTheImage) {
    Calibration cal;
    cal.SetImage(std::vector<std::uint8_t>(12, 0x10)); // no X byte of 0xFF anywhere
    CalEntry* e = cal.NewEntry();
    e->type = EntryType::Unsigned16Table;
    e->Relocate(0xC002);
    const EntryExtent x = EntryExtent::of(*e);
    EXPECT_TRUE(x.unterminated);
    EXPECT_FALSE(x.complete);
    EXPECT_EQ(x.end(), 12);

    e->Relocate(0xC100); // wholly outside: neither complete nor unterminated
    EXPECT_FALSE(EntryExtent::of(*e).unterminated);
    EXPECT_FALSE(EntryExtent::of(*e).complete);
}

TEST(CalibrationDiff, AnEntryDiffersFromItsComparisonPartnerByName) {
    Demo primary, comparison;
    comparison.poke(0xC100 + 2, 21); // Spark Advance, first Y
    comparison.entry("Boost Target").name = "boost TARGET";
    comparison.poke(0xC1C0 + 2, 0);
    comparison.entry("Rev Limit").name = "Rev Cut"; // no partner: not marked
    comparison.poke(0xC302, 0);
    struct Case {
        const char* name;
        bool differs;
    };
    for (const Case& c : {Case{"Spark Advance", true}, Case{"Boost Target", true},
                          Case{"Rev Limit", false}, Case{"Fuel Pulse Width", false}}) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(CalibrationDiff::differsFrom(comparison, primary.entry(c.name)), c.differs);
    }
    Calibration none; // no comparison loaded
    EXPECT_FALSE(CalibrationDiff::differsFrom(none, primary.entry("Spark Advance")));
}
