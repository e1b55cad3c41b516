// Lending names and types from a calibration whose definitions are known.
#include "Calibration.h"
#include "CrossIdentifier.h"
#include "LiteralCrossIdentify.h"
#include "RandomCalibrations.h"
#include "ScriptedPrompter.h"
#include "TempDir.h"
#include "TextRules.h"

#include <cstdint>
#include <filesystem>
#include <gtest/gtest.h>
#include <vector>

using namespace tevra;

namespace {

const std::string kDemo = std::string(TEVRA_SOURCE_DIR) + "/resources/demo/demo";

// Two in-memory calibrations; entries are added with their bytes.
struct Pair {
    Calibration self, other;
    std::vector<std::uint8_t> a = std::vector<std::uint8_t>(0x800, 0);
    std::vector<std::uint8_t> b = std::vector<std::uint8_t>(0x800, 0);

    Pair(std::int32_t selfBase, std::int32_t otherBase) {
        self.baseAddress = selfBase;
        other.baseAddress = otherBase;
    }
    // A flat 8-bit table of n points at height y.
    static void flat(std::vector<std::uint8_t>& img, int at, int n, int y) {
        img[static_cast<std::size_t>(at)] = static_cast<std::uint8_t>(n);
        for (int k = 0; k < n; ++k) {
            img[static_cast<std::size_t>(at + 1 + 4 * k)] =
                static_cast<std::uint8_t>(k * 255 / (n - 1));
            img[static_cast<std::size_t>(at + 2 + 4 * k)] = static_cast<std::uint8_t>(y);
        }
    }
    CalEntry* add(Calibration& cal, EntryType t, int offset, const std::string& name) {
        CalEntry* e = cal.NewEntry();
        e->type = t;
        e->address = cal.baseAddress + offset;
        e->name = name;
        return e;
    }
    void load() {
        self.SetImage(a);
        other.SetImage(b);
    }
};

} // namespace

TEST(CrossIdentify, NamesTheScannedDemoAndAddsItsConstants) {
    test::TempDir dir;
    std::filesystem::copy_file(kDemo + ".bin", dir.file("unknown.bin"));
    Calibration truth;
    ASSERT_TRUE(truth.OpenCalibration(kDemo + ".bin"));
    Calibration cal;
    ASSERT_TRUE(cal.OpenCalibration(dir.file("unknown.bin")));
    cal.readOnly = false;

    cal.CrossIdentify(kDemo + ".bin", 0.5f);

    // Every 2D table and every constant-like item of the demo, under its own name
    // and type; the unknown block is neither scanned nor lent. 3D tables are found
    // but keep their scanned names: their cell total grows with the square of the
    // cell count, so even an identical 8 x 8 partner scores about 0.03.
    for (int i = 0; i < truth.entryCount(); ++i) {
        CalEntry* t = truth.EntryAt(i);
        SCOPED_TRACE(t->name);
        CalEntry* e = cal.FindByAddress(t->address, nullptr);
        if (t->type == EntryType::Unknown) {
            EXPECT_EQ(e, nullptr);
            continue;
        }
        ASSERT_NE(e, nullptr);
        if (t->type == EntryType::Table3D) {
            EXPECT_EQ(e->name,
                      "T" + text::formatHex(static_cast<std::uint32_t>(t->address)) + " 3D Table");
            EXPECT_LT(e->Similarity(*t), 0.05f);
            continue;
        }
        EXPECT_EQ(e->name, t->name);
        EXPECT_EQ(e->type, t->type);
        EXPECT_EQ(e->yMax, t->yMax);
        EXPECT_EQ(e->chryslerName, t->chryslerName);
        EXPECT_EQ(e->description, t->description);
        EXPECT_EQ(e->itemNames, t->itemNames);
        EXPECT_EQ(e->itemValues, t->itemValues);
    }
    EXPECT_TRUE(cal.definitionsModified()); // the heuristic step added the tables
}

TEST(CrossIdentify, AnOtherThatCannotBeLoadedKeepsTheScan) {
    test::TempDir dir;
    std::filesystem::copy_file(kDemo + ".bin", dir.file("unknown.bin"));
    Calibration cal;
    test::ScriptedPrompter prompter;
    cal.setPrompter(&prompter);
    ASSERT_TRUE(cal.OpenCalibration(dir.file("unknown.bin")));

    cal.CrossIdentify(dir.file("missing.bin"), 0.5f);

    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].text, "Failed to load binary file!");
    EXPECT_EQ(prompter.shown[0].caption, "Error");
    ASSERT_NE(cal.FindByAddress(0xC100, nullptr), nullptr);
    EXPECT_EQ(cal.FindByAddress(0xC100, nullptr)->name, "TC100 Unsigned Table");
    EXPECT_TRUE(cal.definitionsModified());
}

