// Carrying definitions onto another build: the fingerprints it rests on, the
// accuracy on generated revisions and siblings, the one-to-one rule, and what
// cross-identification cannot do.
#include "Calibration.h"
#include "CarryTally.h"
#include "CodeReferences.h"
#include "CrossIdentifier.h"
#include "DefinitionCarrier.h"
#include "RevisionPairs.h"

#include <gtest/gtest.h>
#include <set>

using namespace tevra;
using namespace tevra::test;

namespace {

const std::string kDemo = std::string(TEVRA_SOURCE_DIR) + "/resources/demo/demo.bin";

CarryTally carryPair(std::uint32_t seed, const RevisionShape& shape) {
    Calibration lender, later;
    const auto truth = RevisionPairs::build(seed, shape, lender, later);
    later.ScanHeuristic();
    DefinitionCarrier::carry(later, lender);
    return CarryTally::of(lender, later, truth);
}

} // namespace

TEST(CodeReferences, InstructionLengthsFollowTheOpcodeMap) {
    struct Case {
        std::vector<std::uint8_t> bytes;
        int length;
    };
    const Case cases[] = {
        {{0x08}, 1},                   // INX
        {{0x96, 0x40}, 2},             // LDAA dir
        {{0xCE, 0xC1, 0x00}, 3},       // LDX #
        {{0xBD, 0xC0, 0x80}, 3},       // JSR ext
        {{0x12, 0x40, 0x01, 0x05}, 4}, // BRSET dir
        {{0x14, 0x40, 0x01}, 3},       // BSET dir
        {{0x18, 0xCE, 0x10, 0x00}, 4}, // LDY #
        {{0x1A, 0x83, 0x00, 0x01}, 4}, // CPD #
        {{0x18, 0x08}, 2},             // INY
        {{0x8F}, 1},                   // XGDX
        {{0xCE, 0xC1}, 0},             // cut off by the end of the image
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.bytes[0]));
        EXPECT_EQ(
            CodeReferences::instructionLength(c.bytes.data(), c.bytes.data() + c.bytes.size()),
            c.length);
    }
}

TEST(CodeReferences, FingerprintsMaskAddressesInsideTheImageOnly) {
    // LDX #C100; JSR C080; STAA $41; LDD $1000 (a register, outside the image)
    std::vector<std::uint8_t> a(0x200, 0x01);
    const std::vector<std::uint8_t> code = {0xCE, 0xC1, 0x00, 0xBD, 0xC0, 0x80,
                                            0x97, 0x41, 0xFC, 0x10, 0x00};
    std::copy(code.begin(), code.end(), a.begin() + 0x10);
    std::vector<std::uint8_t> b = a;
    b[0x12] = 0x40; // the table moved to C140
    b[0x15] = 0x90; // the routine moved to C090
    const CodeReferences ra(a, 0xC000), rb(b, 0xC000);
    ASSERT_EQ(ra.sitesOf(0xC100).size(), 1u);
    ASSERT_EQ(rb.sitesOf(0xC140).size(), 1u);
    const auto& sa = ra.sites()[static_cast<std::size_t>(ra.sitesOf(0xC100)[0])];
    const auto& sb = rb.sites()[static_cast<std::size_t>(rb.sitesOf(0xC140)[0])];
    EXPECT_TRUE(sa.loadsIndex);
    EXPECT_FLOAT_EQ(CodeReferences::likeness(sa, sb), 1.0f);
    constexpr int k = CodeReferences::kBefore;
    EXPECT_EQ(sa.fingerprint[k + 1], CodeReferences::kMasked);
    EXPECT_EQ(sa.fingerprint[k + 4], CodeReferences::kMasked);
    EXPECT_EQ(sa.fingerprint[k + 7], 0x41); // RAM addresses stay
    EXPECT_EQ(sa.fingerprint[k + 9], 0x10); // so does a register address

    b[0x17] = 0x42; // the result goes elsewhere: less alike
    const CodeReferences rc(b, 0xC000);
    const auto& sc = rc.sites()[static_cast<std::size_t>(rc.sitesOf(0xC140)[0])];
    EXPECT_LT(CodeReferences::likeness(sa, sc), 1.0f);
}

