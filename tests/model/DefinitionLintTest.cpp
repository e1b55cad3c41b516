// The definition checks: each mistake found once, with the entries it concerns,
// and a clean calibration left alone.
#include "DefinitionLint.h"

#include "Calibration.h"

#include <functional>
#include <gtest/gtest.h>

using namespace tevra;
using Kind = DefinitionLint::Kind;

namespace {

const std::string kDemo = std::string(TEVRA_SOURCE_DIR) + "/resources/demo/demo.bin";

CalEntry& add(Calibration& cal, EntryType type, std::int32_t address, const char* name) {
    CalEntry& e = *cal.NewEntry();
    e.type = type;
    e.name = name;
    e.Relocate(address);
    return e;
}

} // namespace

TEST(DefinitionLint, TheDemoIsClean) {
    Calibration cal;
    ASSERT_TRUE(cal.OpenCalibration(kDemo));
    EXPECT_TRUE(DefinitionLint::check(cal).empty());
}

TEST(DefinitionLint, EachMistakeIsFoundAlone) {
    struct Case {
        const char* what;
        std::function<void(Calibration&)> define;
        Kind kind;
        std::vector<std::string> names;
    };
    const Case cases[] = {
        {"overlap",
         [](Calibration& c) {
             add(c, EntryType::Constant16, 0xC010, "Word");
             add(c, EntryType::Constant8, 0xC011, "Byte");
         },
         Kind::Overlap,
         {"Word", "Byte"}},
        {"same address",
         [](Calibration& c) {
             add(c, EntryType::Constant8, 0xC010, "One");
             add(c, EntryType::FlagByte, 0xC010, "Two");
         },
         Kind::SameAddress,
         {"One", "Two"}},
        {"outside the image",
         [](Calibration& c) { add(c, EntryType::Constant16, 0xC0FF, "Edge"); },
         Kind::OutsideImage,
         {"Edge"}},
        {"names differing in case",
         [](Calibration& c) {
             add(c, EntryType::Constant8, 0xC010, "Idle Speed");
             add(c, EntryType::Constant8, 0xC020, "IDLE speed");
         },
         Kind::NameCase,
         {"Idle Speed", "IDLE speed"}},
        {"X not rising",
         [](Calibration& c) {
             // count 3, X 10, 30, 30
             for (auto [k, v] : {std::pair{0, 3}, {1, 10}, {5, 30}, {9, 30}})
                 c.setImageByte(0x20 + k, v);
             add(c, EntryType::Unsigned8Table, 0xC020, "Flat");
         },
         Kind::XNotRising,
         {"Flat"}},
        {"16-bit without terminator",
         [](Calibration& c) {
             for (int k = 0xE0; k < 0x100; ++k)
                 c.setImageByte(k, 0x10);
             add(c, EntryType::Unsigned16Table, 0xC0E0, "Endless");
         },
         Kind::Unterminated,
         {"Endless"}},
        {"3D too small",
         [](Calibration& c) {
             c.setImageByte(0x40, 2);
             c.setImageByte(0x41, 4);
             add(c, EntryType::Table3D, 0xC040, "Tiny");
         },
         Kind::Dimensions,
         {"Tiny"}},
        {"checksum inside an entry",
         [](Calibration& c) {
             add(c, EntryType::Constant16, 0xC050, "Word");
             c.checksumEnabled = true;
             c.checksumAddress = 0xC051;
             c.fixupAddress = 0xC060;
         },
         Kind::ChecksumInEntry,
         {"Word"}},
        {"fix-up inside an entry",
         [](Calibration& c) {
             add(c, EntryType::Constant8, 0xC060, "Byte");
             c.checksumEnabled = true;
             c.checksumAddress = 0xC050;
             c.fixupAddress = 0xC060;
         },
         Kind::FixupInEntry,
         {"Byte"}},
        {"fix-up is the checksum",
         [](Calibration& c) {
             c.checksumEnabled = true;
             c.checksumAddress = c.fixupAddress = 0xC050;
         },
         Kind::FixupIsChecksum,
         {}},
        {"checksum outside the image",
         [](Calibration& c) {
             c.checksumEnabled = true;
             c.checksumAddress = 0xC050;
             c.fixupAddress = 0x8000;
         },
         Kind::ChecksumOutside,
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Calibration cal;
        cal.SetImage(std::vector<std::uint8_t>(0x100, 0x00));
        c.define(cal);
        const auto found = DefinitionLint::check(cal);
        std::string messages;
        for (const auto& f : found)
            messages += f.message + "\n";
        ASSERT_EQ(found.size(), 1u) << messages;
        EXPECT_EQ(found[0].kind, c.kind);
        EXPECT_EQ(found[0].names, c.names);
        EXPECT_FALSE(found[0].message.empty());
    }
}

TEST(DefinitionLint, ChecksumSettingsAreLeftAloneWhileTheChecksumIsOff) {
    Calibration cal;
    cal.SetImage(std::vector<std::uint8_t>(0x100, 0x00));
    add(cal, EntryType::Constant8, 0xC050, "Byte");
    cal.checksumAddress = cal.fixupAddress = 0xC050;
    EXPECT_TRUE(DefinitionLint::check(cal).empty());
}

TEST(DefinitionLint, AnEmptyImageMakesEveryEntryReachOutside) {
    Calibration cal;
    cal.SetImage({});
    add(cal, EntryType::Constant8, 0xC000, "Nothing");
    const auto found = DefinitionLint::check(cal);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].kind, Kind::OutsideImage);
}