TEST(CrossIdentify, CopiesTheDefinitionButNotTheAddressOrTheUserFlag) {
    Pair p(0xC000, 0x8000);
    Pair::flat(p.a, 0x10, 4, 50);
    Pair::flat(p.b, 0x80, 4, 50);
    CalEntry* mine = p.add(p.self, EntryType::Signed8Table, 0x10, "mine");
    CalEntry* theirs = p.add(p.other, EntryType::Unsigned8Table, 0x80, "Theirs");
    theirs->xName = "RPM";
    theirs->userFlag = true;
    theirs->itemValues[3] = 7;
    p.load();
    CrossIdentifier::identify(p.self, p.other, 0.5f);
    EXPECT_EQ(mine->name, "Theirs");
    EXPECT_EQ(mine->type, EntryType::Unsigned8Table);
    EXPECT_EQ(mine->xName, "RPM");
    EXPECT_EQ(mine->itemValues[3], 7);
    EXPECT_EQ(mine->address, 0xC010);
    EXPECT_FALSE(mine->userFlag);
    EXPECT_TRUE(theirs->matched);
    EXPECT_FALSE(p.self.definitionsModified());
}

TEST(CrossIdentify, TakesOnlyScoresStrictlyAboveTheThreshold) {
    // Equal flat curves, 2 points against 4: (0 + 0.4) / 0.8, exactly one half.
    for (const float threshold : {0.5f, 0.49f}) {
        Pair p(0xC000, 0x8000);
        Pair::flat(p.a, 0x10, 2, 10);
        Pair::flat(p.b, 0x10, 4, 10);
        CalEntry* mine = p.add(p.self, EntryType::Unsigned8Table, 0x10, "mine");
        p.add(p.other, EntryType::Unsigned8Table, 0x10, "theirs");
        p.load();
        ASSERT_EQ(mine->Similarity(*p.other.EntryAt(0)), 0.5f);
        CrossIdentifier::identify(p.self, p.other, threshold);
        EXPECT_EQ(mine->name, threshold < 0.5f ? "theirs" : "mine");
    }
}

TEST(CrossIdentify, APickAtOneHalfEndsTheSearch) {
    // A-X scores 0.5, B-Y 0.4375: with a threshold of 0.3 both are candidates, but
    // taking A-X (not above 0.5) ends the search.
    Pair p(0xC000, 0x8000);
    Pair::flat(p.a, 0x10, 2, 10);
    Pair::flat(p.b, 0x10, 4, 10);
    Pair::flat(p.a, 0x40, 2, 200);
    Pair::flat(p.b, 0x40, 4, 232);
    CalEntry* a = p.add(p.self, EntryType::Unsigned8Table, 0x10, "A");
    CalEntry* b = p.add(p.self, EntryType::Unsigned8Table, 0x40, "B");
    p.add(p.other, EntryType::Unsigned8Table, 0x10, "X");
    p.add(p.other, EntryType::Unsigned8Table, 0x40, "Y");
    p.load();
    EXPECT_FLOAT_EQ(b->Similarity(*p.other.EntryAt(1)), 0.4375f);
    CrossIdentifier::identify(p.self, p.other, 0.3f);
    EXPECT_EQ(a->name, "X");
    EXPECT_EQ(b->name, "B");
}

TEST(CrossIdentify, TiesGoToTheLowestOtherSlotThenTheLowestOwnSlot) {
    // Own slots hold curves A, B, B; the other's B, A. The three pairs of equal
    // curves all score 1.0 and are taken other slot first: (1, 0), then (0, 1);
    // own slot 2 loses the tie for other slot 0 to own slot 1.
    Pair p(0xC000, 0x8000);
    Pair::flat(p.a, 0x10, 3, 20);
    Pair::flat(p.a, 0x40, 3, 200);
    Pair::flat(p.a, 0x80, 3, 200);
    Pair::flat(p.b, 0x10, 3, 200);
    Pair::flat(p.b, 0x40, 3, 20);
    p.add(p.self, EntryType::Unsigned8Table, 0x10, "A");
    p.add(p.self, EntryType::Unsigned8Table, 0x40, "B");
    p.add(p.self, EntryType::Unsigned8Table, 0x80, "B again");
    p.add(p.other, EntryType::Unsigned8Table, 0x10, "their B");
    p.add(p.other, EntryType::Unsigned8Table, 0x40, "their A");
    p.load();
    const auto m = CrossIdentifier::findMatches(p.self, p.other, 0.5f);
    ASSERT_EQ(m.size(), 2u);
    EXPECT_EQ(m[0].self, 1);
    EXPECT_EQ(m[0].other, 0);
    EXPECT_EQ(m[1].self, 0);
    EXPECT_EQ(m[1].other, 1);
    EXPECT_EQ(m[1].score, 1.0f);
}