TEST(DefinitionCarrier, CarriesEveryDemoEntryOntoTheBareDemo) {
    Calibration lender, bare;
    ASSERT_TRUE(lender.OpenCalibration(kDemo));
    bare.SetImage(lender.image());
    const auto r = DefinitionCarrier::carry(bare, lender);
    // Everything but the Unknown Block, which has no layout to recognise.
    EXPECT_EQ(r.carried.size(), 10u);
    ASSERT_EQ(r.missed.size(), 1u);
    EXPECT_EQ(lender.EntryAt(r.missed[0].lenderSlot)->name, "Unknown Block");
    for (const auto& c : r.carried) {
        const CalEntry& theirs = *lender.EntryAt(c.lenderSlot);
        const CalEntry* mine = bare.FindByAddress(theirs.address, nullptr);
        ASSERT_NE(mine, nullptr) << theirs.name;
        EXPECT_EQ(mine->name, theirs.name);
        EXPECT_EQ(mine->type, theirs.type);
    }
    EXPECT_TRUE(bare.definitionsModified());
    const std::string report = DefinitionCarrier::report(r, lender);
    EXPECT_NE(report.find("C200 <- C200 Volumetric Efficiency: score 1.00, code 1.00"),
              std::string::npos)
        << report;
    EXPECT_NE(report.find("Unknown Block: not carried"), std::string::npos) << report;
}

TEST(DefinitionCarrier, Carries3DTablesThatCrossIdentifyCannot) {
    // An identical 8 x 8 grid at the same address scores far below any threshold
    // in cross-identification; carrying finds it by its code.
    Calibration lender, forCross, forCarry;
    ASSERT_TRUE(lender.OpenCalibration(kDemo));
    forCross.SetImage(lender.image());
    forCarry.SetImage(lender.image());
    forCross.ScanHeuristic();
    CrossIdentifier::identify(forCross, lender, 0.5f);
    DefinitionCarrier::carry(forCarry, lender);
    for (const char* name : {"Volumetric Efficiency", "Knock Retard"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(forCross.FindByName(name, nullptr), nullptr);
        ASSERT_NE(forCarry.FindByName(name, nullptr), nullptr);
        EXPECT_EQ(forCarry.FindByName(name, nullptr)->type, EntryType::Table3D);
    }
}

TEST(DefinitionCarrier, MeetsItsAccuracyOnGeneratedRevisions) {
    // The seeds differ from those of docs/carry.md; the goal is the same.
    CarryTally total;
    for (std::uint32_t seed = 900; seed < 940; ++seed)
        total += carryPair(seed, RevisionShape{});
    EXPECT_EQ(total.tables.wrong, 0);
    EXPECT_EQ(total.others.wrong, 0);
    EXPECT_GE(total.tables.right, total.tables.total() * 95 / 100);
}

TEST(DefinitionCarrier, CarriesEverythingOntoSiblings) {
    for (std::uint32_t seed = 900; seed < 910; ++seed) {
        SCOPED_TRACE(seed);
        const CarryTally t = carryPair(seed, RevisionShape{40, 12, true, false});
        EXPECT_EQ(t.tables.right, t.tables.total());
        EXPECT_EQ(t.others.right, t.others.total());
    }
}

TEST(DefinitionCarrier, NeverGivesOneNameTwoPlacesOrOnePlaceTwoNames) {
    for (std::uint32_t seed = 0; seed < 10; ++seed) {
        SCOPED_TRACE(seed);
        Calibration lender, later;
        RevisionPairs::build(seed, RevisionShape{}, lender, later);
        const auto r = DefinitionCarrier::match(later, lender);
        std::set<int> slots;
        std::set<std::int32_t> addresses;
        for (const auto& c : r.carried) {
            EXPECT_TRUE(slots.insert(c.lenderSlot).second);
            EXPECT_TRUE(addresses.insert(c.address).second);
        }
        EXPECT_EQ(r.carried.size() + r.missed.size(),
                  static_cast<std::size_t>(lender.entriesInUse()));
    }
}

TEST(DefinitionCarrier, EmptyOrBareImagesCarryNothing) {
    Calibration lender, empty, noCode;
    ASSERT_TRUE(lender.OpenCalibration(kDemo));
    empty.SetImage({});
    EXPECT_TRUE(DefinitionCarrier::carry(empty, lender).carried.empty());
    EXPECT_EQ(empty.entriesInUse(), 0);
    // An image of the same size without code: only entries the lender's code does
    // not refer to could be carried, by their address, and the demo has none.
    noCode.SetImage(std::vector<std::uint8_t>(lender.image().size(), 0x00));
    EXPECT_TRUE(DefinitionCarrier::carry(noCode, lender).carried.empty());
}
