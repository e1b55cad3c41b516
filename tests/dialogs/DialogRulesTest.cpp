// The rules behind the dialogs, without widgets: how fields are read, what OK of
// the Calibration Data dialog does to a document, and the Data Properties checks.

#include "Calibration.h"
#include "CalibrationDataRules.h"
#include "DialogText.h"
#include "EntryPropertiesRules.h"
#include "ScriptedPrompter.h"

#include <gtest/gtest.h>
#include <optional>

using namespace tevra;

namespace {

struct HexCase {
    const char* text;
    std::optional<std::int32_t> value;
};

TEST(DialogText, ReadsHexadecimalFieldsLikeScanf) {
    const HexCase cases[] = {
        {"C000", 0xC000},
        {"  c1a4", 0xC1A4},
        {"0x8000", 0x8000},
        {"0Xff", 0xFF},
        {"1FF", 0x1FF},
        {"7g", 7},
        {"0xg", 0},
        {"", std::nullopt},
        {"   ", std::nullopt},
        {"xyz", std::nullopt},
        {"-1", std::nullopt},
        {"FFFFFFFF", -1},
    };
    for (const HexCase& c : cases)
        EXPECT_EQ(dialogtext::readHex(c.text), c.value) << c.text;
}

struct NumberCase {
    const char* text;
    double min, max;
    const char* message; // nullptr: accepted
};

TEST(DialogText, ChecksNumericFieldsWithTheirRange) {
    const NumberCase cases[] = {
        {"100", 0, 100, nullptr},
        {" 0 ", 0, 100, nullptr},
        {"100.5", 0, 100, "Please enter a number between 0 and 100."},
        {"-0.1", 0, 100, "Please enter a number between 0 and 100."},
        {"12 psi", 0, 100, "Please enter a number."},
        {"", 0, 100, "Please enter a number."},
        {"inf", 0, 100, "Please enter a number."},
        {"+-5", 0, 100, "Please enter a number."},
        {"+5", 0, 100, nullptr},
        {"1e1", 0, 100, nullptr},
        {"14.9", 15, 127, "Please enter a number between 15 and 127."},
        {"127", 15, 127, nullptr},
    };
    for (const NumberCase& c : cases) {
        float value = -1;
        const auto message = dialogtext::checkNumber(c.text, c.min, c.max, value);
        if (c.message)
            EXPECT_EQ(message, std::string(c.message)) << c.text;
        else
            EXPECT_FALSE(message) << c.text << ": " << message.value_or("");
    }
}

TEST(DialogText, FormatsFloatsWithSixSignificantDigits) {
    EXPECT_EQ(dialogtext::formatNumber(33.0f), "33");
    EXPECT_EQ(dialogtext::formatNumber(2.5f), "2.5");
    EXPECT_EQ(dialogtext::formatNumber(12.3f), "12.3");
    EXPECT_EQ(dialogtext::formatNumber(1234567.0), "1.23457e+06");
}

TEST(CalData, MapTypeSelectsTheButtonBelowIt) {
    const std::pair<float, int> cases[] = {{2.0f, 0}, {2.5f, 1},  {2.7f, 1},  {3.0f, 2},
                                           {3.4f, 2}, {3.5f, -1}, {1.5f, -1}, {1.9f, 0}};
    for (auto [mapType, index] : cases)
        EXPECT_EQ(caldata::mapTypeIndex(mapType), index) << mapType;
    EXPECT_EQ(caldata::mapTypeOf(1), 2.5f);
}

// A 16 KB document at 0xC000 with entries at the given addresses.
struct Document {
    Calibration cal;
    explicit Document(std::initializer_list<std::int32_t> addresses) {
        cal.SetImage(std::vector<std::uint8_t>(0x4000, 0));
        for (std::int32_t a : addresses)
            cal.NewEntry()->Relocate(a);
    }
    std::vector<std::int32_t> addresses() const {
        std::vector<std::int32_t> out;
        for (int i = 0; i < cal.entryCount(); ++i)
            if (CalEntry* e = cal.EntryAt(i))
                out.push_back(e->address);
        return out;
    }
};

TEST(CalData, EditingFormShowsTheDocumentsAddressesInHex) {
    Calibration cal;
    cal.baseAddress = 0x8000;
    cal.checksumAddress = 0xFFE0;
    cal.fixupAddress = 0xFFDF;
    const CalDataValues v = caldata::valuesOf(cal);
    EXPECT_EQ(v.baseAddress, "8000");
    EXPECT_EQ(v.checksumAddress, "FFE0");
    EXPECT_EQ(v.fixupAddress, "FFDF");
    const CalDataValues cleared = caldata::valuesOf(Calibration{});
    EXPECT_EQ(cleared.baseAddress, "C000");
    EXPECT_EQ(cleared.checksumAddress, "0000");
}

TEST(CalData, LowerBaseMovesEveryEntryWithoutAsking) {
    Document d{0xC100, 0xF000};
    test::ScriptedPrompter prompter;
    CalDataValues v = caldata::valuesOf(d.cal);
    v.baseAddress = "8000";
    v.description = "moved";
    ASSERT_TRUE(caldata::applyEdit(d.cal, v, prompter));
    EXPECT_TRUE(prompter.shown.empty());
    EXPECT_EQ(d.addresses(), (std::vector<std::int32_t>{0x8100, 0xB000}));
    EXPECT_EQ(d.cal.baseAddress, 0x8000);
    EXPECT_EQ(d.cal.description, "moved");
    EXPECT_TRUE(d.cal.definitionsModified());
    // The entries read the same bytes as before: they keep their offset.
    EXPECT_EQ(d.cal.EntryAt(0)->dataOffset(), 0x100);
}

TEST(CalData, BaseThatLosesEntriesAsksAndNoChangesNothing) {
    for (bool yes : {false, true}) {
        Document d{0xC000, 0xD000};
        test::ScriptedPrompter prompter;
        prompter.answers = {yes};
        CalDataValues v = caldata::valuesOf(d.cal);
        v.baseAddress = "F000";
        v.author = "someone";
        v.maxBoost = 20;
        EXPECT_EQ(caldata::applyEdit(d.cal, v, prompter), yes);
        ASSERT_EQ(prompter.shown.size(), 1u);
        EXPECT_EQ(prompter.shown[0].text,
                  "New base address will cause some\ntables to be deleted. Continue anyway?");
        EXPECT_EQ(prompter.shown[0].caption, "Warning");
        if (yes) {
            EXPECT_EQ(d.addresses(), (std::vector<std::int32_t>{0xF000}));
            EXPECT_EQ(d.cal.author, "someone");
        } else {
            EXPECT_EQ(d.addresses(), (std::vector<std::int32_t>{0xC000, 0xD000}));
            EXPECT_EQ(d.cal.baseAddress, 0xC000);
            EXPECT_EQ(d.cal.author, "Tevra");
            EXPECT_EQ(d.cal.maxBoost, 12.0f);
            EXPECT_FALSE(d.cal.definitionsModified());
        }
    }
}

TEST(CalData, AddressFieldsWithoutDigitsKeepTheOldValues) {
    Document d{};
    d.cal.checksumAddress = 0xFFE0;
    d.cal.fixupAddress = 0xFFDF;
    test::ScriptedPrompter prompter;
    CalDataValues v = caldata::valuesOf(d.cal);
    v.baseAddress = "";
    v.checksumAddress = "";
    v.fixupAddress = "0x1234";
    v.checksumEnabled = true;
    ASSERT_TRUE(caldata::applyEdit(d.cal, v, prompter));
    EXPECT_EQ(d.cal.baseAddress, 0xC000);
    EXPECT_EQ(d.cal.checksumAddress, 0xFFE0);
    EXPECT_EQ(d.cal.fixupAddress, 0x1234);
    EXPECT_TRUE(d.cal.checksumEnabled);
}

TEST(CalData, BaseMustKeepTheImageBelow0x10000) {
    const struct {
        const char* text;
        std::int32_t length;
        const char* message; // nullptr: accepted
    } cases[] = {
        {"C000", 0x4000, nullptr},
        {"8000", 0x4000, nullptr},
        {"0", 0x8000, nullptr},
        {"C001", 0x4000, "Please enter a base address between 0000 and C000."},
        {"1C000", 0x4000, "Please enter a base address between 0000 and C000."},
        {"FFFFFFFF", 0x4000, "Please enter a base address between 0000 and C000."},
        {"", 0x4000, nullptr}, // no digit: the old base stays
        {"10000", 0, nullptr}, // no image yet
    };
    for (const auto& c : cases) {
        CalDataValues v;
        v.baseAddress = c.text;
        v.imageLength = c.length;
        const auto message = caldata::checkBaseAddress(v);
        if (c.message)
            EXPECT_EQ(message, std::string(c.message)) << c.text;
        else
            EXPECT_FALSE(message) << c.text;
    }
}

TEST(CalData, NewCalibrationFormTakesTheBaseAsTyped) {
    Calibration cal;
    cal.SetImage(std::vector<std::uint8_t>(0x2000, 0));
    CalDataValues v = caldata::newCalibrationValues(0xE000, 0x2000);
    EXPECT_EQ(v.baseAddress, "E000");
    EXPECT_EQ(v.description, "Tevra Calibration");
    EXPECT_EQ(v.injectorSize, 33.0f);
    v.mapType = 3.0f;
    caldata::applyNew(cal, v);
    EXPECT_EQ(cal.baseAddress, 0xE000);
    EXPECT_EQ(cal.mapType, 3.0f);
    EXPECT_TRUE(cal.definitionsModified());
    v.baseAddress = "zz"; // no digit: the reader's base stays
    cal.baseAddress = 0x8000;
    caldata::applyNew(cal, v);
    EXPECT_EQ(cal.baseAddress, 0x8000);
}

TEST(Properties, ValueListRoundTripThroughItsTexts) {
    PropertiesValues v;
    v.itemValues = {0, 1, 2, 3, 0x10, 0x20, 0x40, 0x80};
    v.itemNames = {"a", "b", "c", "d", "e", "f", "g", "h"};
    const ValueListTexts shown = properties::valueListTexts(v);
    EXPECT_EQ(shown.values,
              (std::array<std::string, 8>{"00", "01", "02", "03", "10", "20", "40", "80"}));
    ValueListTexts typed = shown;
    typed.values[0] = "1FF";
    typed.values[1] = "7g";
    typed.values[2] = "xyz";
    typed.values[3] = " c8";
    typed.descriptions[5] = "";
    properties::takeValueList(v, typed);
    EXPECT_EQ(v.itemValues,
              (std::array<std::int32_t, 8>{0xFF, 7, 2, 0xC8, 0x10, 0x20, 0x40, 0x80}));
    EXPECT_EQ(v.itemNames[5], "Value 5");
    EXPECT_EQ(v.itemNames[4], "e");
}

TEST(Properties, EmptyBitNamesBecomeTheirNumbers) {
    const auto names = properties::bitNamesBack({"", "Fan", "", "x", "", "", "", ""});
    EXPECT_EQ(names[0], "Bit 0");
    EXPECT_EQ(names[1], "Fan");
    EXPECT_EQ(names[7], "Bit 7");
}

TEST(Properties, QuickSetChangesOneAxis) {
    PropertiesValues v;
    properties::applyQuickSet(v, 3); // X = RPM
    EXPECT_EQ(v.xName, "RPM");
    EXPECT_EQ(v.xUnit, "rpm");
    EXPECT_EQ(v.xMax, "8192");
    EXPECT_EQ(v.yName, "OUT");
    properties::applyQuickSet(v, 8); // Y = Factor 0.0 - 1.0
    EXPECT_EQ(v.yUnit, "%%");
    EXPECT_EQ(v.yMax, "100");
    properties::applyQuickSet(v, 13); // Y = Coolant Temp, the last item
    EXPECT_EQ(v.yName, "Coolant Temperature");
    EXPECT_EQ(v.yMin, "-60");
    const PropertiesValues before = v;
    properties::applyQuickSet(v, 0); // No Change
    EXPECT_EQ(v.yName, before.yName);
    EXPECT_EQ(v.xName, before.xName);
}

struct CheckCase {
    const char* name;
    const char* address;
    std::optional<std::string> message;
};

TEST(Properties, ChecksBeforeOkIsTaken) {
    Document d{0xC000, 0xC100};
    d.cal.EntryAt(0)->name = "Spark Advance";
    CalEntry& self = *d.cal.EntryAt(1);
    self.name = "Fuel";
    const CheckCase cases[] = {
        {"Fuel", "C100", std::nullopt}, // its own name and address
        {"spark advance", "C200", properties::kDuplicateName},
        {"Other", "c000", properties::kDuplicateAddress},
        {"Other", "  ", properties::kNoAddress},
        {"Other", "xyz", properties::kNoAddress},
        {"Other", "BFFF", "That address lies outside the image (C000 to FFFF)!"},
        {"Other", "10000", "That address lies outside the image (C000 to FFFF)!"},
        {"Other", "FFFF", std::nullopt},
    };
    for (const CheckCase& c : cases) {
        PropertiesValues v = properties::valuesOf(self);
        v.name = c.name;
        v.hexAddress = c.address;
        EXPECT_EQ(properties::check(d.cal, self, v), c.message) << c.name << " " << c.address;
    }
}

TEST(Properties, ApplyPointsTheEntryAtItsNewAddress) {
    Document d{0xC000};
    CalEntry& e = *d.cal.EntryAt(0);
    d.cal.setImageByte(0x10, 0x42);
    PropertiesValues v = properties::valuesOf(e);
    EXPECT_EQ(v.hexAddress, "C000");
    v.type = EntryType::Constant8;
    v.name = "Idle";
    properties::apply(e, v, 0xC010);
    EXPECT_EQ(e.address, 0xC010);
    EXPECT_EQ(e.name, "Idle");
    EXPECT_EQ(e.GetX(0), 0x42);
}

} // namespace