TEST(CrossIdentify, ConstantsPassAddsOnlyCloseUnmatchedConstants) {
    Pair p(0xC000, 0xC000);
    const std::vector<std::pair<int, int>> bytes = {
        {0x100, 100}, {0x101, 100}, {0x102, 7}, {0x103, 0x5A}, {0x104, 9}};
    for (auto [at, v] : bytes)
        p.a[static_cast<std::size_t>(at)] = static_cast<std::uint8_t>(v);
    p.b[0x100] = 110; // 0.902: added
    p.b[0x101] = 112; // 0.883: not added
    p.b[0x103] = 0x5A;
    p.b[0x104] = 9;
    p.add(p.self, EntryType::Unsigned8Table, 0x102, "already here");
    p.add(p.other, EntryType::Constant8, 0x100, "Close");
    p.add(p.other, EntryType::Constant8, 0x101, "Too far");
    p.add(p.other, EntryType::Constant8, 0x102, "Defined here");
    p.add(p.other, EntryType::FlagByte, 0x103, "Flags");
    p.add(p.other, EntryType::ValueList, 0x104, "List")->matched = true;
    p.add(p.other, EntryType::Constant8, 0x900, "Outside this image");
    p.load();
    // The value list is already matched; the 0x900 constant lies past this image
    // (whose bytes there would read as erased memory, like the other's).
    p.b.resize(0x1000, 0xFF);
    p.other.SetImage(p.b);

    CrossIdentifier::addConstants(p.self, p.other);

    auto nameAt = [&](int offset) {
        const CalEntry* e = p.self.FindByAddress(0xC000 + offset, nullptr);
        return e ? e->name : std::string("-");
    };
    EXPECT_EQ(nameAt(0x100), "Close");
    EXPECT_EQ(p.self.FindByAddress(0xC100, nullptr)->type, EntryType::Constant8);
    EXPECT_EQ(nameAt(0x101), "-");
    EXPECT_EQ(nameAt(0x102), "already here");
    EXPECT_EQ(nameAt(0x103), "Flags");
    EXPECT_EQ(nameAt(0x104), "-");
    EXPECT_EQ(nameAt(0x900), "-");
    EXPECT_FALSE(p.self.definitionsModified());
}

// The sorted walk must take exactly the pairs the search of the whole matrix
// takes, in the same order, and leave both calibrations in the same state.
TEST(CrossIdentify, AgreesWithTheMatrixSearchOnRandomCalibrations) {
    struct Batch {
        int cases;
        test::RandomPairShape shape;
    };
    const std::vector<Batch> batches = {
        {1200, {}},
        {40, {.maxSelfEntries = 200, .maxOtherEntries = 200, .related = true}},
        {4, {.maxSelfEntries = 1000, .maxOtherEntries = 30, .minImageLength = 1500}},
    };
    std::uint32_t seed = 1;
    int withMatches = 0, withConstants = 0;
    for (const Batch& batch : batches) {
        for (int n = 0; n < batch.cases; ++n, ++seed) {
            Calibration fastSelf, fastOther, slowSelf, slowOther;
            const float threshold =
                test::RandomCalibrations::build(seed, batch.shape, fastSelf, fastOther);
            test::RandomCalibrations::build(seed, batch.shape, slowSelf, slowOther);
            const int before = fastSelf.entryCount();

            const auto fast = CrossIdentifier::findMatches(fastSelf, fastOther, threshold);
            CrossIdentifier::identify(fastSelf, fastOther, threshold);
            const auto slow = test::LiteralCrossIdentify::identify(slowSelf, slowOther, threshold);

            SCOPED_TRACE(seed);
            ASSERT_EQ(fast.size(), slow.size());
            for (std::size_t k = 0; k < fast.size(); ++k) {
                EXPECT_EQ(fast[k].self, slow[k].self);
                EXPECT_EQ(fast[k].other, slow[k].other);
                EXPECT_EQ(fast[k].score, slow[k].score);
            }
            ASSERT_EQ(test::RandomCalibrations::describe(fastSelf),
                      test::RandomCalibrations::describe(slowSelf));
            ASSERT_EQ(test::RandomCalibrations::describe(fastOther),
                      test::RandomCalibrations::describe(slowOther));
            withMatches += !fast.empty();
            withConstants += fastSelf.entryCount() > before;
        }
    }
    // The cases must exercise both halves, not just agree on doing nothing.
    EXPECT_GT(withMatches, 600);
    EXPECT_GT(withConstants, 100);
}
